// The window picker: a small window under the cursor (the main window shown small) from which
// the user drags onto any window to take its picture or, with Ctrl held at the press, its text.
// While the button is held the mouse is captured and the window under the cursor carries an
// inverted frame; the program's own windows are never framed.
#pragma once

#include "capture/Selection.h"
#include "framework/Handles.h"

#include <windows.h>

// Where the picker window goes: centred on the cursor, pushed back onto the cursor's monitor at
// its right and bottom edges (not at the left and top).
POINT PickerOrigin(POINT cursor, SIZE window, const RECT& monitor);

class CWindowPicker
{
public:
    // Moves the picker window, topmost, centred on the cursor (the caller shows it).
    void ShowAtCursor(HWND pickerWindow);
    // The left button went down on the picker window: capture the mouse, show the picker
    // cursor, decide the mode by the Ctrl key as it is now.
    void Begin(HWND pickerWindow);
    // The mouse moved to a point of the screen: the frame follows the window under it.
    void Track(POINT screenPoint);
    // The capture is gone: the frame goes too.
    void CancelHighlight();
    // The button was released: the capture and the frame go, the picker window hides, and the
    // framed window is the pick (its text when Ctrl was held at the press; none when no window
    // was framed).
    Selection End(HWND pickerWindow);

    // Inverts a border inside the window's rectangle (in its whole-window context); a second
    // call restores the pixels.
    static void FrameWindow(HWND window);
    // The window under the point, a smaller window below it in the Z order preferred when it
    // covers the point too (a control inside a group box); null where there is none.
    static HWND WindowAtPoint(POINT point);

private:
    HWND m_hHighlighted = nullptr;
    bool m_bTextMode = false;
    CMouseCapture m_capture;
};
