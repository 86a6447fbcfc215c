// The completion of a full part of a recording on a thread of its own, while the next part
// records: the AVIFile library completes a file when it is released, and for a file near 2 GB
// that takes a second and more (measured under Wine), which the recording's timer must not wait
// for. The writer itself is destroyed on the thread that made the closer, once its file is
// complete: the library's AVIFileExit must balance the AVIFileInit of that thread.
#pragma once

#include "avi/AviWriter.h"
#include "framework/Handles.h"
#include "framework/Outcome.h"

#include <windows.h>

#include <memory>

class CPartCloser
{
public:
    explicit CPartCloser(std::unique_ptr<CAviWriter> writer);
    ~CPartCloser() { Finish(); }
    CPartCloser(const CPartCloser&) = delete;
    CPartCloser& operator=(const CPartCloser&) = delete;

    // Waits until the part is complete: Done, or why its file is not (the same each time asked).
    const Outcome& Finish();

private:
    static DWORD WINAPI Run(void* self);

    std::unique_ptr<CAviWriter> m_pWriter;
    CHandleOwner<HANDLE, &::CloseHandle> m_thread;
    Outcome m_outcome;
};
