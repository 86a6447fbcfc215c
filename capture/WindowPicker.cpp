#include "capture/WindowPicker.h"

#include "app/MainDlg.h"

POINT PickerOrigin(POINT cursor, SIZE window, SIZE screen)
{
    POINT origin = {cursor.x - window.cx / 2, cursor.y - window.cy / 2};
    if (origin.y + window.cy > screen.cy)
        origin.y = screen.cy - window.cy;
    if (origin.x + window.cx > screen.cx)
        origin.x = screen.cx - window.cx;
    return origin;
}

void CMainDlg::ShowPickerAtCursor()
{
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    RECT rect = {};
    ::GetWindowRect(m_hWnd, &rect);
    const SIZE window = {rect.right - rect.left, rect.bottom - rect.top};
    const SIZE screen = {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    const POINT origin = PickerOrigin(cursor, window, screen);
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOREDRAW);
}

// Picking itself comes with the capture flows.
void BeginPick(HWND) {}
void TrackPick() {}
void CancelHighlight() {}
void EndPick(HWND) {}
