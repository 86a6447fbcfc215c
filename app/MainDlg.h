// The program's only long-lived window: a hidden dialog that owns the tray icon and its menu,
// receives the global hot keys and runs the actions they start. Shown small under the cursor
// it is the window picker; it also carries the recording's frame timer.
#pragma once

#include "framework/DateTime.h"
#include "framework/Dialog.h"

class CAviWriter;

// Messages of the main window.
const UINT WM_TRAYICON = WM_USER + 10;       // the tray icon's callback
const UINT WM_HOTKEY_ACTION = WM_USER + 11;  // wParam: the action code (a char, sign-extended)
// Registered when the program starts: a second start, and a new taskbar.
extern const UINT WM_ANOTHER_INSTANCE;
extern const UINT WM_TASKBARCREATED;

const UINT_PTR IDT_RECORD = 1;  // the recording's frame timer

class CMainDlg : public CDialog
{
public:
    CMainDlg();
    ~CMainDlg() override;

    // Still-picture actions.
    void CopyManually();
    void CopyAutomatically();
    // Recording.
    void StartRecording(char key);
    void StopRecording();
    // Shows the dialog as the picker window, topmost and centred on the cursor.
    void ShowPickerAtCursor();

    CAviWriter* m_pAviWriter = nullptr;  // the recording in progress, or null
    int m_nFramesLeft = 0;
    int m_nFrameInterval = 0;  // milliseconds
    CDateTime m_dtLastAction;  // when the last hot-key action was accepted

protected:
    BOOL OnInitDialog() override;
    // Enter and Escape never close the hidden window.
    void OnOK() override {}
    void OnCancel() override {}
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void PostNcDestroy() override;

private:
    void AddTrayIcon();
    void RemoveTrayIcon();
    LRESULT OnTrayIcon(WPARAM id, LPARAM mouseMessage);
    LRESULT OnHotKey(WPARAM id);
    LRESULT OnHotKeyAction(WPARAM code);
    void OnTimer(UINT_PTR id);
    void OnOption();
    void OnAbout();
    void OnExit();
    void OnDestroy();
};
