#include "capture/RectSelectDlg.h"

#include "framework/Screen.h"
#include "res/resource.h"

#include <climits>

namespace {
// The screen needs a moment to show what is under a window just hidden before it is taken.
const DWORD kHideDelayMs = 100;

bool Contains(HWND window, POINT point)
{
    RECT rect = {};
    return ::GetWindowRect(window, &rect) && ::PtInRect(&rect, point);
}

// A window of this program hidden for one scope, shown and repainted again when it ends.
class CHiddenWindow
{
public:
    explicit CHiddenWindow(HWND window) : m_hWnd(window)
    {
        if (!m_hWnd)
            return;
        ::ShowWindow(m_hWnd, SW_HIDE);
        ::Sleep(kHideDelayMs);
    }
    ~CHiddenWindow()
    {
        if (!m_hWnd)
            return;
        ::ShowWindow(m_hWnd, SW_SHOW);
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    CHiddenWindow(const CHiddenWindow&) = delete;
    CHiddenWindow& operator=(const CHiddenWindow&) = delete;

private:
    HWND m_hWnd;
};
}  // namespace

FrozenPick PickOnFrozenScreen(const CURSORINFO* cursor, HWND hidden)
{
    FrozenPick pick;
    CHiddenWindow hiddenMeanwhile(hidden);
    pick.snapshot = GrabScreenRect(ScreenRect(), cursor);
    if (!pick.snapshot.bitmap)
        return pick;
    CRectSelectDlg selector;
    selector.m_hScreenBitmap = pick.snapshot.bitmap;
    selector.m_rcScreen = pick.snapshot.area;
    if (selector.DoModal() == IDOK)
        pick.selection = selector.GetSelection();
    return pick;
}

RECT NormalizedRect(POINT a, POINT b)
{
    return RECT{a.x < b.x ? a.x : b.x, a.y < b.y ? a.y : b.y, a.x < b.x ? b.x : a.x, a.y < b.y ? b.y : a.y};
}

bool SelectionOfDrag(POINT start, POINT end, SIZE doubleClick, const RECT* snapped, RECT& selected)
{
    const RECT dragged = NormalizedRect(start, end);
    if (dragged.right - dragged.left > doubleClick.cx && dragged.bottom - dragged.top > doubleClick.cy) {
        selected = RECT{start.x, start.y, end.x, end.y};
        return true;
    }
    // A click, or a drag too small in one direction to be meant: the window framed before it.
    if (!snapped)
        return false;
    selected = *snapped;
    return true;
}

CRectSelectDlg::CRectSelectDlg(HWND parent) : CDialog(IDD_RECT_SELECT, parent) {}

bool CRectSelectDlg::RectInside(const RECT& outer, const RECT& inner)
{
    return inner.left >= outer.left && inner.top >= outer.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

HWND CRectSelectDlg::FindWindowUnderPoint(HWND parent, POINT point, HWND excluded)
{
    const HWND first = ::GetWindow(parent ? parent : ::GetDesktopWindow(), GW_CHILD);
    if (!parent) {
        // Top level: the topmost window that contains the point wins, whatever its size.
        for (HWND top = first; top; top = ::GetWindow(top, GW_HWNDNEXT)) {
            if (top == excluded || !::IsWindowVisible(top) || !Contains(top, point))
                continue;
            // A minimised window is taken whole: its children are not where they seem.
            const HWND inner = ::IsIconic(top) ? nullptr : FindWindowUnderPoint(top, point, excluded);
            return inner && ::IsWindowVisible(inner) ? inner : top;
        }
        return ::GetDesktopWindow();
    }
    // Among children, a later sibling replaces the choice only when it lies within it: a
    // control inside a group box wins over the box. The starting bound reaches just above and
    // left of the screen, so a child that sticks out there is never chosen.
    HWND best = nullptr;
    const RECT screen = ScreenRect();
    RECT bound = {screen.left - 1, screen.top - 1, LONG_MAX, LONG_MAX};
    for (HWND child = first; child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (child == excluded || !::IsWindowVisible(child) || !Contains(child, point))
            continue;
        HWND found = ::IsIconic(child) ? nullptr : FindWindowUnderPoint(child, point, excluded);
        if (!found)
            found = child;
        RECT rect = {};
        if (!::IsWindowVisible(found) || !::GetWindowRect(found, &rect))
            continue;
        if (RectInside(bound, rect)) {
            best = found;
            bound = rect;
        }
    }
    return best;
}

BOOL CRectSelectDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    const RECT& screen = m_rcScreen;
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, screen.left, screen.top, screen.right - screen.left,
                   screen.bottom - screen.top, SWP_NOREDRAW);
    return TRUE;
}

