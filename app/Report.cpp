#include "app/Report.h"

#include "capture/CaptureSettings.h"
#include "framework/App.h"
#include "framework/MessageBox.h"
#include "res/resource.h"

#include <mmsystem.h>

namespace {
const char kClipboardFailed[] = "Clipboard operation failed!";
const char kClipboardLeftAlone[] = "\r\nThe clipboard was left as it was.";
}  // namespace

void PlayShutter()
{
    // Synchronous: the sound has played when this returns.
    ::PlaySoundA(MAKEINTRESOURCEA(IDR_SHUTTER), GetAppInstance(), SND_RESOURCE);
}

void ShowOutOfMemory()
{
    ::MessageBoxA(::GetFocus(), "Out of Memory", nullptr, MB_SYSTEMMODAL | MB_ICONERROR);
}

void Report(const Outcome& outcome)
{
    if (!outcome.HasResult()) {
        ReportFailure(outcome);
        return;
    }
    PlayShutter();
    // What was left out, after the sound of what was delivered.
    if (outcome.kind == Outcome::Kind::Cut)
        AppMessageBox(outcome.message, MB_OK | MB_ICONEXCLAMATION);
    else if (outcome.kind == Outcome::Kind::Aborted)
        AppMessageBox(outcome.message, MB_OK | MB_ICONHAND);
}

void ReportFailure(const Outcome& outcome)
{
    switch (outcome.kind) {
    case Outcome::Kind::Done:
    case Outcome::Kind::Cut:
    case Outcome::Kind::Aborted:
    case Outcome::Kind::Nothing:
        return;
    case Outcome::Kind::OutOfMemory:
        ShowOutOfMemory();
        return;
    case Outcome::Kind::ClipboardFailed:
        AppMessageBox(kClipboardFailed, MB_OK | MB_ICONSTOP);
        return;
    case Outcome::Kind::FileFailed:
        AppMessageBox(outcome.file.GetErrorMessage(), MB_OK | MB_ICONSTOP);
        return;
    case Outcome::Kind::Refused:
        AppMessageBox(outcome.message, MB_OK | MB_ICONSTOP);
        return;
    }
}

void ReportOffScreen(const RECT& rect)
{
    AppMessageBox("The rectangle " + FormatRect(rect) +
                      " lies on no screen now. Please choose it again in the Option dialog.",
                  MB_OK | MB_ICONSTOP);
}

Outcome TextCaptureOutcome(const Outcome& reading, const Outcome& delivery)
{
    if (reading.kind == Outcome::Kind::Refused)
        return Outcome::Refusal(reading.message + kClipboardLeftAlone);
    if (!reading.HasResult() || delivery.IsDone())
        return reading;
    // Text that went nowhere: neither the shutter nor what the reading left out.
    return delivery;
}
