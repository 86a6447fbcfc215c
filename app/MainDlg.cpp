#include "app/MainDlg.h"

#include "app/HotKeys.h"
#include "app/Settings.h"
#include "capture/WindowPicker.h"
#include "framework/App.h"
#include "framework/Handles.h"
#include "res/resource.h"

#include <shellapi.h>

#include <cstring>

namespace {
const char kTrayTip[] = "Pixlet32";

// Clears the busy flag however an accepted action ends.
class CBusyScope
{
public:
    CBusyScope() { theState.m_bBusy = TRUE; }
    ~CBusyScope() { theState.m_bBusy = FALSE; }
    CBusyScope(const CBusyScope&) = delete;
    CBusyScope& operator=(const CBusyScope&) = delete;
};

// The icon record in its earliest form, which every version of the shell accepts.
NOTIFYICONDATAA TrayIconData(HWND window)
{
    NOTIFYICONDATAA data;
    std::memset(&data, 0, sizeof data);
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = IDR_TRAY_MENU;
    return data;
}
}  // namespace

CMainDlg::CMainDlg() : CDialog(IDD_MAIN) {}

CMainDlg::~CMainDlg() = default;

BOOL CMainDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_dtLastAction = CDateTime::Now();
    LoadSettings();
    RegisterHotKeys(m_hWnd);
    AddTrayIcon();
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
        AddTrayIcon();
        result = 0;
        return true;
    }
    switch (msg) {
    case WM_DESTROY:
        OnDestroy();
        return false;
    // The picker's mouse handling; each message then goes on to the default processing.
    case WM_CAPTURECHANGED:
        CancelHighlight();
        return false;
    case WM_LBUTTONDOWN:
        BeginPick(m_hWnd);
        return false;
    case WM_LBUTTONUP:
        EndPick(m_hWnd);
        return false;
    case WM_MOUSEMOVE:
        TrackPick();
        return false;
    case WM_TIMER:
        OnTimer(wParam);
        return false;
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

void CMainDlg::AddTrayIcon()
{
    NOTIFYICONDATAA data = TrayIconData(m_hWnd);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAYICON;
    data.hIcon = ::LoadIconA(GetAppInstance(), MAKEINTRESOURCEA(IDI_TRAY));
    std::strcpy(data.szTip, kTrayTip);
    ::Shell_NotifyIconA(NIM_ADD, &data);
}

void CMainDlg::RemoveTrayIcon()
{
    NOTIFYICONDATAA data = TrayIconData(m_hWnd);
    ::Shell_NotifyIconA(NIM_DELETE, &data);
}

LRESULT CMainDlg::OnTrayIcon(WPARAM id, LPARAM mouseMessage)
{
    if (id != IDR_TRAY_MENU)
        return 0;
    switch (LOWORD(mouseMessage)) {
    case WM_RBUTTONUP: {
        if (m_pAviWriter)
            StopRecording();
        CMenuHandle menu(::LoadMenuA(GetAppInstance(), MAKEINTRESOURCEA(IDR_TRAY_MENU)));
        const HMENU popup = menu ? ::GetSubMenu(menu, 0) : nullptr;
        if (!popup)
            return 0;
        POINT cursor = {};
        ::GetCursorPos(&cursor);
        // The menu of a background program closes on a click elsewhere only if its window is
        // in front while the menu is tracked and gets a message right after it.
        ::SetForegroundWindow(m_hWnd);
        ::TrackPopupMenu(popup, TPM_LEFTBUTTON, cursor.x, cursor.y, 0, m_hWnd, nullptr);
        ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
        return 1;
    }
    case WM_LBUTTONDOWN:
        if (m_pAviWriter)
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
    if (theState.m_bBusy)
        return 1;
    const HotKeyAction action = ActionForHotKey(static_cast<int>(id), theSettings);
    if (action.delayMs)
        ::Sleep(action.delayMs);
    if (IsActionCode(action.code, theSettings))
        ::PostMessageA(m_hWnd, WM_HOTKEY_ACTION, static_cast<WPARAM>(static_cast<LONG_PTR>(action.code)), 0);
    return 1;
}

LRESULT CMainDlg::OnHotKeyAction(WPARAM wParam)
{
    if (theState.m_bBusy)
        return 0;
    // Taken for every action message that gets this far, also one that the debounce drops.
    TakeCursorSnapshot();
    const CDateTime now = CDateTime::Now();
    if (!ShouldAcceptAction(theState.m_bBusy, now, m_dtLastAction))
        return 0;
    m_dtLastAction = now;
    CBusyScope busy;
    const char code = static_cast<char>(wParam & 0xFF);
    switch (ActionForCode(code, theSettings)) {
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
    // The Option dialog comes with its own change.
}

void CMainDlg::OnAbout()
{
    // The About box comes with its own change.
}

void CMainDlg::OnExit()
{
    DestroyWindow();
}

void CMainDlg::OnDestroy()
{
    UnregisterHotKeys(m_hWnd);
    RemoveTrayIcon();
}

void CMainDlg::PostNcDestroy()
{
    // The window is gone; a recording still running is ended and its file closed.
    StopRecording();
    CDialog::PostNcDestroy();
}
