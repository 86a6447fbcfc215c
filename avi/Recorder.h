// The recording of a screen rectangle into an AVI file, one frame per tick of a one-shot timer
// on the main window, until its frame budget is used up, the user ends it, the screen cannot be
// copied, or a file cannot be written. A file that would grow past what AVI readers accept is
// closed complete and the recording goes on in a next file named after the first (clip.avi,
// clip-2.avi, clip-3.avi, ...: see RecordingParts.h). Every call that ends a recording says what
// became of it; the caller tells the user.
#pragma once

#include "avi/AviWriter.h"
#include "avi/FrameGrabber.h"
#include "avi/PartCloser.h"
#include "avi/RecordingParts.h"
#include "capture/CaptureSettings.h"
#include "framework/Outcome.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

const UINT_PTR IDT_RECORD = 1;  // the frame timer, the main window's only timer

// Whether the settings hold what a recording needs: a rate, a rectangle of some size, a file.
bool HasRecordingChoices(const CaptureSettings& settings);
// Milliseconds between two frames: 1000 / rate.
int FrameInterval(int rate);
// Why a recording ended early when the screen could no longer be copied.
extern const char kScreenNotCopied[];

// The frames a recording may take: the automatic one lasts "End after" seconds, a manual one at
// most 30 seconds (until its end key).
int FrameBudget(bool automatic, int rate, int endAfterSeconds);
// Frames are due one interval apart from the recording's start, whatever a frame and the timer's
// lateness cost, so that a recording holds its nominal rate; one that fell behind (a frame that
// waited for the disk, say) catches up with its next frames. The one-shot timer then waits what
// is left until the next frame is due: at least 1 ms, so that ticks never pile up.
UINT NextTickDelay(DWORD dueMs, DWORD nowMs);

class CRecorder
{
public:
    // The Video for Windows version, the file limit and the wait for a part's completion are
    // the system's, the AVI readers' and the program's (tests give others).
    explicit CRecorder(DWORD vfwVersion = QueryVideoForWindowsVersion(),
                       unsigned long long maxFileBytes = kMaxAviFileBytes,
                       DWORD completionBoundMs = kPartCompletionBoundMs)
        : m_dwVfwVersion(vfwVersion), m_nMaxFileBytes(maxFileBytes), m_dwCompletionBoundMs(completionBoundMs)
    {
    }
    // Ends a recording, then waits for every part still being completed: no file is left
    // half-written when the program ends.
    ~CRecorder() { Stop(); }
    CRecorder(const CRecorder&) = delete;
    CRecorder& operator=(const CRecorder&) = delete;

    bool IsRecording() const { return m_pWriter != nullptr; }
    // Starts a recording with the timer on timerWindow, unless the settings lack a rate, a
    // rectangle or a file (Nothing). An automatic recording lasts "End after" seconds, a manual
    // one until Stop. The cursor, when given, is drawn into every frame (the snapshot of the
    // hot-key action). A recording still running is ended first, unheard: end it with Stop
    // before, to hear of it. Returns what became of a recording that ended at once (its writer
    // refused); Nothing once it runs, and Nothing, starting none, while the recorder waits for
    // a part's completion (the messages it answers meanwhile may ask for one).
    // With its first frame a recording makes its first file, and the parts that earlier
    // recordings into that file left go (RemoveEarlierParts).
    Outcome Start(HWND timerWindow, bool automatic, const CaptureSettings& settings, const CURSORINFO* cursor);
    // Ends the recording with its file complete (harmless when none runs). What became of it:
    // Done with frames in the file; Nothing when none ran or no frame was written; otherwise
    // why the files are not what was asked (a writer's failure, the screen lost, a part's place
    // taken, a part still being completed past the bound), or the failure of a part of an
    // earlier recording that was completed late. Asked while the recorder waits for a part's
    // completion, the stop comes once the wait is over (Nothing here).
    // A part not completed within the bound is not waited for longer here: the outcome says so,
    // and the recorder keeps it, waiting for it when it goes.
    Outcome Stop();
    // The session ends: the recording ends with its files complete, and the parts still being
    // completed are waited for (each within the bound), as the process may end once this returns.
    // Nothing is told: no message box may hold up the end of the session.
    void EndForSessionEnd();
    // A tick of the frame timer: what became of the recording if it ended here, else Nothing.
    Outcome OnTimer();
    int FramesLeft() const { return m_nFramesLeft; }
    // The part being written: 1 for the first file.
    int Part() const { return m_nPart; }

private:
    // Copies the rectangle into the next frame; false when the screen could not be copied.
    bool WriteNextFrame();
    // Hands the full file to be completed meanwhile and makes the writer of the next part (the
    // file itself comes with its first frame); false when the recording ends here: the part
    // before could not be completed, or the next part's place is not free (m_ended says why).
    bool NextPart();
    // Waits (within the bound) for the part being completed: Done, or why its file is not, or
    // that it is still being completed (it then goes to the late ones).
    Outcome FinishClosing();
    // The first failure of the late parts that are complete now (they go); Done without one.
    Outcome CollectLate();

    DWORD m_dwVfwVersion;
    unsigned long long m_nMaxFileBytes;
    DWORD m_dwCompletionBoundMs;
    std::string m_strFirstFile;
    int m_nPart = 0;
    int m_nRate = 0;
    std::unique_ptr<CAviWriter> m_pWriter;
    std::unique_ptr<CPartCloser> m_pClosing;  // the part before, while it is completed
    // Parts whose completion outlasted the bound: kept until complete, the latest at the end.
    std::vector<std::unique_ptr<CPartCloser>> m_late;
    bool m_bWaiting = false;     // for a part's completion, answering messages
    bool m_bStopAsked = false;   // meanwhile
    std::unique_ptr<CFrameGrabber> m_pGrabber;
    HWND m_hTimerWindow = nullptr;
    RECT m_rcArea = {0, 0, 0, 0};
    CURSORINFO m_cursor = {};
    bool m_bDrawCursor = false;
    int m_nFramesLeft = 0;
    int m_nFrameInterval = 0;  // milliseconds
    DWORD m_dwFrameDue = 0;    // GetTickCount of the frame the timer waits for
    Outcome m_ended;  // why the recording ended before its time (Done: it did not)
};
