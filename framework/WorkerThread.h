// The one owner of every thread the program starts besides its interface thread.
//
// The threads, and who waits for whom:
//   - the interface thread (WinMain's) runs the message loop and every window of the program.
//     It starts the workers below and waits for each, answering its messages meanwhile
//     (PumpMessagesUntil), so that no window of the program stops answering;
//   - a reading of another program's window text (app/ReadingThread) runs on a worker for one
//     text capture; the interface thread waits for it before the text is delivered, and asks
//     it to stop on Stop, Esc, or a quit message;
//   - a recording's frames are coded and written on a worker (avi/Recorder's writer), which
//     the interface thread hands them through a bounded queue at each tick and never waits for
//     meanwhile. When the recording ends the recorder waits for it, answering messages, at most
//     15 s, while it writes the frames queued and completes the files. One that takes longer
//     (the user is told) stays with the recorder, which looks at it again at each stop and, when
//     the program ends, waits for it without a bound (a file is not left half-written); at the
//     end of the session it waits once more within the bound;
//   - a full part of a recording is completed on a worker (avi/PartCloser) while the next part
//     records; the writer waits for it before it hands over the next full part (at most 15 s: a
//     part that takes longer ends the recording) and, without a bound, before it ends.
// A worker waits for nobody but the workers it starts itself (the writer for a part being
// completed): it ends when its work is done or when it is asked to stop.
#pragma once

#include "framework/Handles.h"
#include "framework/MessagePump.h"

#include <windows.h>

#include <atomic>
#include <functional>

// What a worker's work is given to see whether its owner has asked it to stop: a flag to test
// between steps, and an event to wait on beside whatever else it waits for.
class CStopToken
{
public:
    CStopToken();
    CStopToken(const CStopToken&) = delete;
    CStopToken& operator=(const CStopToken&) = delete;

    bool StopRequested() const { return m_bStop.load(); }
    // Set once a stop is asked for (manual reset: it stays set).
    HANDLE Event() const { return m_event; }
    void RequestStop();

private:
    std::atomic<bool> m_bStop{false};
    CKernelHandle m_event;
};

class CWorkerThread
{
public:
    using Work = std::function<void(const CStopToken&)>;

    // Starts the work on a thread of its own; Started() says whether the system gave one.
    explicit CWorkerThread(Work work);
    // Asks the work to stop and waits until the thread has ended: on every path out of the
    // owner's scope, nothing the work uses goes before it.
    ~CWorkerThread();
    CWorkerThread(const CWorkerThread&) = delete;
    CWorkerThread& operator=(const CWorkerThread&) = delete;

    bool Started() const { return static_cast<bool>(m_thread); }
    void RequestStop() { m_stop.RequestStop(); }
    const CStopToken& StopToken() const { return m_stop; }
    // Whether the thread has ended (or never started).
    bool Ended() const;
    // Waits for the end without answering messages: for a thread of no window.
    bool Wait(DWORD timeoutMs = INFINITE) const;
    // Waits for the end answering this thread's messages (see PumpMessagesUntil).
    PumpEnd WaitAnswering(DWORD timeoutMs = INFINITE, int* quitCode = nullptr) const;
    // The same until a quit message comes: the program is ending, so the rest of the wait
    // answers nothing and the quit is posted again afterwards. Whether the thread has ended.
    bool WaitAnsweringThroughQuit(DWORD timeoutMs = INFINITE) const;
    // Whether the work ended by an exception it did not handle itself (it is then caught here).
    bool Failed() const { return m_bFailed.load(); }

private:
    static DWORD WINAPI Run(void* self);

    Work m_work;
    CStopToken m_stop;
    std::atomic<bool> m_bFailed{false};
    CKernelHandle m_thread;  // declared last: started once everything it uses is made
};
