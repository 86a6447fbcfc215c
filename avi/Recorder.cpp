#include "avi/Recorder.h"

#include "capture/ScreenGrab.h"

const char kScreenNotCopied[] = "The screen could not be copied, so the recording ended.";

namespace {
std::string StillCompleting(const std::string& file)
{
    return file + " is still being completed. The recording ended without waiting for it; the program completes it "
                  "meanwhile and waits for it before it exits.";
}
}  // namespace

bool HasRecordingChoices(const CaptureSettings& settings)
{
    const RECT& area = settings.m_rcAvi;
    return settings.m_nAviRate > 0 && area.left != area.right && area.top != area.bottom && settings.m_szAviFile[0];
}

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

Outcome CRecorder::Start(HWND timerWindow, bool automatic, const CaptureSettings& settings, const CURSORINFO* cursor)
{
    if (m_bWaiting)
        return Outcome::Of(Outcome::Kind::Nothing);
    Stop();
    m_bStopAsked = false;
    if (!HasRecordingChoices(settings))
        return Outcome::Of(Outcome::Kind::Nothing);
    const RECT& area = settings.m_rcAvi;
    m_hTimerWindow = timerWindow;
    m_rcArea = area;
    m_bDrawCursor = cursor != nullptr;
    if (cursor)
        m_cursor = *cursor;
    m_ended = Outcome();
    m_nFrameInterval = FrameInterval(settings.m_nAviRate);
    m_nFramesLeft = FrameBudget(automatic, settings.m_nAviRate, settings.m_nAviEndAfter);
    m_strFirstFile = settings.m_szAviFile;
    m_nPart = 1;
    m_nRate = settings.m_nAviRate;
    m_pWriter = std::make_unique<CAviWriter>(m_strFirstFile, -1, -1, m_nRate, m_dwVfwVersion, m_nMaxFileBytes);
    m_pWriter->NameStream(PartMark(m_strFirstFile, m_nPart));
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
    const Outcome closed = FinishClosing();
    if (!closed.IsDone()) {
        m_ended = closed;
        return false;
    }
    const Outcome place = ClaimPartPlace(m_strFirstFile, m_nPart + 1);
    if (!place.IsDone()) {
        m_ended = place;
        return false;
    }
    // Made before the full one's writer goes, so that the library stays loaded between them.
    auto next = std::make_unique<CAviWriter>(AviPartName(m_strFirstFile, ++m_nPart), -1, -1, m_nRate, m_dwVfwVersion,
                                             m_nMaxFileBytes);
    next->NameStream(PartMark(m_strFirstFile, m_nPart));
    m_pClosing = std::make_unique<CPartCloser>(std::move(m_pWriter));
    m_pWriter = std::move(next);
    return true;
}

Outcome CRecorder::FinishClosing()
{
    if (!m_pClosing)
        return Outcome();
    m_bWaiting = true;
    const bool complete = m_pClosing->Wait(m_dwCompletionBoundMs);
    m_bWaiting = false;
    if (!complete) {
        const Outcome still = Outcome::Refusal(StillCompleting(m_pClosing->FileName()));
        m_late.push_back(std::move(m_pClosing));
        return still;
    }
    const Outcome outcome = m_pClosing->Result();
    m_pClosing.reset();
    return outcome;
}

Outcome CRecorder::CollectLate()
{
    Outcome failure;
    for (auto late = m_late.begin(); late != m_late.end();) {
        if (!(*late)->IsComplete()) {
            ++late;
            continue;
        }
        if (failure.IsDone())
            failure = (*late)->Result();
        late = m_late.erase(late);
    }
    return failure;
}

Outcome CRecorder::OnTimer()
{
    ::KillTimer(m_hTimerWindow, IDT_RECORD);
    if (m_nFramesLeft <= 0 || !m_pWriter)
        return Stop();
    // The frame that would take the file past what readers accept goes into the next file.
    if (m_pWriter->IsFull() && (!NextPart() || m_bStopAsked))
        return Stop();
    const bool firstFrame = m_nPart == 1 && m_pWriter->Frames() == 0;
    if (!WriteNextFrame()) {
        m_ended = Outcome::Refusal(kScreenNotCopied);
        return Stop();
    }
    // The first file is made: what earlier recordings into it left beside it would pass for
    // this one's parts.
    if (firstFrame && m_pWriter->Frames() == 1) {
        const Outcome removed = RemoveEarlierParts(m_strFirstFile);
        if (!removed.IsDone()) {
            m_ended = removed;
            return Stop();
        }
    }
    if (--m_nFramesLeft <= 0 || !m_pWriter->IsEnabled())
        return Stop();
    m_dwFrameDue += static_cast<DWORD>(m_nFrameInterval);
    ::SetTimer(m_hTimerWindow, IDT_RECORD, NextTickDelay(m_dwFrameDue, ::GetTickCount()), nullptr);
    return Outcome::Of(Outcome::Kind::Nothing);
}

Outcome CRecorder::Stop()
{
    if (m_bWaiting) {
        m_bStopAsked = true;
        return Outcome::Of(Outcome::Kind::Nothing);
    }
    if (m_hTimerWindow)
        ::KillTimer(m_hTimerWindow, IDT_RECORD);
    const Outcome late = CollectLate();
    if (!m_pWriter)
        return late.IsDone() ? Outcome::Of(Outcome::Kind::Nothing) : late;
    // The files are completed and closed first (a part completed meanwhile, then the last): the
    // last bytes may fail to go out too.
    const Outcome closed = FinishClosing();
    m_pWriter->Close();
    Outcome outcome = !late.IsDone() ? late : !closed.IsDone() ? closed : m_pWriter->Failure();
    if (outcome.IsDone())
        outcome = m_ended;
    if (outcome.IsDone() && m_pWriter->Frames() == 0 && m_nPart == 1)
        outcome = Outcome::Of(Outcome::Kind::Nothing);  // no file was made: nothing to hear
    m_pWriter.reset();
    m_pGrabber.reset();
    m_nFramesLeft = 0;
    m_nPart = 0;
    m_bStopAsked = false;
    return outcome;
}

void CRecorder::EndForSessionEnd()
{
    if (!m_bWaiting) {
        Stop();
    } else {
        // The end of the session came among the messages that a wait for a part answers: that
        // part and the one being written are completed here, and the recording ends once the
        // wait is over.
        m_pClosing->Wait(m_dwCompletionBoundMs);
        m_pWriter->Close();
        m_bStopAsked = true;
    }
    // What the messages answered meanwhile ask of the recorder waits until these are done.
    const bool waiting = m_bWaiting;
    m_bWaiting = true;
    for (const std::unique_ptr<CPartCloser>& late : m_late)
        late->Wait(m_dwCompletionBoundMs);
    m_bWaiting = waiting;
}
