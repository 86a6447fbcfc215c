#include "app/MainDlg.h"

#include "app/HotKeys.h"
#include "app/Report.h"
#include "app/Settings.h"
#include "app/StillActions.h"
#include "app/TrayIcon.h"
#include "capture/Delivery.h"
#include "framework/MessageBox.h"
#include "framework/Screen.h"
#include "res/resource.h"
#include "ui/AboutDlg.h"
#include "ui/OptionsDlg.h"

#include <algorithm>
#include <cstdlib>

namespace {
// A test hook: PIXLET_AVI_FILE_LIMIT, read once at start and only when set, lowers the size at
// which a recording goes on in a next file, so that tests see a split without writing
// gigabytes. It never raises it past what AVI readers accept.
unsigned long long AviFileLimit()
{
    char text[32] = "";
    const DWORD length = ::GetEnvironmentVariableA("PIXLET_AVI_FILE_LIMIT", text, sizeof text);
    if (length == 0 || length >= sizeof text)
        return kMaxAviFileBytes;
    const unsigned long long limit = std::strtoull(text, nullptr, 10);
    return limit > 0 && limit < kMaxAviFileBytes ? limit : kMaxAviFileBytes;
}

// Points at the dialog of the tray menu while it runs.
class COpenDialog
{
public:
    COpenDialog(CDialog*& slot, CDialog& dialog) : m_slot(slot) { m_slot = &dialog; }
    ~COpenDialog() { m_slot = nullptr; }
    COpenDialog(const COpenDialog&) = delete;
    COpenDialog& operator=(const COpenDialog&) = delete;

private:
    CDialog*& m_slot;
};
}  // namespace

CMainDlg::CMainDlg() : CDialog(IDD_MAIN), m_recorder(QueryVideoForWindowsVersion(), AviFileLimit()) {}

CMainDlg::~CMainDlg() = default;

BOOL CMainDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_ullLastActionMs = ::GetTickCount64();
    LoadSettings(m_settings);
    // Numbered files of an earlier run are never written over.
    m_state.m_nLastNumber = LoadLastNumber(m_settings.m_nBaseNumber - 1);
    const std::vector<HotKeyBinding> held = RegisterHotKeys(m_hWnd, m_settings);
    // Asked before the icon shows: what the start notice says is how things stood at the start.
    const HotKeyNotice notice = StartNotice(held, WindowsTakesPrintScreen());
    CTrayIcon::Add(m_hWnd);
    if (!notice.text.empty())
        CTrayIcon::ShowBalloon(m_hWnd, notice.title, notice.text);
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
        CTrayIcon::Add(m_hWnd, m_bTrayShowsRecording);
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
    case WM_QUERYENDSESSION:
        // A recording is no reason to hold up the end of the session: it is ended with it.
        result = TRUE;
        return true;
    case WM_ENDSESSION:
        // The process may be ended once this returns: the recording's files are completed now,
        // and no message box may hold up the end of the session.
        if (wParam)
            m_recorder.EndForSessionEnd();
        result = 0;
        return true;
    default:
        return CDialog::OnMessage(msg, wParam, lParam, result);
    }
}

