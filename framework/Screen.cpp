#include "framework/Screen.h"

RECT ScreenRect()
{
    const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN), top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    return RECT{left, top, left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN), top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

RECT MonitorRectAt(POINT point)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoA(::MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), &info))
        return ScreenRect();
    return info.rcMonitor;
}

bool IsOnAMonitor(const RECT& rect)
{
    const RECT ordered = {rect.left < rect.right ? rect.left : rect.right, rect.top < rect.bottom ? rect.top : rect.bottom,
                          rect.left < rect.right ? rect.right : rect.left, rect.top < rect.bottom ? rect.bottom : rect.top};
    return ::MonitorFromRect(&ordered, MONITOR_DEFAULTTONULL) != nullptr;
}
