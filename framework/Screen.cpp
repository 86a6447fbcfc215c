#include "framework/Screen.h"

SIZE ScreenSize()
{
    return SIZE{::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

RECT ScreenRect()
{
    const SIZE size = ScreenSize();
    return RECT{0, 0, size.cx, size.cy};
}
