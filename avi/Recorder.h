// The recording of a screen rectangle into an AVI file, one frame per tick of a one-shot timer
// on the main window, until its frame budget is used up, the user ends it, the screen cannot be
// copied, or a file cannot be written. A file that would grow past what AVI readers accept is
// closed complete and the recording goes on in a next file named after the first (clip.avi,
// clip-2.avi, clip-3.avi, ...). Every call that ends a recording says what became of it; the
// caller tells the user.
#pragma once

#include "avi/AviWriter.h"
#include "avi/PartCloser.h"
#include "avi/FrameGrabber.h"
#include "capture/CaptureSettings.h"
#include "framework/Outcome.h"

#include <windows.h>

#include <memory>
#include <string>

const UINT_PTR IDT_RECORD = 1;  // the frame timer, the main window's only timer

// Whether the settings hold what a recording needs: a rate, a rectangle of some size, a file.
bool HasRecordingChoices(const CaptureSettings& settings);
// Milliseconds between two frames: 1000 / rate.
int FrameInterval(int rate);
// Why a recording ended early when the screen could no longer be copied.
extern const char kScreenNotCopied[];

// The file of part `part` (1, 2, ...) of a recording into `first`: the first itself, then the
// name with "-2", "-3", ... before its .avi extension (in any case), or at its end without one.
std::string AviPartName(const std::string& first, int part);

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
    // The Video for Windows version and the file limit are the system's and the AVI readers'
    // (tests give others).
    explicit CRecorder(DWORD vfwVersion = QueryVideoForWindowsVersion(),
                       unsigned long long maxFileBytes = kMaxAviFileBytes)
        : m_dwVfwVersion(vfwVersion), m_nMaxFileBytes(maxFileBytes)
    {
    }
    ~CRecorder() { Stop(); }
    CRecorder(const CRecorder&) = delete;
    CRecorder& operator=(const CRecorder&) = delete;

    bool IsRecording() const { return m_pWriter != nullptr; }
    // Starts a recording with the timer on timerWindow, unless the settings lack a rate, a
    // rectangle or a file (Nothing). An automatic recording lasts "End after" seconds, a manual
    // one until Stop. The cursor, when given, is drawn into every frame (the snapshot of the
    // hot-key action). A recording still running is ended first, unheard: end it with Stop
    // before, to hear of it. Returns what became of a recording that ended at once (its writer
    // refused); Nothing once it runs.
    Outcome Start(HWND timerWindow, bool automatic, const CaptureSettings& settings, const CURSORINFO* cursor);
    // Ends the recording with its file complete (harmless when none runs). What became of it:
    // Done with frames in the file; Nothing when none ran or no frame was written; otherwise
    // why the file is not what was asked (the writer's failure, or the screen lost).
    Outcome Stop();
    // A tick of the frame timer: what became of the recording if it ended here, else Nothing.
    Outcome OnTimer();
    int FramesLeft() const { return m_nFramesLeft; }
    // The part being written: 1 for the first file.
    int Part() const { return m_nPart; }

private:
    // Copies the rectangle into the next frame; false when the screen could not be copied.
    bool WriteNextFrame();
    // Hands the full file to be completed meanwhile and makes the writer of the next part (the
    // file itself comes with its first frame); false when the part before could not be completed.
    bool NextPart();

    DWORD m_dwVfwVersion;
    unsigned long long m_nMaxFileBytes;
    std::string m_strFirstFile;
    int m_nPart = 0;
    int m_nRate = 0;
    std::unique_ptr<CAviWriter> m_pWriter;
    std::unique_ptr<CPartCloser> m_pClosing;  // the part before, while it is completed
    std::unique_ptr<CFrameGrabber> m_pGrabber;
    HWND m_hTimerWindow = nullptr;
    RECT m_rcArea = {0, 0, 0, 0};
    CURSORINFO m_cursor = {};
    bool m_bDrawCursor = false;
    int m_nFramesLeft = 0;
    int m_nFrameInterval = 0;  // milliseconds
    DWORD m_dwFrameDue = 0;    // GetTickCount of the frame the timer waits for
    bool m_bScreenLost = false;
};
