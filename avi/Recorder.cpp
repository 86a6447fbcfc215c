#include "avi/Recorder.h"

#include "avi/FrameGrabber.h"
#include "capture/ScreenGrab.h"
#include "framework/Handles.h"
#include "framework/WorkerThread.h"
#include "image/BitmapToDib.h"

#include <deque>

const char kScreenNotCopied[] = "The screen could not be copied, so the recording ended.";

namespace {
// The lock of what the two threads of a recording share.
class CLock
{
public:
    CLock() { ::InitializeCriticalSection(&m_section); }
    ~CLock() { ::DeleteCriticalSection(&m_section); }
    CLock(const CLock&) = delete;
    CLock& operator=(const CLock&) = delete;
    void Enter() { ::EnterCriticalSection(&m_section); }
    void Leave() { ::LeaveCriticalSection(&m_section); }

private:
    CRITICAL_SECTION m_section;
};
class CLocked
{
public:
    explicit CLocked(CLock& lock) : m_lock(lock) { m_lock.Enter(); }
    ~CLocked() { m_lock.Leave(); }
    CLocked(const CLocked&) = delete;
    CLocked& operator=(const CLocked&) = delete;

private:
    CLock& m_lock;
};

}  // namespace

// The frame buffers of one recording, the queue that hands them from the interface thread to
// the writer thread, and that thread. A buffer is free, taken by a tick, queued, or being
// written; a tick that finds none free counts a repeat on the last one queued, which the writer
// writes again before it frees that buffer.
class CFramePipe
{
public:
    struct Slot {
        std::unique_ptr<CFrameGrabber> grabber;  // a section of its own, where the display allows
        CFrameDib dib;                           // else the frame read from a grabbed bitmap
        const BITMAPINFOHEADER* header = nullptr;
        const BYTE* bits = nullptr;
        bool free = true;
        int repeats = 0;  // ticks after it whose frame repeats it
    };

    CFramePipe(const RecordingFileChoices& choices, const RECT& area, bool hold)
        : m_choices(choices),
          m_bHold(hold),
          m_strCurrent(choices.first),
          m_queued(::CreateEventW(nullptr, FALSE, FALSE, nullptr)),
          m_worker([this](const CStopToken& stop) { Run(stop); })
    {
        // The coder takes 32 bits a pixel, whatever the display's depth. Where a section cannot
        // be had (or an uncompressed frame needs a palette display's colour table), each frame is
        // read from a bitmap of the screen instead.
        bool grabbers = true;
        for (Slot& slot : m_slots) {
            slot.grabber = std::make_unique<CFrameGrabber>(area, choices.compress ? 32 : 0);
            grabbers = grabbers && slot.grabber->Usable();
        }
        if (!grabbers)
            for (Slot& slot : m_slots)
                slot.grabber.reset();
    }
    // The frames queued are written, and the files completed, before the thread ends.
    ~CFramePipe() = default;
    CFramePipe(const CFramePipe&) = delete;
    CFramePipe& operator=(const CFramePipe&) = delete;

    bool Started() const { return m_worker.Started() && m_queued; }
    Slot& At(int slot) { return m_slots[slot]; }
    // A free buffer, taken for the tick's frame; -1 when none is free: the tick's frame then
    // repeats the one before.
    int TakeOrRepeat()
    {
        CLocked locked(m_lock);
        for (int i = 0; i < kFramePool; ++i) {
            if (m_slots[i].free) {
                m_slots[i].free = false;
                return i;
            }
        }
        if (m_nLast >= 0)
            ++m_slots[m_nLast].repeats;
        return -1;
    }
    // The buffer taken holds the tick's frame now: to the writer.
    void Give(int slot)
    {
        {
            CLocked locked(m_lock);
            m_queue.push_back(slot);
            m_nLast = slot;
        }
        ::SetEvent(m_queued);
    }
    // The buffer taken holds no frame.
    void PutBack(int slot)
    {
        CLocked locked(m_lock);
        m_slots[slot].free = true;
    }
    // No more frames come: the writer writes those queued, completes the files and ends.
    void EndOfFrames()
    {
        {
            CLocked locked(m_lock);
            m_bEnd = true;
        }
        ::SetEvent(m_queued);
    }
    // Whether the writer has stopped taking frames before the end: it failed.
    bool GaveUp()
    {
        CLocked locked(m_lock);
        return !m_failure.IsDone() || m_worker.Ended();
    }
    // Waits at most waitMs for the writer's end, answering this thread's messages; whether it
    // has ended. A quit message that arrives meanwhile is posted again afterwards.
    bool Wait(DWORD waitMs) { return m_worker.WaitAnsweringThroughQuit(waitMs); }
    bool Ended() const { return m_worker.Ended(); }
    // Why the writer stopped, as soon as it did; Done while it writes.
    Outcome Failure()
    {
        CLocked locked(m_lock);
        return m_failure;
    }
    // Once ended: what became of the files, and how many frames they hold.
    Outcome Result()
    {
        CLocked locked(m_lock);
        return m_worker.Failed() ? Outcome::Of(Outcome::Kind::OutOfMemory) : m_result;
    }
    int Frames()
    {
        CLocked locked(m_lock);
        return m_nFrames;
    }
    std::string CurrentFile()
    {
        CLocked locked(m_lock);
        return m_strCurrent;
    }
    int Part()
    {
        CLocked locked(m_lock);
        return m_nPart;
    }

private:
    void Run(const CStopToken& stop)
    {
        // Made here: the library's initialisation is this thread's.
        CRecordingFiles files(m_choices);
        bool writing = files.Failure().IsDone();
        while (writing) {
            int slot = -1;
            {
                CLocked locked(m_lock);
                const bool end = m_bEnd || stop.StopRequested();
                if (!m_queue.empty() && (!m_bHold || end)) {
                    slot = m_queue.front();
                    m_queue.pop_front();
                } else if (end) {
                    break;
                }
            }
            if (slot < 0) {
                const HANDLE events[] = {m_queued, stop.Event()};
                ::WaitForMultipleObjects(2, events, FALSE, INFINITE);
                continue;
            }
            // The frame, then as many times again as ticks repeated it meanwhile.
            Slot& frame = m_slots[slot];
            writing = files.Write(*frame.header, frame.bits);
            for (int written = 0;; ++written) {
                {
                    CLocked locked(m_lock);
                    m_strCurrent = files.CurrentFile();
                    m_nPart = files.Part();
                    if (!writing || written == frame.repeats) {
                        frame.repeats = 0;
                        frame.free = true;
                        if (!writing)
                            m_failure = files.Failure();
                        break;
                    }
                }
                writing = files.Write(*frame.header, frame.bits);
            }
        }
        const Outcome result = files.Finish();
        CLocked locked(m_lock);
        m_result = result;
        m_nFrames = files.Frames();
    }

