#include "app/StillActions.h"

#include "capture/ControlText.h"
#include "capture/Delivery.h"
#include "capture/RectSelectDlg.h"
#include "capture/ScreenGrab.h"
#include "framework/Handles.h"
#include "framework/Screen.h"

RECT AutomaticRect(const RECT& preset, SIZE screen)
{
    RECT rect = preset;
    // No width (or no height) chosen means the whole width (or height) of the screen.
    if (rect.right - rect.left == 0) {
        rect.left = 0;
        rect.right = screen.cx;
    }
    if (rect.bottom - rect.top == 0) {
        rect.top = 0;
        rect.bottom = screen.cy;
    }
    return rect;
}

void CopyManually(HWND owner, CaptureSettings& settings, CaptureState& state)
{
    const RECT screen = ScreenRect();
    CBitmapHandle snapshot(GrabScreenRect(&screen, CursorToDraw(settings, state)));
    if (!snapshot)
        return;
    CRectSelectDlg selector;
    selector.m_hScreenBitmap = snapshot;
    if (selector.DoModal() != IDOK)
        return;
    state.m_bTextMode = selector.m_bTextMode;
    if (selector.m_bTextMode) {
        // The text is read live from the window; the snapshot is not wanted.
        if (selector.m_hPickedWnd)
            CopyControlText(selector.m_hPickedWnd, owner);
        return;
    }
    if (HBITMAP piece = CropBitmap(snapshot, selector.m_rcSelected))
        DeliverBitmap(piece, settings);
}

void CopyAutomatically(HWND, CaptureSettings& settings, const CaptureState& state)
{
    const RECT screen = ScreenRect();
    CBitmapHandle snapshot(GrabScreenRect(&screen, CursorToDraw(settings, state)));
    if (!snapshot)
        return;
    const RECT rect = AutomaticRect(settings.m_rcCapture, SIZE{screen.right, screen.bottom});
    // The whole screen is the snapshot itself: no second copy of it is made.
    if (::EqualRect(&rect, &screen)) {
        DeliverBitmap(snapshot.Detach(), settings);
        return;
    }
    if (HBITMAP piece = CropBitmap(snapshot, rect))
        DeliverBitmap(piece, settings);
}
