#include "avi/PartCloser.h"

namespace {
// The library and COM for the thread that uses the library's objects, for as long as it does.
class CAviLibraryScope
{
public:
    CAviLibraryScope() { ::AVIFileInit(); }
    ~CAviLibraryScope() { ::AVIFileExit(); }
    CAviLibraryScope(const CAviLibraryScope&) = delete;
    CAviLibraryScope& operator=(const CAviLibraryScope&) = delete;
};

DWORD Remaining(ULONGLONG deadline)
{
    const ULONGLONG now = ::GetTickCount64();
    return now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
}
}  // namespace

CPartCloser::CPartCloser(std::unique_ptr<CAviWriter> writer)
    : m_pWriter(std::move(writer)),
      m_strFileName(m_pWriter->FileName()),
      m_worker([this](const CStopToken&) {
          // A completion is not stopped half-way: the stop asked by the owner's end waits for it.
          CAviLibraryScope library;
          m_pWriter->Close();
      })
{
    // Without a thread the part is completed here, while the recording waits.
    if (!m_worker.Started())
        m_pWriter->Close();
}

CPartCloser::~CPartCloser()
{
    Wait(INFINITE);
}

bool CPartCloser::Wait(DWORD waitMs)
{
    int quitCode = 0;
    const ULONGLONG deadline = ::GetTickCount64() + waitMs;
    PumpEnd end = m_worker.WaitAnswering(waitMs, &quitCode);
    if (end == PumpEnd::Quit) {
        // The program is ending: the rest of the wait answers nothing, and the quit goes on.
        end = m_worker.Wait(waitMs == INFINITE ? INFINITE : Remaining(deadline)) ? PumpEnd::Signalled
                                                                                 : PumpEnd::TimedOut;
        ::PostQuitMessage(quitCode);
    }
    return end == PumpEnd::Signalled;
}

const Outcome& CPartCloser::Result()
{
    if (m_pWriter && IsComplete()) {
        // A completion that ended by an exception (memory) did not complete the file.
        m_outcome = m_worker.Failed() ? Outcome::Of(Outcome::Kind::OutOfMemory) : m_pWriter->Failure();
        m_pWriter.reset();
    }
    return m_outcome;
}
