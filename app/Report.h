// What the user sees and hears of the outcome of every action: the shutter sound when a result
// was delivered, a message box saying why when it was not, nothing when there was nothing to do.
// The one place where these are decided: the work below (grabs, delivery, text reading,
// recording) returns outcomes and shows nothing.
#pragma once

#include "text/ReadResult.h"
#include "framework/Outcome.h"

// Plays the shutter sound and returns when it has played.
void PlayShutter();
// The system-modal "Out of Memory" box.
void ShowOutOfMemory();

// The shutter for Done; for a failure its message box and no sound.
void Report(const Outcome& outcome);
// Only a failure's message box: for work whose success the user hears of later, or not at all.
void ReportFailure(const Outcome& outcome);

// A preset rectangle that lies on no monitor now: said, with what to do.
void ReportOffScreen(const RECT& rect);

// A text capture: a reading that could not be delivered says why (the clipboard is left as it
// was); otherwise the delivery's outcome, then what the reading left out, if anything.
void ReportTextCapture(const ReadResult& reading, const Outcome& delivery);
