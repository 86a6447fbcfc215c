#include "ui/ReadingProgressDlg.h"

#include "framework/Screen.h"
#include "res/resource.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>

namespace {
const UINT_PTR kRefreshTimer = 1;
// Ten times a second: the counts seem to run, and the labels cost next to nothing.
const UINT kRefreshMs = 100;
// Clear of the cursor's own picture.
const int kCursorGap = 16;
}  // namespace

POINT ProgressOrigin(POINT cursor, SIZE window, const RECT& monitor)
{
    POINT origin = {cursor.x + kCursorGap, cursor.y + kCursorGap};
    if (origin.x + window.cx > monitor.right)
        origin.x = cursor.x - kCursorGap - window.cx;
    if (origin.y + window.cy > monitor.bottom)
        origin.y = cursor.y - kCursorGap - window.cy;
    // A monitor smaller than the window: its top left corner at least is seen.
    if (origin.x < monitor.left)
        origin.x = monitor.left;
    if (origin.y < monitor.top)
        origin.y = monitor.top;
    return origin;
}

CReadingProgressDlg::CReadingProgressDlg(CReadingWatch& watch, HWND owner) : CDialog(IDD_READING, owner), m_watch(watch)
{
}

CReadingProgressDlg::~CReadingProgressDlg() = default;

bool CReadingProgressDlg::Show()
{
    if (!Create())
        return false;
    ::ShowWindow(m_hWnd, SW_SHOW);
    // Active, so that Esc comes here; without a window manager activating does not raise it,
    // which the topmost style does.
    ::SetForegroundWindow(m_hWnd);
    ::SetFocus(GetDlgItem(IDCANCEL));
    ::UpdateWindow(m_hWnd);
    return true;
}

BOOL CReadingProgressDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    RECT rect = {};
    ::GetWindowRect(m_hWnd, &rect);
    const POINT origin =
        ProgressOrigin(cursor, SIZE{rect.right - rect.left, rect.bottom - rect.top}, MonitorRectAt(cursor));
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    Refresh();
    ::SetTimer(m_hWnd, kRefreshTimer, kRefreshMs, nullptr);
    return TRUE;
}

void CReadingProgressDlg::OnCancel()
{
    m_watch.Stop();
    // Said once: the reading ends after the item it is reading.
    ::EnableWindow(GetDlgItem(IDCANCEL), FALSE);
}

void CReadingProgressDlg::OnTimer(UINT_PTR id)
{
    if (id == kRefreshTimer)
        Refresh();
}

void CReadingProgressDlg::Refresh()
{
    const ReadingProgress now = m_watch.Now();
    // Until the reader says what it reads (the companion takes a moment to start), any text.
    SetText(IDC_READING_WHAT, m_shownWhat, ReadingWhat(now.begun ? now.unit : CutUnit::Characters));
    SetText(IDC_READING_HOW_FAR, m_shownHowFar, ReadingHowFar(now));
    ShowBar(now);
}

void CReadingProgressDlg::ShowBar(const ReadingProgress& now)
{
    // Only a total known beforehand makes a bar. A tree's count runs on to wherever the tree
    // ends; a bar that moves regardless (a marquee) would also move while the other program
    // answers nothing, where the count shows that it stands.
    const HWND bar = GetDlgItem(IDC_READING_BAR);
    const bool known = now.begun && now.of >= 0;
    if (!known) {
        if (m_nBarTotal >= 0)
            ::ShowWindow(bar, SW_HIDE);
        m_nBarTotal = m_nBarDone = -1;
        return;
    }
    const auto fit = [](LRESULT count) {
        return static_cast<int>(std::min<LRESULT>(std::max<LRESULT>(count, 0), INT_MAX));
    };
    const int total = fit(now.of), done = fit(now.done);
    if (total != m_nBarTotal)
        ::SendMessageA(bar, PBM_SETRANGE32, 0, total);
    if (done != m_nBarDone || total != m_nBarTotal)
        ::SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(done), 0);
    if (m_nBarTotal < 0)
        ::ShowWindow(bar, SW_SHOW);
    m_nBarTotal = total;
    m_nBarDone = done;
}

void CReadingProgressDlg::SetText(int id, std::string& shown, const std::string& text)
{
    if (text == shown)
        return;
    shown = text;
    ::SetDlgItemTextA(m_hWnd, id, text.c_str());
}
