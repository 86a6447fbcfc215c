#include "app/StillActions.h"

#include "app/ReadingThread.h"
#include "app/Report.h"
#include "app/Settings.h"
#include "capture/Delivery.h"
#include "capture/RectSelectDlg.h"
#include "capture/ScreenGrab.h"
#include "framework/Screen.h"

namespace {
// A picture delivered, or why there is none.
void Deliver(ScreenPicture picture, HWND owner, const CaptureSettings& settings, CaptureState& state)
{
    if (!picture.bitmap) {
        ReportFailure(picture.outcome);
        return;
    }
    const int before = state.m_nLastNumber;
    Report(DeliverBitmap(std::move(picture.bitmap), settings, state.m_nLastNumber, owner));
    // Kept at once: after a restart the numbering goes on, whatever ends this run.
    if (state.m_nLastNumber != before)
        SaveLastNumber(state.m_nLastNumber);
}
}  // namespace

RECT AutomaticRect(const RECT& preset, const RECT& screen)
{
    RECT rect = preset;
    // No width (or no height) chosen means the whole width (or height) of the screen.
    if (rect.right - rect.left == 0) {
        rect.left = screen.left;
        rect.right = screen.right;
    }
    if (rect.bottom - rect.top == 0) {
        rect.top = screen.top;
        rect.bottom = screen.bottom;
    }
    return rect;
}

void CopyManually(HWND owner, const CaptureSettings& settings, CaptureState& state)
{
    const FrozenPick pick = PickOnFrozenScreen(CursorToDraw(settings, state));
    ReportFailure(pick.snapshot.outcome);
    DeliverSelection(pick.selection, pick.snapshot, owner, settings, state);
}

void CopyAutomatically(HWND owner, const CaptureSettings& settings, CaptureState& state)
{
    const RECT rect = AutomaticRect(settings.m_rcCapture, ScreenRect());
    if (!IsOnAMonitor(rect)) {
        ReportOffScreen(rect);
        return;
    }
    ScreenPicture snapshot = GrabScreenRect(ScreenRect(), CursorToDraw(settings, state));
    if (!snapshot.bitmap) {
        ReportFailure(snapshot.outcome);
        return;
    }
    // The whole screen is the snapshot itself: no second copy of it is made.
    if (::EqualRect(&rect, &snapshot.area))
        Deliver(std::move(snapshot), owner, settings, state);
    else
        Deliver(CropBitmap(snapshot, rect), owner, settings, state);
}

void DeliverSelection(const Selection& selection, const ScreenPicture& snapshot, HWND owner,
                      const CaptureSettings& settings, CaptureState& state)
{
    switch (selection.kind) {
    case Selection::Kind::None:
        return;
    case Selection::Kind::WindowText:
        // The text is read live from the window; a snapshot is not wanted.
        CopyControlText(selection.window, owner);
        return;
    case Selection::Kind::Window:
        Deliver(GrabWindow(selection.window, CursorToDraw(settings, state)), owner, settings, state);
        return;
    case Selection::Kind::Rectangle:
        Deliver(CropBitmap(snapshot, selection.rect), owner, settings, state);
        return;
    }
}

void CopyControlText(HWND control, HWND owner)
{
    std::string text;
    const Outcome reading = ReadShowingProgress(control, text, owner);
    Report(TextCaptureOutcome(reading, reading.HasResult() ? DeliverText(text, owner) : Outcome()));
}

bool PickRectangle(HWND dialog, const CaptureSettings& settings, CaptureState& state, RECT& rect)
{
    if (state.m_bBusy)
        return false;
    CBusyScope busy(state);
    const FrozenPick pick = PickOnFrozenScreen(CursorToDraw(settings, state), dialog);
    ReportFailure(pick.snapshot.outcome);
    return SelectionRect(pick.selection, rect);
}
