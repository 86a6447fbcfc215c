// The still-picture actions: "Copy manually" (Ctrl+PrintScreen) freezes the screen and lets the
// user choose a rectangle or a window on it; "Copy automatically" (PrintScreen) takes the preset
// rectangle at once; the tray picker's pick. Each ends in a picture or a text delivered, and the
// user told what became of it.
#pragma once

#include "capture/CaptureSettings.h"
#include "capture/ScreenGrab.h"
#include "capture/Selection.h"

#include <windows.h>

// Results go to the clipboard owned by `owner`; numbered files count on in the state. A preset
// rectangle that lies on no monitor now (one unplugged, a resolution changed) is refused with
// a message rather than giving a black picture.
void CopyManually(HWND owner, const CaptureSettings& settings, CaptureState& state);
void CopyAutomatically(HWND owner, const CaptureSettings& settings, CaptureState& state);

// Delivers what was picked: a window's picture (taken live, once it is in front), a rectangle
// of the frozen screen's snapshot, or a window's text.
void DeliverSelection(const Selection& selection, const ScreenPicture& snapshot, HWND owner,
                      const CaptureSettings& settings, CaptureState& state);

// Reads the window's text and puts it on the clipboard owned by `owner`; the user hears the
// shutter, or is told what went wrong and what of the text was left out. A long reading shows
// how far it has come and can be stopped; this thread answers its messages meanwhile, so the
// caller holds the busy flag for it.
void CopyControlText(HWND control, HWND owner);

// The rectangle "Copy automatically" takes: the preset one, where a zero width or height
// stands for the screen's whole width or height.
RECT AutomaticRect(const RECT& preset, const RECT& screen);

// The Option dialog's rectangle "Browse": the screen frozen (the dialog hidden meanwhile) for the
// user to pick a rectangle or a window on, its rectangle into `rect`. False when the user
// cancelled, the screen could not be taken (said), or an action runs (its own selector may be
// on the screen); while the screen is frozen no hot-key action starts.
bool PickRectangle(HWND dialog, const CaptureSettings& settings, CaptureState& state, RECT& rect);
