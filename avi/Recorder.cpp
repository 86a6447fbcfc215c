#include "avi/Recorder.h"

void CRecorder::Start(HWND timerWindow, char, const CaptureSettings&)
{
    Stop();
    m_hTimerWindow = timerWindow;
}

void CRecorder::Stop()
{
    if (m_hTimerWindow)
        ::KillTimer(m_hTimerWindow, IDT_RECORD);
    m_bRecording = false;
    m_nFramesLeft = 0;
}

void CRecorder::OnTimer()
{
    Stop();
}
