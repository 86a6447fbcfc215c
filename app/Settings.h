// The profile in which the user's choices survive a restart: the three AVI hot-key letters in
// the section "Hot Key" (as they have always been kept), every other choice of the Option
// dialog and the number of the last numbered file in the section "Settings". A value read back
// is trusted no further than the dialog trusts what a user types: one that is missing, of
// another type or that the dialog could not have made leaves that one setting at its default.
#pragma once

#include "capture/CaptureSettings.h"

// Profile section and values of the three letters.
extern const char kHotKeySection[];
extern const char kAviBeginEntry[];
extern const char kAviEndEntry[];
extern const char kAviAutoBeginEntry[];
// The section of every other choice.
extern const char kSettingsSection[];

// Reads every choice from the application's profile; the settings' own values stand for the
// defaults. The three letters are one choice, as in the dialog: a letter outside A to Z keeps
// its default, and where two of them are then the same, which one was meant cannot be told:
// all three keep theirs.
void LoadSettings(CaptureSettings& settings);
// Writes every choice to the application's profile.
void SaveSettings(const CaptureSettings& settings);
// The number of the last numbered file of an earlier run, or `fallback` when none is kept.
int LoadLastNumber(int fallback);
void SaveLastNumber(int number);

// Fills the state's cursor snapshot with the cursor as it is now.
void TakeCursorSnapshot(CaptureState& state);
