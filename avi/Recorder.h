// The recording of a screen rectangle into an AVI file, one frame per tick of a one-shot timer
// on the main window, until its frame budget is used up, the user ends it, the screen cannot be
// copied, or a file cannot be written. A file that would grow past what AVI readers accept is
// closed complete and the recording goes on in a next file named after the first (clip.avi,
// clip-2.avi, clip-3.avi, ...: see RecordingParts.h). Every call that ends a recording says what
// became of it; the caller tells the user.
//
// The screen is copied at each tick on the interface thread, so that frame n is the screen at
// tick n, into one of a few frame buffers; a writer thread takes them in order, codes them when
// the recording is compressed, and writes them (RecordingFiles.h). Coding and writing a frame may
// take longer than an interval without the rate suffering, and the memory stays that of the few
// buffers: where no buffer is free at a tick (the writer is that far behind), the tick's frame
// repeats the one before, which the writer writes again, so that the frame count and the timing
// hold; the user is told how many frames did.
#pragma once

#include "avi/AviWriter.h"
#include "avi/PartCloser.h"
#include "avi/RecordingFiles.h"
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
// The frame buffers of a recording: the writer may fall this many frames behind the screen.
const int kFramePool = 4;
// What the user is told of a recording in which `repeated` of its `frames` repeat the frame
// before them (the writer was behind).
std::string RepeatedFramesNote(int repeated, int frames);

class CFramePipe;

class CRecorder
{
public:
    // The Video for Windows version, the file limit and the wait for the files' completion are
    // the system's, the AVI readers' and the program's (tests give others).
    explicit CRecorder(DWORD vfwVersion = QueryVideoForWindowsVersion(),
                       unsigned long long maxFileBytes = kMaxAviFileBytes,
                       DWORD completionBoundMs = kPartCompletionBoundMs);
    // Ends a recording, then waits for every file still being completed: no file is left
    // half-written when the program ends.
    ~CRecorder();
    CRecorder(const CRecorder&) = delete;
    CRecorder& operator=(const CRecorder&) = delete;

    bool IsRecording() const { return m_pPipe != nullptr; }
    // Starts a recording with the timer on timerWindow, unless the settings lack a rate, a
    // rectangle or a file (Nothing). An automatic recording lasts "End after" seconds, a manual
    // one until Stop; a compressed one ("AviCompress") is coded without loss (ZMBV). The cursor,
    // when given, is drawn into every frame (the snapshot of the hot-key action). A recording
    // still running is ended first, unheard: end it with Stop before, to hear of it. Returns what
    // became of a recording that ended at once (its writer refused); Nothing once it runs, and
    // Nothing, starting none, while the recorder waits for its files' completion (the messages
    // it answers meanwhile may ask for one).
    // With its first frame a recording makes its first file, and the parts that earlier
    // recordings into that file left go (RemoveEarlierParts).
    Outcome Start(HWND timerWindow, bool automatic, const CaptureSettings& settings, const CURSORINFO* cursor);
    // Ends the recording once the writer has written every frame taken and completed the files
    // (harmless when none runs). What became of it: Done with frames in the file, Cut when some
    // frames repeat the one before (the note says how many and why); Nothing when none ran or
    // no frame was written; otherwise why the files are not what was asked (a writer's failure,
    // the screen lost, a part's place taken, a part still being completed past the bound), or
    // the failure of an earlier recording's files that were completed late. Asked while the
    // recorder waits for the files, Nothing here: the recording is ending already.
    // Files not completed within the bound are not waited for longer here: the outcome says so,
    // and the recorder keeps their writer, waiting for it when it goes.
    Outcome Stop();
    // The session ends: the recording ends with its files complete, and files still being
    // completed are waited for (each recording's within the bound), as the process may end once
    // this returns. Nothing is told: no message box may hold up the end of the session.
    void EndForSessionEnd();
    // A tick of the frame timer: what became of the recording if it ended here, else Nothing.
    Outcome OnTimer();
    int FramesLeft() const { return m_nFramesLeft; }
    // The part the writer writes: 1 for the first file (0 when no recording runs).
    int Part() const;

    // Tests: the writer takes no frame until the recording ends, as one far behind would.
    bool m_bHoldWriter = false;

private:
    // Copies the rectangle into a buffer of the pool: Done, or why not.
    Outcome Grab(CFramePipe& pipe, int slot);
    // The first failure of the late recordings whose files are complete now (they go); Done
    // without one.
    Outcome CollectLate();

    DWORD m_dwVfwVersion;
    unsigned long long m_nMaxFileBytes;
    DWORD m_dwCompletionBoundMs;
    std::unique_ptr<CFramePipe> m_pPipe;
    // Recordings whose files outlasted the bound: kept until complete, the latest at the end.
    std::vector<std::unique_ptr<CFramePipe>> m_late;
    bool m_bWaiting = false;  // for the files' completion, answering messages
    bool m_bCompress = false;
    HWND m_hTimerWindow = nullptr;
    RECT m_rcArea = {0, 0, 0, 0};
    CURSORINFO m_cursor = {};
    bool m_bDrawCursor = false;
    int m_nFramesLeft = 0;
    int m_nRepeats = 0;        // ticks whose frame repeats the one before
    int m_nFrameInterval = 0;  // milliseconds
    DWORD m_dwFrameDue = 0;    // GetTickCount of the frame the timer waits for
    Outcome m_ended;  // why the recording ended before its time (Done: it did not)
};
