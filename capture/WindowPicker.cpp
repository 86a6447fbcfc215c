#include "capture/WindowPicker.h"

#include "framework/App.h"
#include "framework/Screen.h"
#include "res/resource.h"

namespace {
LONG Area(const RECT& rect)
{
    return (rect.right - rect.left) * (rect.bottom - rect.top);
}
}  // namespace

POINT PickerOrigin(POINT cursor, SIZE window, const RECT& monitor)
{
    POINT origin = {cursor.x - window.cx / 2, cursor.y - window.cy / 2};
    if (origin.y + window.cy > monitor.bottom)
        origin.y = monitor.bottom - window.cy;
    if (origin.x + window.cx > monitor.right)
        origin.x = monitor.right - window.cx;
    return origin;
}

void CWindowPicker::ShowAtCursor(HWND pickerWindow)
{
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    RECT rect = {};
    ::GetWindowRect(pickerWindow, &rect);
    const SIZE window = {rect.right - rect.left, rect.bottom - rect.top};
    const POINT origin = PickerOrigin(cursor, window, MonitorRectAt(cursor));
    ::SetWindowPos(pickerWindow, HWND_TOPMOST, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOREDRAW);
}

void CWindowPicker::Begin(HWND pickerWindow)
{
    m_capture.Take(pickerWindow);
    // While the mouse is captured the system sends no WM_SETCURSOR: set once, it stays.
    ::SetCursor(::LoadCursorA(GetAppInstance(), MAKEINTRESOURCEA(IDC_PICKER)));
    m_hHighlighted = nullptr;
    m_bTextMode = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
}

void CWindowPicker::Track(POINT screenPoint)
{
    const HWND target = WindowAtPoint(screenPoint);
    if (!target)
        return;
    // The program's own windows (the picker among them) are never framed: the frame stays on
    // the last window of another program.
    if (::GetWindowThreadProcessId(target, nullptr) == ::GetCurrentThreadId())
        return;
    if (target == m_hHighlighted)
        return;
    if (m_hHighlighted)
        FrameWindow(m_hHighlighted);
    FrameWindow(target);
    m_hHighlighted = target;
}

void CWindowPicker::CancelHighlight()
{
    if (m_hHighlighted)
        FrameWindow(m_hHighlighted);
    m_hHighlighted = nullptr;
}

Selection CWindowPicker::End(HWND pickerWindow)
{
    // Taken first: giving the capture back removes the frame and forgets the window.
    const Selection result = Selection::OfWindow(m_hHighlighted, m_bTextMode);
    m_capture.Release();
    CancelHighlight();
    // Hidden before anything is grabbed, so that it is in no picture.
    ::ShowWindow(pickerWindow, SW_HIDE);
    return result;
}

void CWindowPicker::FrameWindow(HWND window)
{
    RECT rect = {};
    if (!::GetWindowRect(window, &rect))
        return;
    CWindowDC dc(window);
    if (!dc)
        return;
    CSaveDC saved(dc);
    CPenHandle pen(::CreatePen(PS_INSIDEFRAME, 3 * ::GetSystemMetrics(SM_CXBORDER), RGB(0, 0, 0)));
    ::SetROP2(dc, R2_NOT);
    CSelectObject selectPen(dc, pen);
    CSelectObject selectBrush(dc, ::GetStockObject(NULL_BRUSH));
    ::Rectangle(dc, 0, 0, rect.right - rect.left, rect.bottom - rect.top);
}

HWND CWindowPicker::WindowAtPoint(POINT point)
{
    const HWND hit = ::WindowFromPoint(point);
    if (!hit)
        return nullptr;
    const HWND parent = ::GetParent(hit);
    if (!parent)
        return hit;
    HWND best = hit;
    RECT bestRect = {};
    ::GetWindowRect(hit, &bestRect);
    // Only the windows below the hit are looked at; of equal areas the first found stays.
    for (HWND sibling = ::GetWindow(hit, GW_HWNDNEXT); sibling; sibling = ::GetWindow(sibling, GW_HWNDNEXT)) {
        RECT rect = {};
        if (!::GetWindowRect(sibling, &rect) || !::PtInRect(&rect, point) || ::GetParent(sibling) != parent ||
            !::IsWindowVisible(sibling) || Area(rect) >= Area(bestRect))
            continue;
        best = sibling;
        bestRect = rect;
    }
    return best;
}