    RecordingFileChoices m_choices;
    bool m_bHold;
    CLock m_lock;
    Slot m_slots[kFramePool];
    std::deque<int> m_queue;
    int m_nLast = -1;  // the buffer queued last
    bool m_bEnd = false;
    Outcome m_failure;
    Outcome m_result;
    int m_nFrames = 0;
    int m_nPart = 1;
    std::string m_strCurrent;
    CKernelHandle m_queued;  // set when a frame is queued, and at the end of the frames
    CWorkerThread m_worker;  // declared last: started once everything it uses is made
};

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

std::string RepeatedFramesNote(int repeated, int frames)
{
    return std::to_string(repeated) + " of the " + std::to_string(frames) +
           " frames of the recording repeat the frame before them: the screen changed faster than the frames could "
           "be stored. A lower AVI rate or a smaller rectangle avoids that.";
}

UINT NextTickDelay(DWORD dueMs, DWORD nowMs)
{
    // A signed difference: the tick count wraps after 49 days.
    const LONG rest = static_cast<LONG>(dueMs - nowMs);
    return rest < 1 ? 1u : static_cast<UINT>(rest);
}

CRecorder::CRecorder(DWORD vfwVersion, unsigned long long maxFileBytes, DWORD completionBoundMs)
    : m_dwVfwVersion(vfwVersion), m_nMaxFileBytes(maxFileBytes), m_dwCompletionBoundMs(completionBoundMs)
{
}

CRecorder::~CRecorder()
{
    Stop();
    // The late recordings' writers are waited for as they go, without a bound.
}

Outcome CRecorder::Start(HWND timerWindow, bool automatic, const CaptureSettings& settings, const CURSORINFO* cursor)
{
    if (m_bWaiting)
        return Outcome::Of(Outcome::Kind::Nothing);
    Stop();
    if (!HasRecordingChoices(settings))
        return Outcome::Of(Outcome::Kind::Nothing);
    if (!AcceptsVideoForWindowsVersion(m_dwVfwVersion))
        return Outcome::Refusal(kOldVideoForWindows);
    m_hTimerWindow = timerWindow;
    m_rcArea = settings.m_rcAvi;
    m_bDrawCursor = cursor != nullptr;
    if (cursor)
        m_cursor = *cursor;
    m_ended = Outcome();
    m_nRepeats = 0;
    m_bCompress = settings.m_bAviCompress != FALSE;
    m_nFrameInterval = FrameInterval(settings.m_nAviRate);
    m_nFramesLeft = FrameBudget(automatic, settings.m_nAviRate, settings.m_nAviEndAfter);
    RecordingFileChoices files;
    files.first = settings.m_szAviFile;
    files.rate = settings.m_nAviRate;
    files.compress = m_bCompress;
    files.vfwVersion = m_dwVfwVersion;
    files.maxFileBytes = m_nMaxFileBytes;
    files.completionBoundMs = m_dwCompletionBoundMs;
    m_pPipe = std::make_unique<CFramePipe>(files, m_rcArea, m_bHoldWriter);
    if (!m_pPipe->Started()) {
        m_pPipe.reset();
        m_nFramesLeft = 0;
        return Outcome::Of(Outcome::Kind::OutOfMemory);
    }
    // No frame now: the first comes one interval later.
    m_dwFrameDue = ::GetTickCount() + static_cast<DWORD>(m_nFrameInterval);
    ::SetTimer(m_hTimerWindow, IDT_RECORD, static_cast<UINT>(m_nFrameInterval), nullptr);
    return Outcome::Of(Outcome::Kind::Nothing);
}

