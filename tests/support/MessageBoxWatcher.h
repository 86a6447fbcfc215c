// Answers the next message box that this process shows, from a thread of its own, and keeps
// what it said: tests of code that reports through a modal box.
#pragma once

#include <windows.h>

#include <string>
#include <thread>

namespace testing_support {

class CMessageBoxWatcher
{
public:
    // Presses the button with this id (IDOK, IDYES...) of the first box that appears.
    explicit CMessageBoxWatcher(int button = IDOK);
    ~CMessageBoxWatcher();
    CMessageBoxWatcher(const CMessageBoxWatcher&) = delete;
    CMessageBoxWatcher& operator=(const CMessageBoxWatcher&) = delete;

    // Waits for the watcher to finish; true if it found and answered a box.
    bool Wait(DWORD timeoutMs = 10000);

    std::string m_caption;
    std::string m_text;
    HICON m_hIcon = nullptr;  // compare with LoadIcon(nullptr, IDI_EXCLAMATION) and the like

private:
    void Run(int button);
    std::thread m_thread;
    HANDLE m_hDone;
    volatile bool m_bStop = false;
    bool m_bFound = false;
};

}  // namespace testing_support
