// The rectangle selector: a borderless, topmost window over the whole screen (every monitor)
// showing a frozen picture of it, on which the user drags a rectangle, clicks a window (the one framed
// under the mouse), or presses with Ctrl held to pick a window for its text. Only the mouse
// ends it: a right click cancels; Esc, Enter and Alt+F4 do nothing.
#pragma once

#include "capture/ScreenGrab.h"
#include "capture/Selection.h"
#include "framework/Dialog.h"

class CRectSelectDlg : public CDialog
{
public:
    explicit CRectSelectDlg(HWND parent = nullptr);

    // The window the snapping rule chooses at a screen point: the deepest visible window that
    // contains it, never `excluded`; with no parent, among the top-level windows (the desktop
    // where none contains the point), else among the parent's children (null where none does).
    static HWND FindWindowUnderPoint(HWND parent, POINT point, HWND excluded);
    // Whether inner lies within outer, edges included.
    static bool RectInside(const RECT& outer, const RECT& inner);

    HBITMAP m_hScreenBitmap = nullptr;  // the frozen screen, set by the caller, who keeps it
    RECT m_rcScreen = {0, 0, 0, 0};     // the area of the screen it shows: the selector covers it
    // What the user picked, after IDOK: a rectangle (a drag, or the framed window's rectangle
    // for a click) or, with Ctrl at the press, the window under the press for its text.
    const Selection& GetSelection() const { return m_selection; }

protected:
    BOOL OnInitDialog() override;
    // Only the mouse ends the selector.
    void OnOK() override {}
    void OnCancel() override {}
    bool OnPaint() override;
    void OnMouseMove(UINT flags, POINT point) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnLButtonUp(UINT flags, POINT point) override;
    void OnRButtonUp(UINT flags, POINT point) override;

private:
    // The rectangle a framed window stands for: its own, or all of the screen for the desktop.
    bool FramedRect(HWND window, RECT& rect) const;
    // Inverts a two-pixel frame along the window's rectangle; a second call removes it.
    void InvertFrame(HWND window);
    // The focus rectangle of the drag from the start to `to` (drawn twice, it is gone).
    void DrawDragRect(POINT to);
    POINT ToScreen(POINT point) const;
    RECT ToClient(RECT rect) const;

    Selection m_selection;
    HWND m_hFramedWnd = nullptr;
    BOOL m_bDragging = FALSE;
    POINT m_ptStart = {0, 0};
    POINT m_ptCurrent = {0, 0};
};

// The screen frozen for a pick: a snapshot of the whole screen (with the cursor drawn in when one
// is given), shown full size by the selector until the user picks on it. `hidden`, a window of
// this program or null, is hidden while the screen is taken and picked on, so that the picture
// shows what lies under it.
struct FrozenPick {
    Selection selection;     // None when the user cancelled, or there was no snapshot
    ScreenPicture snapshot;  // the frozen screen, which a selected rectangle is cut from; its
                             // outcome says why there is none
};
FrozenPick PickOnFrozenScreen(const CURSORINFO* cursor, HWND hidden = nullptr);

// The rectangle from a to b with its coordinates ordered.
RECT NormalizedRect(POINT a, POINT b);
// What a drag from start to end selects: the dragged rectangle, as dragged, when it is larger
// than the double-click area in both directions; otherwise the snapped window's rectangle
// (false when there is no snapped window: the selection stays as it was).
bool SelectionOfDrag(POINT start, POINT end, SIZE doubleClick, const RECT* snapped, RECT& selected);
