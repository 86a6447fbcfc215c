// The profile in which the three AVI hot-key letters survive a restart; everything else in the
// settings starts from the defaults at every start. The main window owns the program's one
// record of the settings and one of the shared run-time state.
#pragma once

#include "capture/CaptureSettings.h"

// Profile section and values of the three letters.
extern const char kHotKeySection[];
extern const char kAviBeginEntry[];
extern const char kAviEndEntry[];
extern const char kAviAutoBeginEntry[];

// Reads the three letters from the application's profile and resets the paths and rectangles.
void LoadSettings(CaptureSettings& settings);
// Writes the three letters to the application's profile.
void SaveSettings(const CaptureSettings& settings);
// Fills the state's cursor snapshot with the cursor as it is now.
void TakeCursorSnapshot(CaptureState& state);
