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
    if (outcome.IsDone())
        PlayShutter();
    else
        ReportFailure(outcome);
}

void ReportFailure(const Outcome& outcome)
{
    switch (outcome.kind) {
    case Outcome::Kind::Done:
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
        AppMessageBox(outcome.reason, MB_OK | MB_ICONSTOP);
        return;
    }
}

void ReportOffScreen(const RECT& rect)
{
    AppMessageBox("The rectangle " + FormatRect(rect) +
                      " lies on no screen now. Please choose it again in the Option dialog.",
                  MB_OK | MB_ICONSTOP);
}

void ReportTextCapture(const ReadResult& reading, const Outcome& delivery)
{
    switch (reading.outcome) {
    case ReadResult::Outcome::OutOfMemory:
        ShowOutOfMemory();
        return;
    case ReadResult::Outcome::Refused:
    case ReadResult::Outcome::Needs64BitReader:
        AppMessageBox(reading.message + kClipboardLeftAlone, MB_OK | MB_ICONSTOP);
        return;
    case ReadResult::Outcome::Whole:
    case ReadResult::Outcome::Cut:
    case ReadResult::Outcome::Aborted:
        break;
    }
    Report(delivery);
    if (reading.outcome == ReadResult::Outcome::Aborted)
        AppMessageBox(reading.message, MB_OK | MB_ICONHAND);
    else if (delivery.IsDone() && reading.outcome == ReadResult::Outcome::Cut)
        AppMessageBox(reading.message, MB_OK | MB_ICONEXCLAMATION);
}
