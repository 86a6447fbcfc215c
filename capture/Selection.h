// What the user picked, with the rectangle selector on the frozen screen or with the tray
// picker: a window (its picture), a rectangle of the screen, or a window whose text is wanted.
#pragma once

#include <windows.h>

struct Selection {
    enum class Kind {
        None,        // cancelled, or released with nothing framed
        Window,      // the window's picture, taken live
        Rectangle,   // this rectangle of the screen (as dragged: reversed when dragged to the upper left)
        WindowText,  // the window's text
    };
    Kind kind = Kind::None;
    HWND window = nullptr;
    RECT rect = {0, 0, 0, 0};

    static Selection OfWindow(HWND window, bool text)
    {
        Selection selection;
        selection.kind = window ? (text ? Kind::WindowText : Kind::Window) : Kind::None;
        selection.window = window;
        return selection;
    }
    static Selection OfRectangle(const RECT& rect)
    {
        Selection selection;
        selection.kind = Kind::Rectangle;
        selection.rect = rect;
        return selection;
    }
};

// The rectangle of the screen that a selection stands for: the rectangle itself, or the
// window's; false for none.
bool SelectionRect(const Selection& selection, RECT& rect);
