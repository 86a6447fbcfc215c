#include "framework/WorkerThread.h"

CStopToken::CStopToken() : m_event(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

void CStopToken::RequestStop()
{
    m_bStop.store(true);
    if (m_event)
        ::SetEvent(m_event);
}

CWorkerThread::CWorkerThread(Work work) : m_work(std::move(work))
{
    m_thread.Reset(::CreateThread(nullptr, 0, &CWorkerThread::Run, this, 0, nullptr));
}

CWorkerThread::~CWorkerThread()
{
    if (!m_thread)
        return;
    RequestStop();
    ::WaitForSingleObject(m_thread, INFINITE);
}

DWORD WINAPI CWorkerThread::Run(void* self)
{
    auto* worker = static_cast<CWorkerThread*>(self);
    try {
        worker->m_work(worker->m_stop);
    } catch (...) {
        // Ending the process from here would take the user's other work with it.
        worker->m_bFailed.store(true);
    }
    return 0;
}

bool CWorkerThread::Ended() const
{
    return !m_thread || ::WaitForSingleObject(m_thread, 0) == WAIT_OBJECT_0;
}

bool CWorkerThread::Wait(DWORD timeoutMs) const
{
    return !m_thread || ::WaitForSingleObject(m_thread, timeoutMs) == WAIT_OBJECT_0;
}

PumpEnd CWorkerThread::WaitAnswering(DWORD timeoutMs, int* quitCode) const
{
    if (!m_thread)
        return PumpEnd::Signalled;
    return PumpMessagesUntil(m_thread, timeoutMs, quitCode);
}

bool CWorkerThread::WaitAnsweringThroughQuit(DWORD timeoutMs) const
{
    int quitCode = 0;
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    const PumpEnd end = WaitAnswering(timeoutMs, &quitCode);
    if (end != PumpEnd::Quit)
        return end == PumpEnd::Signalled;
    const ULONGLONG now = ::GetTickCount64();
    const bool ended = Wait(timeoutMs == INFINITE ? INFINITE : now >= deadline ? 0 : static_cast<DWORD>(deadline - now));
    ::PostQuitMessage(quitCode);
    return ended;
}
