// Answers the next message box that this process (or another) shows, from a thread of its own,
// and keeps what it said: tests of code that reports through a modal box.
#pragma once

#include <windows.h>

#include <string>
#include <thread>

namespace testing_support {

class CMessageBoxWatcher
{
public:
    // Presses the button with this id (IDOK, IDYES...) of the first box that appears in the
    // process (0: this one).
    explicit CMessageBoxWatcher(int button = IDOK, DWORD pid = 0);
    ~CMessageBoxWatcher();
    CMessageBoxWatcher(const CMessageBoxWatcher&) = delete;
    CMessageBoxWatcher& operator=(const CMessageBoxWatcher&) = delete;

    // Waits for the watcher to finish; true if it found and answered a box.
    bool Wait(DWORD timeoutMs = 10000);

    std::string m_caption;
    std::string m_text;
    HICON m_hIcon = nullptr;  // this process's boxes: compare with LoadIcon(nullptr, IDI_EXCLAMATION)...

private:
    void Run(int button, DWORD pid);
    std::thread m_thread;
    HANDLE m_hDone;
    volatile bool m_bStop = false;
    bool m_bFound = false;
};

}  // namespace testing_support
