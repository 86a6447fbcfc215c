// The recording of a screen rectangle into an AVI file, one frame per tick of a one-shot timer
// on the main window, until its frame budget is used up, the user ends it, or the file would
// grow past what AVI readers accept. The shutter says that a recording ended with its file
// complete; a recording that could not be written ends with a message saying why instead.
#pragma once

#include "avi/AviWriter.h"
#include "avi/FrameGrabber.h"
#include "capture/CaptureSettings.h"

#include <windows.h>

#include <memory>

const UINT_PTR IDT_RECORD = 1;  // the frame timer, the main window's only timer

// Milliseconds between two frames: 1000 / rate.
int FrameInterval(int rate);
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
    explicit CRecorder(DWORD vfwVersion = QueryVideoForWindowsVersion()) : m_dwVfwVersion(vfwVersion) {}
    ~CRecorder() { End(false); }
    CRecorder(const CRecorder&) = delete;
    CRecorder& operator=(const CRecorder&) = delete;

    bool IsRecording() const { return m_pWriter != nullptr; }
    // A begin key: ends a running recording, then starts one with the timer on timerWindow,
    // unless the settings lack a rate, a rectangle or a file. The key decides the kind: the
    // automatic begin letter gives the timed recording. The cursor, when given, is drawn into
    // every frame (the snapshot of the hot-key action).
    void Start(HWND timerWindow, char key, const CaptureSettings& settings, const CURSORINFO* cursor);
    // Ends the recording with its file complete and the shutter (harmless when none runs).
    void Stop() { End(true); }
    // A tick of the frame timer.
    void OnTimer();
    int FramesLeft() const { return m_nFramesLeft; }

private:
    // Ends the recording; the shutter (or the writer's failure) only when one ran and `tell`.
    void End(bool tell);

    DWORD m_dwVfwVersion;
    std::unique_ptr<CAviWriter> m_pWriter;
    std::unique_ptr<CFrameGrabber> m_pGrabber;
    HWND m_hTimerWindow = nullptr;
    RECT m_rcArea = {0, 0, 0, 0};
    CURSORINFO m_cursor = {};
    bool m_bDrawCursor = false;
    int m_nFramesLeft = 0;
    int m_nFrameInterval = 0;  // milliseconds
    DWORD m_dwFrameDue = 0;    // GetTickCount of the frame the timer waits for
};
