// The recording of a screen rectangle into an AVI file, one frame per tick of a one-shot timer
// on the main window, until a frame budget is used up or the user ends it.
#pragma once

#include "capture/CaptureSettings.h"

#include <windows.h>

const UINT_PTR IDT_RECORD = 1;  // the frame timer, the main window's only timer

class CRecorder
{
public:
    CRecorder() = default;
    ~CRecorder() { Stop(); }
    CRecorder(const CRecorder&) = delete;
    CRecorder& operator=(const CRecorder&) = delete;

    bool IsRecording() const { return m_bRecording; }
    // A begin key: ends a running recording, then starts one with the timer on timerWindow.
    // The file's writer comes with the AVI writer; until then nothing is recorded.
    void Start(HWND timerWindow, char key, const CaptureSettings& settings);
    // Ends the recording (harmless when none runs).
    void Stop();
    // A tick of the frame timer.
    void OnTimer();

private:
    HWND m_hTimerWindow = nullptr;
    bool m_bRecording = false;
    int m_nFramesLeft = 0;
    int m_nFrameInterval = 0;  // milliseconds
};
