#include "avi/Recorder.h"

#include "capture/ScreenGrab.h"

const char kScreenNotCopied[] = "The screen could not be copied, so the recording ended.";

bool HasRecordingChoices(const CaptureSettings& settings)
{
    const RECT& area = settings.m_rcAvi;
    return settings.m_nAviRate > 0 && area.left != area.right && area.top != area.bottom && settings.m_szAviFile[0];
}

int FrameInterval(int rate)
{
    return rate > 0 ? 1000 / rate : 0;
}

std::string AviPartName(const std::string& first, int part)
{
    if (part <= 1)
        return first;
    const std::string suffix = "-" + std::to_string(part);
    const size_t stem = first.size() >= 4 && ::lstrcmpiA(first.c_str() + first.size() - 4, ".avi") == 0
                            ? first.size() - 4
                            : first.size();
    return first.substr(0, stem) + suffix + first.substr(stem);
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

Outcome CRecorder::Start(HWND timerWindow, bool automatic, const CaptureSettings& settings, const CURSORINFO* cursor)
{
    Stop();
    if (!HasRecordingChoices(settings))
        return Outcome::Of(Outcome::Kind::Nothing);
    const RECT& area = settings.m_rcAvi;
    m_hTimerWindow = timerWindow;
    m_rcArea = area;
    m_bDrawCursor = cursor != nullptr;
    if (cursor)
        m_cursor = *cursor;
    m_bScreenLost = false;
    m_nFrameInterval = FrameInterval(settings.m_nAviRate);
    m_nFramesLeft = FrameBudget(automatic, settings.m_nAviRate, settings.m_nAviEndAfter);
    m_strFirstFile = settings.m_szAviFile;
    m_nPart = 1;
    m_nRate = settings.m_nAviRate;
    m_pWriter = std::make_unique<CAviWriter>(m_strFirstFile, -1, -1, m_nRate, m_dwVfwVersion, m_nMaxFileBytes);
    m_pGrabber = std::make_unique<CFrameGrabber>(area);
    if (!m_pWriter->IsEnabled())
        return Stop();
    // No frame now: the first comes one interval later.
    m_dwFrameDue = ::GetTickCount() + static_cast<DWORD>(m_nFrameInterval);
    ::SetTimer(m_hTimerWindow, IDT_RECORD, static_cast<UINT>(m_nFrameInterval), nullptr);
    return Outcome::Of(Outcome::Kind::Nothing);
}

bool CRecorder::WriteNextFrame()
{
    const CURSORINFO* cursor = m_bDrawCursor ? &m_cursor : nullptr;
    if (m_pGrabber->Usable()) {
        // One copy into the recording's own picture.
        if (!m_pGrabber->Grab(cursor))
            return false;
        m_pWriter->WriteFrame(m_pGrabber->Header(), m_pGrabber->Bits());
        return true;
    }
    const ScreenPicture frame = GrabScreenRect(m_rcArea, cursor);
    if (!frame.bitmap)
        return false;
    m_pWriter->WriteFrame(frame.bitmap);
    return true;
}

bool CRecorder::NextPart()
{
    // One part is completed at a time: the one before must be whole before this one goes.
    if (m_pClosing && !m_pClosing->Finish().IsDone())
        return false;
    // Made before the full one's writer goes, so that the library stays loaded between them.
    auto next = std::make_unique<CAviWriter>(AviPartName(m_strFirstFile, ++m_nPart), -1, -1, m_nRate, m_dwVfwVersion,
                                             m_nMaxFileBytes);
    m_pClosing = std::make_unique<CPartCloser>(std::move(m_pWriter));
    m_pWriter = std::move(next);
    return true;
}

Outcome CRecorder::OnTimer()
{
    ::KillTimer(m_hTimerWindow, IDT_RECORD);
    if (m_nFramesLeft <= 0 || !m_pWriter)
        return Stop();
    // The frame that would take the file past what readers accept goes into the next file.
    if (m_pWriter->IsFull() && !NextPart())
        return Stop();
    if (!WriteNextFrame()) {
        m_bScreenLost = true;
        return Stop();
    }
    if (--m_nFramesLeft <= 0 || !m_pWriter->IsEnabled())
        return Stop();
    m_dwFrameDue += static_cast<DWORD>(m_nFrameInterval);
    ::SetTimer(m_hTimerWindow, IDT_RECORD, NextTickDelay(m_dwFrameDue, ::GetTickCount()), nullptr);
    return Outcome::Of(Outcome::Kind::Nothing);
}

Outcome CRecorder::Stop()
{
    if (m_hTimerWindow)
        ::KillTimer(m_hTimerWindow, IDT_RECORD);
    if (!m_pWriter)
        return Outcome::Of(Outcome::Kind::Nothing);
    // The files are completed and closed first (a part completed meanwhile, then the last): the
    // last bytes may fail to go out too.
    const Outcome closed = m_pClosing ? m_pClosing->Finish() : Outcome();
    m_pClosing.reset();
    m_pWriter->Close();
    Outcome outcome = closed.IsDone() ? m_pWriter->Failure() : closed;
    if (outcome.IsDone() && m_bScreenLost)
        outcome = Outcome::Refusal(kScreenNotCopied);
    else if (outcome.IsDone() && m_pWriter->Frames() == 0 && m_nPart == 1)
        outcome = Outcome::Of(Outcome::Kind::Nothing);  // no file was made: nothing to hear
    m_pWriter.reset();
    m_pGrabber.reset();
    m_nFramesLeft = 0;
    m_nPart = 0;
    return outcome;
}
