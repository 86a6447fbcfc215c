// The program's only long-lived window: a hidden dialog that receives the global hot keys and
// the tray icon's messages and routes them to the parts that do the work: the tray icon and
// its menu, the hot-key table, the still-picture actions, the window picker (this dialog shown
// small under the cursor), the recorder (whose frame timer runs on this window) and the dialogs.
#pragma once

#include "avi/Recorder.h"
#include "capture/WindowPicker.h"
#include "framework/Dialog.h"

#include <vector>

// Messages of the main window.
const UINT WM_HOTKEY_ACTION = WM_USER + 11;  // wParam: the Action that a hot key starts
// Registered when the program starts: a second start, and a new taskbar.
extern const UINT WM_ANOTHER_INSTANCE;
extern const UINT WM_TASKBARCREATED;

class CMainDlg : public CDialog
{
public:
    CMainDlg();
    ~CMainDlg() override;

    // Still-picture actions.
    void CopyManually();
    void CopyAutomatically();
    // Recording: the automatic kind lasts "End after" seconds.
    void StartRecording(bool automatic);
    void StopRecording();
    // Shows the dialog as the picker window, topmost and centred on the cursor.
    void ShowPickerAtCursor();

    ULONGLONG m_ullLastActionMs = 0;  // when the last hot-key action was accepted (GetTickCount64)
    CaptureSettings m_settings;  // the user's choices
    CaptureState m_state;        // shared by the actions while they run

protected:
    BOOL OnInitDialog() override;
    // Enter and Escape never close the hidden window.
    void OnOK() override {}
    void OnCancel() override {}
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    // The picker's mouse handling; the default processing follows each.
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnMouseMove(UINT flags, POINT point) override;
    void OnLButtonUp(UINT flags, POINT point) override;
    void OnCaptureChanged(HWND newCapture) override;
    void OnTimer(UINT_PTR id) override;
    void OnDestroy() override;
    void PostNcDestroy() override;

private:
    LRESULT OnTrayIcon(WPARAM id, LPARAM mouseMessage);
    LRESULT OnHotKey(WPARAM id);
    LRESULT OnHotKeyAction(WPARAM code);
    void OnOption();
    void OnAbout();
    void OnExit();
    // The Option or About box opened from the tray menu, if one is open, brought to the front
    // (with whatever it has opened over itself); false when none is open.
    bool BringOpenDialogToFront();
    // Holds the busy flag while an action runs; as it ends, the tray menu's commands that arrived
    // meanwhile are posted again.
    class CActionScope
    {
    public:
        explicit CActionScope(CMainDlg& dialog) : m_dialog(dialog) { m_dialog.m_state.m_bBusy = TRUE; }
        ~CActionScope();
        CActionScope(const CActionScope&) = delete;
        CActionScope& operator=(const CActionScope&) = delete;

    private:
        CMainDlg& m_dialog;
    };
    // The tray menu's commands held back while an action ran, posted again once none runs.
    void PostHeldCommands();
    // The tray icon made to show whether a recording runs, then the outcome of the recording's
    // step told: the icon is back to its usual look before a message about the end shows.
    void ReportRecording(const Outcome& outcome);

    CWindowPicker m_picker;
    CRecorder m_recorder;
    CDialog* m_pOpenDialog = nullptr;  // the tray menu's Option or About box while it runs
    bool m_bTrayShowsRecording = false;
    std::vector<UINT> m_heldCommands;  // Option, About, Exit chosen while an action ran
};
