// Pictures of the screen (every monitor: framework/Screen.h): a rectangle of it, a cut from a
// snapshot of all of it, a window. Each is a bitmap compatible with the display, owned by the
// caller, or the reason why there is none.
#pragma once

#include "framework/Handles.h"
#include "framework/Outcome.h"

#include <windows.h>

// A picture of the screen: Done with a bitmap of the area it shows (in screen coordinates);
// otherwise no bitmap and OutOfMemory where the bitmap could not be made, or Nothing where
// nothing was left to copy (an empty rectangle, one wholly off the screen, no window) or the
// screen could not be reached.
struct ScreenPicture {
    CBitmapHandle bitmap;
    RECT area = {0, 0, 0, 0};
    Outcome outcome;
};

// The rectangle ordered and cut to the screen's rectangle; false when nothing is left of it
// (zero width or height, or wholly off the screen).
bool ClampToScreen(const RECT& rect, const RECT& screen, RECT& clamped);

// Copies the rectangle (in any orientation) of the screen, with the cursor drawn in at its hot
// spot when one is given (CursorToDraw: the snapshot of the last hot-key action, when
// "Including cursor" is on). Parts of the screen that no monitor shows come out black.
ScreenPicture GrabScreenRect(const RECT& rect, const CURSORINFO* cursor = nullptr);

// A new bitmap of the rectangle cut to a snapshot's area; the snapshot is untouched.
ScreenPicture CropBitmap(const ScreenPicture& snapshot, const RECT& rect);

// Brings the window's top-level window to the front and, after a second for it to repaint,
// copies the window's rectangle of the screen (with the cursor, as GrabScreenRect).
ScreenPicture GrabWindow(HWND window, const CURSORINFO* cursor = nullptr);
void BringToFront(HWND window);

// Draws the cursor of the snapshot with its hot spot at (x, y) of the device context. A cursor
// that cannot be drawn (one of another process, under Wine) is replaced by the system arrow,
// so the picture still shows where the pointer was. False when nothing could be drawn.
bool DrawCursorAt(HDC dc, HCURSOR cursor, int x, int y);
