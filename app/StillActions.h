// The two still-picture actions: "Copy manually" (Ctrl+PrintScreen) freezes the screen and lets
// the user choose a rectangle or a window on it; "Copy automatically" (PrintScreen) takes the
// preset rectangle at once. Both take their picture from a full-screen snapshot made when the
// action began, never live.
#pragma once

#include "capture/CaptureSettings.h"

#include <windows.h>

// The text of a window picked with Ctrl goes to the clipboard owned by `owner`.
void CopyManually(HWND owner, CaptureSettings& settings, CaptureState& state);
void CopyAutomatically(HWND owner, CaptureSettings& settings, const CaptureState& state);

// The rectangle "Copy automatically" takes: the preset one, where a zero width or height
// stands for the screen's whole width or height.
RECT AutomaticRect(const RECT& preset, SIZE screen);
