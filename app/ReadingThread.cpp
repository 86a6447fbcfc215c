#include "app/ReadingThread.h"

#include "capture/ReadingWatch.h"
#include "capture/TextReader.h"
#include "framework/Handles.h"
#include "ui/ReadingProgressDlg.h"

#include <memory>
#include <optional>

namespace {
using CThreadHandle = CHandleOwner<HANDLE, &::CloseHandle>;

// The thread of one reading. However the scope that made it is left, the reading is asked to
// stop and the thread is waited for: nothing it writes to outlives it.
class CReadingThread
{
public:
    CReadingThread(HWND control, std::string& text, CReadingWatch& watch)
        : m_hControl(control), m_text(text), m_watch(watch)
    {
        m_thread.Reset(::CreateThread(nullptr, 0, &CReadingThread::Run, this, 0, nullptr));
    }
    ~CReadingThread()
    {
        if (!m_thread)
            return;
        m_watch.Stop();
        ::WaitForSingleObject(m_thread, INFINITE);
    }
    CReadingThread(const CReadingThread&) = delete;
    CReadingThread& operator=(const CReadingThread&) = delete;

    bool Started() const { return static_cast<bool>(m_thread); }
    HANDLE Handle() const { return m_thread; }
    // Once the thread has ended.
    const ReadResult& Result() const { return m_result; }

private:
    static DWORD WINAPI Run(void* self)
    {
        auto* reading = static_cast<CReadingThread*>(self);
        reading->m_result = ReadControlText(reading->m_hControl, reading->m_text, &reading->m_watch);
        return 0;
    }

    HWND m_hControl;
    std::string& m_text;
    CReadingWatch& m_watch;
    ReadResult m_result;
    CThreadHandle m_thread;
};
}  // namespace

ReadResult ReadShowingProgress(HWND control, std::string& text, HWND owner)
{
    CReadingWatch watch;
    CReadingThread reading(control, text, watch);
    if (!reading.Started())
        return ReadControlText(control, text);

    const ULONGLONG showAt = ::GetTickCount64() + kProgressAfterMs;
    std::unique_ptr<CReadingProgressDlg> progress;
    std::optional<int> quit;
    const HANDLE thread = reading.Handle();
    for (;;) {
        const ULONGLONG now = ::GetTickCount64();
        if (!progress && now >= showAt) {
            progress = std::make_unique<CReadingProgressDlg>(watch, owner);
            if (!progress->Show())
                progress.reset();
        }
        // The window, once shown, follows the reading from its own timer.
        const DWORD wait = progress || now >= showAt ? INFINITE : static_cast<DWORD>(showAt - now);
        const DWORD woke = ::MsgWaitForMultipleObjectsEx(1, &thread, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED)
            break;
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = static_cast<int>(msg.wParam);
                watch.Stop();
                continue;
            }
            if (progress && progress->TakeKeys(msg))
                continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    progress.reset();
    if (quit)
        ::PostQuitMessage(*quit);
    // WAIT_FAILED too: the destructor's wait is the one that holds.
    ::WaitForSingleObject(thread, INFINITE);
    return reading.Result();
}
