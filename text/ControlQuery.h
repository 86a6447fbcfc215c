// Messages to one control of any process, each with a time-out, and what ended them.
#pragma once

#include "text/TextSink.h"
#include "framework/Handles.h"

#include <windows.h>

// How long one query may wait for another program's control. A program that does not answer
// in time ends the reading; what was gathered until then is kept.
const UINT kControlQueryTimeoutMs = 3000;

// Sends the queries of one reading to a control (and, where it reads them too, to its header).
// It keeps the first reason that ended them: the user's stop, asked of the sink before every
// query; a program that did not answer in time; a window that has gone; or one that the
// reading found elsewhere (memory of the program that could not be used). Once one is kept,
// every later query fails at once: a hung program costs one time-out, not one per item.
class CControlQuery
{
public:
    explicit CControlQuery(HWND control, CTextSink* sink = nullptr) : m_hControl(control), m_pSink(sink) {}
    CControlQuery(const CControlQuery&) = delete;
    CControlQuery& operator=(const CControlQuery&) = delete;

    HWND Control() const { return m_hControl; }
    bool Send(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr)
    {
        return Deliver(m_hControl, msg, wParam, lParam, result, false, nullptr);
    }
    // The wide form, for messages whose buffers the system carries between processes.
    bool SendWide(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr)
    {
        return Deliver(m_hControl, msg, wParam, lParam, result, true, nullptr);
    }
    // The same to another window that the reading asks too.
    bool SendTo(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr)
    {
        return Deliver(window, msg, wParam, lParam, result, false, nullptr);
    }
    enum class TextAnswer { Given, DidNotFit, Failed };
    // A text message whose buffer size the system does not carry (LB_GETTEXT, CB_GETLBTEXT),
    // into a buffer that ends where an inaccessible page begins (CGuardedText). A text that has
    // outgrown the buffer since its length was asked makes the system refuse to copy it: the
    // query then fails with the window still there and answering (DidNotFit), and the reading
    // may ask again.
    TextAnswer SendForText(UINT msg, WPARAM wParam, wchar_t* buffer, LRESULT* result);

    // Ends the queries for a reason the reading found itself; only the first reason is kept.
    void Fail(CutReason reason);
    bool Failed() const { return m_bFailed; }
    CutReason Failure() const { return m_failure; }

private:
    bool Deliver(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result, bool wide, bool* didNotFit);

    HWND m_hControl;
    CTextSink* m_pSink;
    bool m_bFailed = false;
    CutReason m_failure = CutReason::NotAnswering;
};

// Room for a text that the system copies into this process without knowing how much room there
// is: it ends at an inaccessible page, so that a longer text is refused (by the system, for a
// control of another process; by the control, LB_ERR, for one of this process: Wine's list box
// does so) instead of written over whatever lies beyond. Kept between texts; it grows as needed.
class CGuardedText
{
public:
    // `chars` characters, the terminator included, ending at the inaccessible page; null where
    // the memory cannot be had.
    wchar_t* Room(size_t chars);

private:
    CVirtualBlock m_block;
    size_t m_nBytes = 0;  // the accessible part
};
