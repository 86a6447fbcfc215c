// The screen that every picture, selector and rectangle of the program is measured against,
// read afresh at each use: a user may change the resolution while the program runs.
#pragma once

#include <windows.h>

// The primary screen's size in pixels.
SIZE ScreenSize();
// The primary screen as a rectangle from (0, 0).
RECT ScreenRect();
