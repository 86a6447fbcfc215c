#include "capture/Selection.h"

bool SelectionRect(const Selection& selection, RECT& rect)
{
    switch (selection.kind) {
    case Selection::Kind::Rectangle:
        rect = selection.rect;
        return true;
    case Selection::Kind::Window:
    case Selection::Kind::WindowText:
        return ::GetWindowRect(selection.window, &rect) != FALSE;
    case Selection::Kind::None:
        break;
    }
    return false;
}