bool CMainDlg::OnCommand(UINT id, UINT code, HWND control)
{
    // A command of the tray menu that a loop of a running action dispatches (a reading's, the
    // frozen screen's, a message box's) waits until the action has ended, then runs.
    if ((id == ID_EXIT || id == ID_OPTION || id == ID_ABOUT) && m_state.m_bBusy) {
        if (std::find(m_heldCommands.begin(), m_heldCommands.end(), id) == m_heldCommands.end())
            m_heldCommands.push_back(id);
        return true;
    }
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
    // Released with no window of another program framed, nothing is taken: the clipboard keeps
    // what it holds.
    const Selection selection = m_picker.End(m_hWnd);
    // A text may take a while, with messages answered meanwhile: no other action starts until
    // it is delivered, and none is started while another runs.
    if (m_state.m_bBusy)
        return;
    CActionScope busy(*this);
    DeliverSelection(selection, ScreenPicture(), m_hWnd, m_settings, m_state);
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

void CMainDlg::StartRecording(bool automatic)
{
    // A recording already running ends first, heard as every ended recording is.
    StopRecording();
    // A rectangle on a monitor that is gone: said, rather than a recording that fails at once.
    if (HasRecordingChoices(m_settings) && !IsOnAMonitor(m_settings.m_rcAvi)) {
        ReportOffScreen(m_settings.m_rcAvi);
        return;
    }
    ReportRecording(m_recorder.Start(m_hWnd, automatic, m_settings, CursorToDraw(m_settings, m_state)));
}

void CMainDlg::StopRecording()
{
    ReportRecording(m_recorder.Stop());
}

void CMainDlg::OnTimer(UINT_PTR)
{
    ReportRecording(m_recorder.OnTimer());
}

void CMainDlg::ReportRecording(const Outcome& outcome)
{
    const bool recording = m_recorder.IsRecording();
    // After the window has gone (a recording ended by Exit) there is no icon to change.
    if (recording != m_bTrayShowsRecording && m_hWnd && ::IsWindow(m_hWnd)) {
        CTrayIcon::ShowRecording(m_hWnd, recording);
        m_bTrayShowsRecording = recording;
    }
    Report(outcome);
}

LRESULT CMainDlg::OnTrayIcon(WPARAM id, LPARAM mouseMessage)
{
    if (id != IDR_TRAY_MENU)
        return 0;
    // An action runs (a reading of a text answers messages while it goes on): neither the menu
    // nor the picker starts another.
    if (m_state.m_bBusy)
        return 1;
    switch (LOWORD(mouseMessage)) {
    case WM_RBUTTONUP:
        if (m_recorder.IsRecording())
            StopRecording();
        return CTrayIcon::ShowMenu(m_hWnd) ? 1 : 0;
    case WM_LBUTTONDOWN:
        // During a recording the icon says that a click ends it: that is all the click does.
        if (m_recorder.IsRecording()) {
            StopRecording();
            return 1;
        }
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
    const HotKeyAction key = ActionForHotKey(static_cast<int>(id));
    if (key.action == Action::None)
        return 1;
    if (key.delayMs)
        ::Sleep(key.delayMs);
    ::PostMessageA(m_hWnd, WM_HOTKEY_ACTION, static_cast<WPARAM>(key.action), 0);
    return 1;
}

LRESULT CMainDlg::OnHotKeyAction(WPARAM wParam)
{
    if (m_state.m_bBusy)
        return 0;
    // Taken for every action message that gets this far, also one that the debounce drops.
    TakeCursorSnapshot(m_state);
    const ULONGLONG now = ::GetTickCount64();
    if (!ShouldAcceptAction(m_state.m_bBusy, now, m_ullLastActionMs))
        return 0;
    m_ullLastActionMs = now;
    CActionScope busy(*this);
    switch (static_cast<Action>(wParam)) {
    case Action::CopyManually:
        CopyManually();
        break;
    case Action::CopyAutomatically:
        CopyAutomatically();
        break;
    case Action::BeginRecording:
        StartRecording(false);
        break;
    case Action::BeginAutoRecording:
        StartRecording(true);
        break;
    case Action::EndRecording:
        StopRecording();
        break;
    case Action::None:
        break;
    }
    return 0;
}

CMainDlg::CActionScope::~CActionScope()
{
    m_dialog.m_state.m_bBusy = FALSE;
    m_dialog.PostHeldCommands();
}

void CMainDlg::PostHeldCommands()
{
    if (m_state.m_bBusy)
        return;
    // Posted, not run here: whoever ran the action finishes first. A window gone meanwhile (the
    // session ended) takes them with it.
    for (const UINT id : m_heldCommands)
        if (m_hWnd)
            ::PostMessageA(m_hWnd, WM_COMMAND, id, 0);
    m_heldCommands.clear();
}

bool CMainDlg::BringOpenDialogToFront()
{
    if (!m_pOpenDialog || !m_pOpenDialog->m_hWnd)
        return false;
    // The box it opened over itself (a folder chooser, the About box), if any: the one that
    // takes input.
    ::SetForegroundWindow(::GetLastActivePopup(m_pOpenDialog->m_hWnd));
    return true;
}

void CMainDlg::OnOption()
{
    if (BringOpenDialogToFront())
        return;
    COptionsDlg dialog(m_settings, [this](HWND options, RECT& rect) {
        const bool picked = PickRectangle(options, m_settings, m_state, rect);
        PostHeldCommands();
        return picked;
    });
    INT_PTR result = IDCANCEL;
    {
        COpenDialog open(m_pOpenDialog, dialog);
        result = dialog.DoModal();
    }
    if (result != IDOK)
        return;
    // The choices are stored at once. Numbering starts again at the base number only for
    // another series of files: an OK that left their names as they were goes on with the
    // series rather than writing over its files. The profile and the hot keys belong to this
    // window.
    const bool sameSeries = NamesTheSameSeries(m_settings, dialog.Choices());
    m_settings = dialog.Choices();
    SaveSettings(m_settings);
    if (!sameSeries) {
        m_state.m_nLastNumber = m_settings.m_nBaseNumber - 1;
        SaveLastNumber(m_state.m_nLastNumber);
    }
    UnregisterHotKeys(m_hWnd);
    const std::string held = HeldLettersMessage(RegisterHotKeys(m_hWnd, m_settings));
    if (!held.empty())
        AppMessageBox(held, MB_OK | MB_ICONEXCLAMATION);
}

void CMainDlg::OnAbout()
{
    if (BringOpenDialogToFront())
        return;
    CAboutDlg dialog;
    COpenDialog open(m_pOpenDialog, dialog);
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
