// What the user sees and hears of the outcome of every action: the shutter sound when a result
// was delivered (then a note where only part of it was), a message box saying why when it was
// not, nothing when there was nothing to do. The one place where these are decided: the work
// below (grabs, delivery, text reading, recording) returns outcomes and shows nothing.
#pragma once

#include "framework/Outcome.h"

#include <windows.h>

// Plays the shutter sound and returns when it has played.
void PlayShutter();
// The system-modal "Out of Memory" box.
void ShowOutOfMemory();

// The shutter for a result delivered, whole (Done) or in part (Cut and Aborted, followed by
// their note); for a failure its message box and no sound.
void Report(const Outcome& outcome);
// Only a failure's message box: for work whose success the user hears of later, or not at all.
void ReportFailure(const Outcome& outcome);

// A preset rectangle that lies on no monitor now: said, with what to do.
void ReportOffScreen(const RECT& rect);

// What became of a text capture, from what became of its reading and, where the reading has a
// result, of that text's delivery: a reading refused leaves the clipboard as it was, and says
// so; a delivery that failed says only why; otherwise the reading's own outcome.
Outcome TextCaptureOutcome(const Outcome& reading, const Outcome& delivery);
