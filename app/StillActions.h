// The two still-picture actions: "Copy manually" (Ctrl+PrintScreen) freezes the screen and lets
// the user choose a rectangle or a window on it; "Copy automatically" (PrintScreen) takes the
// preset rectangle at once. Both take their picture from a full-screen snapshot made when the
// action began, never live.
#pragma once

#include "capture/CaptureSettings.h"

#include <windows.h>

void CopyManually(HWND owner, CaptureSettings& settings, CaptureState& state);
void CopyAutomatically(HWND owner, CaptureSettings& settings, const CaptureState& state);
