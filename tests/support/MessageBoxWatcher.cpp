#include "support/MessageBoxWatcher.h"

#include "support/Process.h"

namespace testing_support {

namespace {
// A message box is a visible dialog with its text in a static of id 0xFFFF.
HWND FindMessageBox(DWORD pid)
{
    for (HWND hwnd : TopLevelWindows(pid, "#32770"))
        if (::IsWindowVisible(hwnd) && ::GetDlgItem(hwnd, 0xFFFF))
            return hwnd;
    return nullptr;
}
}  // namespace

CMessageBoxWatcher::CMessageBoxWatcher(int button, DWORD pid) : m_hDone(::CreateEventA(nullptr, TRUE, FALSE, nullptr))
{
    m_thread = std::thread([this, button, pid] { Run(button, pid ? pid : ::GetCurrentProcessId()); });
}

CMessageBoxWatcher::~CMessageBoxWatcher()
{
    m_bStop = true;
    if (m_thread.joinable())
        m_thread.join();
    ::CloseHandle(m_hDone);
}

bool CMessageBoxWatcher::Wait(DWORD timeoutMs)
{
    ::WaitForSingleObject(m_hDone, timeoutMs);
    return m_bFound;
}

void CMessageBoxWatcher::Run(int button, DWORD pid)
{
    const DWORD start = ::GetTickCount();
    while (!m_bStop && ::GetTickCount() - start < 10000) {
        if (const HWND box = FindMessageBox(pid)) {
            m_caption = TextOf(box);
            char text[1024] = "";
            ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            m_text = text;
            // The box's icon is a static showing an icon (the only one with SS_ICON).
            for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
                if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                    m_hIcon = reinterpret_cast<HICON>(::SendMessageA(child, STM_GETICON, 0, 0));
            ::PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
            m_bFound = true;
            break;
        }
        ::Sleep(10);
    }
    ::SetEvent(m_hDone);
}

}  // namespace testing_support