bool CRectSelectDlg::OnPaint()
{
    CPaintDC paint(m_hWnd);
    if (!m_hScreenBitmap)
        return true;
    CCreatedDC memory(::CreateCompatibleDC(paint));
    if (!memory)
        return true;
    CSelectObject select(memory, m_hScreenBitmap);
    // The window lies exactly over the snapshot's area: its pixel (0, 0) is the snapshot's.
    ::BitBlt(paint, 0, 0, m_rcScreen.right - m_rcScreen.left, m_rcScreen.bottom - m_rcScreen.top, memory, 0, 0,
             SRCCOPY);
    return true;
}

POINT CRectSelectDlg::ToScreen(POINT point) const
{
    ::ClientToScreen(m_hWnd, &point);
    return point;
}

RECT CRectSelectDlg::ToClient(RECT rect) const
{
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool CRectSelectDlg::FramedRect(HWND window, RECT& rect) const
{
    // The desktop stands for all of the screen, whatever its own window says.
    if (window == ::GetDesktopWindow()) {
        rect = m_rcScreen;
        return true;
    }
    return window && ::GetWindowRect(window, &rect);
}

void CRectSelectDlg::InvertFrame(HWND window)
{
    RECT r = {};
    if (!FramedRect(window, r))
        return;
    r = ToClient(r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    CClientDC dc(m_hWnd);
    if (!dc)
        return;
    // Four bars that do not overlap, so that every pixel is inverted exactly once.
    ::PatBlt(dc, r.left, r.top, width, 2, PATINVERT);
    ::PatBlt(dc, r.right - 2, r.top + 2, 2, height - 2, PATINVERT);
    ::PatBlt(dc, r.left, r.bottom - 2, width - 2, 2, PATINVERT);
    ::PatBlt(dc, r.left, r.top + 2, 2, height - 4, PATINVERT);
}

void CRectSelectDlg::DrawDragRect(POINT to)
{
    CClientDC dc(m_hWnd);
    if (!dc)
        return;
    const RECT rect = ToClient(NormalizedRect(m_ptStart, to));
    ::DrawFocusRect(dc, &rect);
}

void CRectSelectDlg::OnMouseMove(UINT, POINT point)
{
    point = ToScreen(point);
    if (m_bDragging) {
        DrawDragRect(m_ptCurrent);
        DrawDragRect(point);
        m_ptCurrent = point;
        return;
    }
    const HWND window = FindWindowUnderPoint(nullptr, point, m_hWnd);
    if (window == m_hFramedWnd)
        return;
    InvertFrame(m_hFramedWnd);
    m_hFramedWnd = window;
    InvertFrame(window);
}

void CRectSelectDlg::OnLButtonDown(UINT flags, POINT point)
{
    m_bDragging = TRUE;
    // The frame goes; the framed window stays the one a click takes.
    InvertFrame(m_hFramedWnd);
    point = ToScreen(point);
    m_ptStart = point;
    m_ptCurrent = point;
    if (flags & MK_CONTROL) {
        // The text of the window under the press, whichever was framed last.
        m_selection = Selection::OfWindow(FindWindowUnderPoint(nullptr, point, m_hWnd), true);
        CDialog::OnOK();
    }
}

void CRectSelectDlg::OnLButtonUp(UINT, POINT)
{
    if (!m_bDragging)
        return;
    DrawDragRect(m_ptCurrent);
    RECT snapped = {};
    const bool haveSnapped = FramedRect(m_hFramedWnd, snapped);
    const SIZE doubleClick = {::GetSystemMetrics(SM_CXDOUBLECLK), ::GetSystemMetrics(SM_CYDOUBLECLK)};
    RECT selected = {};
    if (SelectionOfDrag(m_ptStart, m_ptCurrent, doubleClick, haveSnapped ? &snapped : nullptr, selected))
        m_selection = Selection::OfRectangle(selected);
    CDialog::OnOK();
}

void CRectSelectDlg::OnRButtonUp(UINT, POINT)
{
    InvertFrame(m_hFramedWnd);
    m_selection = Selection();
    CDialog::OnCancel();
}
