// Messages to one control of any process, each with a time-out.
#pragma once

#include <windows.h>

// How long one query may wait for another program's control. A program that does not answer
// in time ends the reading; what was gathered until then is kept.
const UINT kControlQueryTimeoutMs = 3000;

// Sends queries to one control. Once the control has failed to answer, every later query fails
// at once: a hung program costs one time-out, not one per item.
class CControlQuery
{
public:
    explicit CControlQuery(HWND control) : m_hControl(control) {}
    CControlQuery(const CControlQuery&) = delete;
    CControlQuery& operator=(const CControlQuery&) = delete;

    bool Send(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr)
    {
        return Deliver(msg, wParam, lParam, result, false);
    }
    // The wide form, for messages whose buffers the system carries between processes.
    bool SendWide(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr)
    {
        return Deliver(msg, wParam, lParam, result, true);
    }

private:
    bool Deliver(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result, bool wide)
    {
        if (m_bGaveUp)
            return false;
        DWORD_PTR answer = 0;
        const LRESULT sent =
            wide ? ::SendMessageTimeoutW(m_hControl, msg, wParam, lParam, SMTO_ABORTIFHUNG, kControlQueryTimeoutMs, &answer)
                 : ::SendMessageTimeoutA(m_hControl, msg, wParam, lParam, SMTO_ABORTIFHUNG, kControlQueryTimeoutMs, &answer);
        if (!sent) {
            m_bGaveUp = true;
            return false;
        }
        if (result)
            *result = static_cast<LRESULT>(answer);
        return true;
    }

    HWND m_hControl;
    bool m_bGaveUp = false;
};
