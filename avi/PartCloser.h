// The completion of a full part of a recording on a thread of its own, while the next part
// records: the AVIFile library completes a file when it is released, and for a file near 2 GB
// that takes a second and more (measured under Wine), which the recording's timer must not wait
// for. The thread initialises the library (and with it COM, which the library's objects need)
// for itself. The writer is destroyed on the thread that made the closer, once its file is
// complete: the library's AVIFileExit must balance the AVIFileInit of that thread.
#pragma once

#include "avi/AviWriter.h"
#include "framework/Outcome.h"
#include "framework/WorkerThread.h"

#include <windows.h>

#include <memory>
#include <string>

// How long the recorder waits for a part to be completed before it tells the user and goes on
// without it (tests give less).
const DWORD kPartCompletionBoundMs = 15000;

class CPartCloser
{
public:
    explicit CPartCloser(std::unique_ptr<CAviWriter> writer);
    // Waits for the part, without a bound: a file is not left half-written. Its owner comes here
    // only once the part is complete or the program ends.
    ~CPartCloser();
    CPartCloser(const CPartCloser&) = delete;
    CPartCloser& operator=(const CPartCloser&) = delete;

    // Waits at most waitMs for the part, answering this thread's messages; whether it is
    // complete. A quit message that arrives meanwhile is posted again afterwards.
    bool Wait(DWORD waitMs);
    bool IsComplete() const { return m_worker.Ended(); }
    // Once complete: Done, or why its file is not.
    const Outcome& Result();
    const std::string& FileName() const { return m_strFileName; }

private:
    std::unique_ptr<CAviWriter> m_pWriter;
    std::string m_strFileName;
    Outcome m_outcome;
    CWorkerThread m_worker;  // declared last: started once the writer is in place
};
