#include "app/ReadingThread.h"

#include "framework/WorkerThread.h"
#include "text/ReadAnyWindow.h"
#include "text/ReadingWatch.h"
#include "ui/ReadingProgressDlg.h"

#include <memory>
#include <optional>

Outcome ReadShowingProgress(HWND control, std::string& text, HWND owner)
{
    CReadingWatch watch;
    Outcome result;
    // The reading writes into `text` and `result` until its thread has ended; this thread waits
    // for it below, and the worker's owner waits again on every way out of this scope.
    CWorkerThread reading([&](const CStopToken&) { result = ReadControlText(control, text, &watch); });
    if (!reading.Started())
        return ReadControlText(control, text);

    std::unique_ptr<CReadingProgressDlg> progress;
    std::optional<int> quit;
    for (DWORD wait = kProgressAfterMs;;) {
        int code = 0;
        const PumpEnd end = reading.WaitAnswering(wait, &code);
        if (end == PumpEnd::TimedOut && !progress) {
            // The window, once shown, follows the reading from its own timer.
            progress = std::make_unique<CReadingProgressDlg>(watch, owner);
            if (!progress->Show())
                progress.reset();
            wait = INFINITE;
            continue;
        }
        if (end == PumpEnd::Quit) {
            // The program is asked to end: the reading stops, and the request is passed on.
            quit = code;
            watch.Stop();
            continue;
        }
        break;  // ended (or its handle cannot be waited for: the owner's wait is the one that holds)
    }
    progress.reset();
    reading.Wait();
    if (quit)
        ::PostQuitMessage(*quit);
    return result;
}
