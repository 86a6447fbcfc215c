// The rectangle selector: a borderless, topmost window over the whole primary screen showing a
// frozen picture of it, on which the user drags a rectangle, clicks a window (the one framed
// under the mouse), or presses with Ctrl held to pick a window for its text. Only the mouse
// ends it: a right click cancels; Esc, Enter and Alt+F4 do nothing.
#pragma once

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
    // Results, valid after IDOK: the mode, then the picked window (text) or the rectangle
    // (picture; as dragged, so reversed when dragged towards the upper left).
    BOOL m_bTextMode = FALSE;
    HWND m_hPickedWnd = nullptr;
    RECT m_rcSelected = {0, 0, 0, 0};

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
    // Inverts a two-pixel frame along the window's rectangle; a second call removes it.
    void InvertFrame(HWND window);
    // The focus rectangle of the drag from the start to `to` (drawn twice, it is gone).
    void DrawDragRect(POINT to);
    POINT ToScreen(POINT point) const;

    HWND m_hFramedWnd = nullptr;
    BOOL m_bDragging = FALSE;
    POINT m_ptStart = {0, 0};
    POINT m_ptCurrent = {0, 0};
};

// The rectangle from a to b with its coordinates ordered.
RECT NormalizedRect(POINT a, POINT b);
// What a drag from start to end selects: the dragged rectangle, as dragged, when it is larger
// than the double-click area in both directions; otherwise the snapped window's rectangle
// (false when there is no snapped window: the selection stays as it was).
bool SelectionOfDrag(POINT start, POINT end, SIZE doubleClick, const RECT* snapped, RECT& selected);
