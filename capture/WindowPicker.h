// The window picker: the main dialog shown small under the cursor, from which the user drags
// onto any window to take its picture or, with Ctrl held at the press, its text.
#pragma once

#include <windows.h>

// Where the picker window goes: centred on the cursor, pushed back onto the screen at the
// right and bottom edges (not at the left and top).
POINT PickerOrigin(POINT cursor, SIZE window, SIZE screen);

// The main dialog's mouse messages while it is the picker.
void BeginPick(HWND window);
void TrackPick();
void CancelHighlight();
void EndPick(HWND window);
