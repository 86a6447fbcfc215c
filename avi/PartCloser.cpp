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
    return m_worker.WaitAnsweringThroughQuit(waitMs);
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