Outcome CRecorder::Grab(CFramePipe& pipe, int index)
{
    CFramePipe::Slot& slot = pipe.At(index);
    const CURSORINFO* cursor = m_bDrawCursor ? &m_cursor : nullptr;
    if (slot.grabber) {
        // One copy into the buffer's own picture, whose rows the writer takes as they are.
        if (!slot.grabber->Grab(cursor))
            return Outcome::Refusal(kScreenNotCopied);
        slot.header = &slot.grabber->Header();
        slot.bits = slot.grabber->Bits();
        return Outcome();
    }
    const ScreenPicture frame = GrabScreenRect(m_rcArea, cursor);
    if (!frame.bitmap)
        return Outcome::Refusal(kScreenNotCopied);
    // At the display's depth, with its colour table: 32 bits where the coder takes it.
    slot.dib = BitmapToFrameDib(frame.bitmap, BI_RGB, nullptr, m_bCompress ? 32 : 0);
    if (!slot.dib)
        return Outcome::Of(Outcome::Kind::OutOfMemory);
    slot.header = slot.dib.Get();
    slot.bits = reinterpret_cast<const BYTE*>(slot.dib.Get()) + FrameFormatSize(*slot.dib.Get());
    return Outcome();
}

int CRecorder::Part() const
{
    return m_pPipe ? m_pPipe->Part() : 0;
}

Outcome CRecorder::CollectLate()
{
    Outcome failure;
    for (auto late = m_late.begin(); late != m_late.end();) {
        if (!(*late)->Ended()) {
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
    // The writer that failed has said why.
    if (m_nFramesLeft <= 0 || !m_pPipe || m_pPipe->GaveUp())
        return Stop();
    const int slot = m_pPipe->TakeOrRepeat();
    if (slot < 0) {
        ++m_nRepeats;  // the writer is behind: this frame repeats the one before
    } else {
        const Outcome grabbed = Grab(*m_pPipe, slot);
        if (!grabbed.IsDone()) {
            m_pPipe->PutBack(slot);
            m_ended = grabbed;
            return Stop();
        }
        m_pPipe->Give(slot);
    }
    if (--m_nFramesLeft <= 0)
        return Stop();
    m_dwFrameDue += static_cast<DWORD>(m_nFrameInterval);
    ::SetTimer(m_hTimerWindow, IDT_RECORD, NextTickDelay(m_dwFrameDue, ::GetTickCount()), nullptr);
    return Outcome::Of(Outcome::Kind::Nothing);
}

Outcome CRecorder::Stop()
{
    if (m_bWaiting)
        return Outcome::Of(Outcome::Kind::Nothing);
    if (m_hTimerWindow)
        ::KillTimer(m_hTimerWindow, IDT_RECORD);
    const Outcome late = CollectLate();
    if (!m_pPipe)
        return late.IsDone() ? Outcome::Of(Outcome::Kind::Nothing) : late;
    // The frames taken are written and the files completed first: the last bytes may fail to
    // go out too.
    m_pPipe->EndOfFrames();
    m_bWaiting = true;
    const bool ended = m_pPipe->Wait(m_dwCompletionBoundMs);
    m_bWaiting = false;
    Outcome files = m_pPipe->Failure();
    int frames = 0;
    if (!ended) {
        if (files.IsDone())
            files = Outcome::Refusal(StillCompleting(m_pPipe->CurrentFile()));
        m_late.push_back(std::move(m_pPipe));
    } else {
        files = m_pPipe->Result();
        frames = m_pPipe->Frames();
        m_pPipe.reset();
    }
    Outcome outcome = !late.IsDone() ? late : files;
    if (outcome.IsDone())
        outcome = m_ended;
    if (outcome.IsDone() && frames == 0)
        outcome = Outcome::Of(Outcome::Kind::Nothing);  // no file was made: nothing to hear
    if (outcome.IsDone() && m_nRepeats > 0)
        outcome = Outcome::Of(Outcome::Kind::Cut, RepeatedFramesNote(m_nRepeats, frames));
    m_nFramesLeft = 0;
    return outcome;
}

void CRecorder::EndForSessionEnd()
{
    if (!m_bWaiting)
        Stop();
    // Else the end of the session came among the messages that the wait for the files answers:
    // the recording is ending already, and its writer is among those waited for here.
    const bool waiting = m_bWaiting;
    m_bWaiting = true;
    if (m_pPipe)
        m_pPipe->Wait(m_dwCompletionBoundMs);
    for (const std::unique_ptr<CFramePipe>& late : m_late)
        late->Wait(m_dwCompletionBoundMs);
    m_bWaiting = waiting;
}
