#include "avi/Recorder.h"

#include "capture/Delivery.h"
#include "capture/ScreenGrab.h"
#include "framework/Handles.h"
#include "framework/MessageBox.h"

int FrameInterval(int rate)
{
    return rate > 0 ? 1000 / rate : 0;
}

int FrameBudget(bool automatic, int rate, int endAfterSeconds)
{
    return automatic ? endAfterSeconds * rate : rate * 30;
}

UINT NextTickDelay(DWORD dueMs, DWORD nowMs)
{
    // A signed difference: the tick count wraps after 49 days.
    const LONG rest = static_cast<LONG>(dueMs - nowMs);
    return rest < 1 ? 1u : static_cast<UINT>(rest);
}

void CRecorder::Start(HWND timerWindow, char key, const CaptureSettings& settings, const CURSORINFO* cursor)
{
    if (IsRecording())
        Stop();
    const RECT& area = settings.m_rcAvi;
    if (settings.m_nAviRate <= 0 || area.left == area.right || area.top == area.bottom || !settings.m_szAviFile[0])
        return;
    m_hTimerWindow = timerWindow;
    m_rcArea = area;
    m_bDrawCursor = cursor != nullptr;
    if (cursor)
        m_cursor = *cursor;
    m_nFrameInterval = FrameInterval(settings.m_nAviRate);
    m_nFramesLeft = FrameBudget(key == settings.m_chAviAutoBeginKey, settings.m_nAviRate, settings.m_nAviEndAfter);
    m_pWriter = std::make_unique<CAviWriter>(settings.m_szAviFile, -1, -1, settings.m_nAviRate, m_dwVfwVersion);
    m_pGrabber = std::make_unique<CFrameGrabber>(area);
    // No frame now: the first comes one interval later.
    if (m_pWriter->IsEnabled()) {
        m_dwFrameDue = ::GetTickCount() + static_cast<DWORD>(m_nFrameInterval);
        ::SetTimer(m_hTimerWindow, IDT_RECORD, static_cast<UINT>(m_nFrameInterval), nullptr);
    } else {
        Stop();
    }
}

void CRecorder::OnTimer()
{
    ::KillTimer(m_hTimerWindow, IDT_RECORD);
    if (m_nFramesLeft <= 0 || !m_pWriter) {
        Stop();
        return;
    }
    // A file about to pass what readers accept ends as if the budget were used up.
    if (m_pWriter->IsFull()) {
        Stop();
        return;
    }
    const CURSORINFO* cursor = m_bDrawCursor ? &m_cursor : nullptr;
    if (m_pGrabber->Usable()) {
        // One copy into the recording's own picture (a frame of another size is left out).
        if (m_pGrabber->Grab(cursor))
            m_pWriter->WriteFrame(m_pGrabber->Header(), m_pGrabber->Bits());
    } else if (CBitmapHandle frame{GrabScreenRect(&m_rcArea, cursor)}) {
        m_pWriter->WriteFrame(frame);
    } else {
        m_nFramesLeft = 0;  // the screen could not be copied: the recording ends
    }
    if (--m_nFramesLeft <= 0 || !m_pWriter->IsEnabled()) {
        Stop();
        return;
    }
    m_dwFrameDue += static_cast<DWORD>(m_nFrameInterval);
    ::SetTimer(m_hTimerWindow, IDT_RECORD, NextTickDelay(m_dwFrameDue, ::GetTickCount()), nullptr);
}

void CRecorder::End(bool tell)
{
    if (m_hTimerWindow)
        ::KillTimer(m_hTimerWindow, IDT_RECORD);
    if (!m_pWriter)
        return;
    // The file is completed and closed first: the last bytes may fail to go out too.
    m_pWriter->Close();
    const std::string failure = m_pWriter->Failure();
    m_pWriter.reset();
    m_pGrabber.reset();
    m_nFramesLeft = 0;
    if (!tell)
        return;
    if (failure.empty())
        PlayShutter();
    else
        AppMessageBox(failure, MB_OK | MB_ICONSTOP);
}
