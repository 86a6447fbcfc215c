// The screen that every picture, selector and rectangle of the program is measured against: all
// of the user's monitors, read afresh at each use (a monitor may be unplugged, a resolution
// changed, while the program runs). Coordinates are the system's screen coordinates in
// physical pixels: (0, 0) is the primary monitor's top-left corner, so a monitor left of or
// above it has negative ones.
#pragma once

#include <windows.h>

// The rectangle that bounds every monitor (the virtual screen). Parts of it that no monitor
// covers are in it all the same.
RECT ScreenRect();
// The monitor that holds the point, or the one nearest to it.
RECT MonitorRectAt(POINT point);
// Whether any part of the rectangle, in any orientation, lies on a monitor.
bool IsOnAMonitor(const RECT& rect);
