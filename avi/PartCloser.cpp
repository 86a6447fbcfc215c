#include "avi/PartCloser.h"

CPartCloser::CPartCloser(std::unique_ptr<CAviWriter> writer) : m_pWriter(std::move(writer))
{
    m_thread.Reset(::CreateThread(nullptr, 0, &CPartCloser::Run, this, 0, nullptr));
}

DWORD WINAPI CPartCloser::Run(void* self)
{
    static_cast<CPartCloser*>(self)->m_pWriter->Close();
    return 0;
}

const Outcome& CPartCloser::Finish()
{
    if (!m_pWriter)
        return m_outcome;
    if (m_thread)
        ::WaitForSingleObject(m_thread.Get(), INFINITE);
    else
        m_pWriter->Close();  // no thread to be had: the close is waited for here
    m_thread.Reset();
    m_outcome = m_pWriter->Failure();
    m_pWriter.reset();
    return m_outcome;
}
