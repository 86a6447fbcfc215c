// The tray picker of a running Pixlet32, driven as a user drives it: the tray icon pressed, the
// picker dragged onto a window and let go there.
#pragma once

#include <windows.h>

namespace testing_support {

// The tray icon pressed with the mouse at `at`: true once the picker shows there. (Repeated:
// under Wine the program may see the cursor's previous position for a moment after another
// process moved it.)
bool ShowPicker(HWND mainWindow, POINT at);
// The left button pressed on the picker at `at`: true once the pick has begun (the program has
// captured the mouse).
bool PressOnPicker(HWND mainWindow, POINT at);
// The window that has the mouse captured in the program's interface thread.
HWND CaptureOfProgram(HWND mainWindow);
// The text of the window under `target`, picked from the picker at `pickerAt` with Ctrl held at
// the press; true once the button is let go over it.
bool PickText(HWND mainWindow, POINT pickerAt, POINT target);

}  // namespace testing_support
