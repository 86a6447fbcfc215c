#include "app/MainDlg.h"

#include "app/HotKeys.h"
#include "app/Settings.h"
#include "app/StillActions.h"
#include "app/TrayIcon.h"
#include "capture/ControlText.h"
#include "capture/Delivery.h"
#include "capture/ScreenGrab.h"
#include "res/resource.h"
#include "ui/AboutDlg.h"
#include "ui/OptionsDlg.h"

CMainDlg::CMainDlg() : CDialog(IDD_MAIN) {}

CMainDlg::~CMainDlg() = default;

BOOL CMainDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_dtLastAction = CDateTime::Now();
    LoadSettings(m_settings);
    RegisterHotKeys(m_hWnd, m_settings);
    CTrayIcon::Add(m_hWnd);
    return TRUE;
}

bool CMainDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (msg == WM_ANOTHER_INSTANCE && msg != 0) {
        // A second start of the program: only a beep says that this one runs.
        ::MessageBeep(0xFFFFFFFF);
        result = 1;
        return true;
    }
    if (msg == WM_TASKBARCREATED && msg != 0) {
        CTrayIcon::Add(m_hWnd);
        result = 0;
        return true;
    }
    switch (msg) {
    case WM_TRAYICON:
        result = OnTrayIcon(wParam, lParam);
        return true;
    case WM_HOTKEY_ACTION:
        result = OnHotKeyAction(wParam);
        return true;
    case WM_HOTKEY:
        result = OnHotKey(wParam);
        return true;
    default:
        return CDialog::OnMessage(msg, wParam, lParam, result);
    }
}

bool CMainDlg::OnCommand(UINT id, UINT code, HWND control)
{
    switch (id) {
    case ID_EXIT:
        OnExit();
        return true;
    case ID_OPTION:
        OnOption();
        return true;
    case ID_ABOUT:
        OnAbout();
        return true;
    default:
        return CDialog::OnCommand(id, code, control);
    }
}

void CMainDlg::OnLButtonDown(UINT, POINT)
{
    m_picker.Begin(m_hWnd);
}

void CMainDlg::OnMouseMove(UINT, POINT)
{
    // Every move counts, also without a pick under way: those are over this window itself,
    // which the picker never frames.
    // The screen position of the message, packed as a mouse message's point.
    m_picker.Track(PointFromLParam(static_cast<LPARAM>(::GetMessagePos())));
}

void CMainDlg::OnLButtonUp(UINT, POINT)
{
    const CWindowPicker::Result picked = m_picker.End(m_hWnd);
    m_state.m_bTextMode = picked.textMode;
    if (picked.textMode) {
        // Released with no window of another program framed: there is no text to take, and the
        // clipboard keeps what it holds.
        if (picked.window)
            CopyControlText(picked.window, m_hWnd);
        return;
    }
    if (HBITMAP bitmap = GrabWindow(picked.window, CursorToDraw(m_settings, m_state)))
        DeliverBitmap(bitmap, m_settings);
}

void CMainDlg::OnCaptureChanged(HWND)
{
    m_picker.CancelHighlight();
}

void CMainDlg::ShowPickerAtCursor()
{
    m_picker.ShowAtCursor(m_hWnd);
}

void CMainDlg::CopyManually()
{
    ::CopyManually(m_hWnd, m_settings, m_state);
}

void CMainDlg::CopyAutomatically()
{
    ::CopyAutomatically(m_hWnd, m_settings, m_state);
}

void CMainDlg::StartRecording(char key)
{
    m_recorder.Start(m_hWnd, key, m_settings, CursorToDraw(m_settings, m_state));
}

void CMainDlg::StopRecording()
{
    m_recorder.Stop();
}

void CMainDlg::OnTimer(UINT_PTR)
{
    m_recorder.OnTimer();
}

LRESULT CMainDlg::OnTrayIcon(WPARAM id, LPARAM mouseMessage)
{
    if (id != IDR_TRAY_MENU)
        return 0;
    switch (LOWORD(mouseMessage)) {
    case WM_RBUTTONUP:
        if (m_recorder.IsRecording())
            StopRecording();
        return CTrayIcon::ShowMenu(m_hWnd) ? 1 : 0;
    case WM_LBUTTONDOWN:
        if (m_recorder.IsRecording())
            StopRecording();
        ShowPickerAtCursor();
        ::ShowWindow(m_hWnd, SW_SHOW);
        ::UpdateWindow(m_hWnd);
        return 1;
    default:
        return 1;
    }
}

LRESULT CMainDlg::OnHotKey(WPARAM id)
{
    // Keys pressed while an action runs are dropped, not queued.
    if (m_state.m_bBusy)
        return 1;
    const HotKeyAction action = ActionForHotKey(static_cast<int>(id), m_settings);
    if (action.delayMs)
        ::Sleep(action.delayMs);
    if (IsActionCode(action.code, m_settings))
        ::PostMessageA(m_hWnd, WM_HOTKEY_ACTION, static_cast<WPARAM>(static_cast<LONG_PTR>(action.code)), 0);
    return 1;
}

LRESULT CMainDlg::OnHotKeyAction(WPARAM wParam)
{
    if (m_state.m_bBusy)
        return 0;
    // Taken for every action message that gets this far, also one that the debounce drops.
    TakeCursorSnapshot(m_state);
    const CDateTime now = CDateTime::Now();
    if (!ShouldAcceptAction(m_state.m_bBusy, now, m_dtLastAction))
        return 0;
    m_dtLastAction = now;
    CBusyScope busy(m_state);
    const char code = static_cast<char>(wParam & 0xFF);
    switch (ActionForCode(code, m_settings)) {
    case Action::CopyManually:
        CopyManually();
        break;
    case Action::CopyAutomatically:
        CopyAutomatically();
        break;
    case Action::BeginRecording:
    case Action::BeginAutoRecording:
        StartRecording(code);
        break;
    case Action::EndRecording:
        StopRecording();
        break;
    case Action::None:
        break;
    }
    return 0;
}

void CMainDlg::OnOption()
{
    // The dialog stores the settings itself when its OK succeeds; the profile and the hot keys
    // belong to this window.
    COptionsDlg dialog(m_settings, m_state);
    if (dialog.DoModal() != IDOK)
        return;
    SaveSettings(m_settings);
    UnregisterHotKeys(m_hWnd);
    RegisterHotKeys(m_hWnd, m_settings);
}

void CMainDlg::OnAbout()
{
    CAboutDlg dialog;
    dialog.DoModal();
}

void CMainDlg::OnExit()
{
    DestroyWindow();
}

void CMainDlg::OnDestroy()
{
    UnregisterHotKeys(m_hWnd);
    CTrayIcon::Remove(m_hWnd);
}

void CMainDlg::PostNcDestroy()
{
    // The window is gone; a recording still running is ended and its file closed.
    StopRecording();
    CDialog::PostNcDestroy();
}
