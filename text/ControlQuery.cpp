#include "text/ControlQuery.h"

void CControlQuery::Fail(CutReason reason)
{
    if (m_bFailed)
        return;
    m_bFailed = true;
    m_failure = reason;
}

bool CControlQuery::Deliver(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result, bool wide,
                            bool* didNotFit)
{
    if (m_bFailed)
        return false;
    if (m_pSink && m_pSink->StopAsked()) {
        Fail(CutReason::Stopped);
        return false;
    }
    DWORD_PTR answer = 0;
    ::SetLastError(ERROR_SUCCESS);
    const LRESULT sent =
        wide ? ::SendMessageTimeoutW(window, msg, wParam, lParam, SMTO_ABORTIFHUNG, kControlQueryTimeoutMs, &answer)
             : ::SendMessageTimeoutA(window, msg, wParam, lParam, SMTO_ABORTIFHUNG, kControlQueryTimeoutMs, &answer);
    if (sent) {
        if (result)
            *result = static_cast<LRESULT>(answer);
        return true;
    }
    const DWORD error = ::GetLastError();
    if (!::IsWindow(window))
        Fail(CutReason::Closed);
    else if (didNotFit && error != ERROR_TIMEOUT && error != WAIT_TIMEOUT)
        *didNotFit = true;
    else
        Fail(CutReason::NotAnswering);
    return false;
}

CControlQuery::TextAnswer CControlQuery::SendForText(UINT msg, WPARAM wParam, wchar_t* buffer, LRESULT* result)
{
    bool didNotFit = false;
    if (Deliver(m_hControl, msg, wParam, reinterpret_cast<LPARAM>(buffer), result, true, &didNotFit))
        return TextAnswer::Given;
    return didNotFit ? TextAnswer::DidNotFit : TextAnswer::Failed;
}

wchar_t* CGuardedText::Room(size_t chars)
{
    const size_t bytes = chars * sizeof(wchar_t);
    if (bytes > m_nBytes || !m_block) {
        SYSTEM_INFO system = {};
        ::GetSystemInfo(&system);
        const size_t page = system.dwPageSize;
        const size_t accessible = (bytes + page - 1) / page * page;
        m_block.Reset();
        m_nBytes = 0;
        if (accessible > SIZE_MAX - page)
            return nullptr;
        m_block.Reset(::VirtualAlloc(nullptr, accessible + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD previous = 0;
        char* guard = static_cast<char*>(m_block.Get()) + accessible;
        if (!m_block || !::VirtualProtect(guard, page, PAGE_NOACCESS, &previous)) {
            m_block.Reset();
            return nullptr;
        }
        m_nBytes = accessible;
    }
    return reinterpret_cast<wchar_t*>(static_cast<char*>(m_block.Get()) + m_nBytes - bytes);
}
