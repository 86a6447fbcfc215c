#include "MessageBoxWatcher.h"

namespace {
struct Search {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindBox(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    char cls[32] = "";
    ::GetClassNameA(hwnd, cls, sizeof cls);
    // A message box is a dialog with its text in a static of id 0xFFFF.
    if (pid == search->pid && ::IsWindowVisible(hwnd) && std::string(cls) == "#32770" &&
        ::GetDlgItem(hwnd, 0xFFFF)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

CMessageBoxWatcher::CMessageBoxWatcher(int button) : m_hDone(::CreateEventA(nullptr, TRUE, FALSE, nullptr))
{
    m_thread = std::thread([this, button] { Run(button); });
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

void CMessageBoxWatcher::Run(int button)
{
    const DWORD start = ::GetTickCount();
    Search search = {::GetCurrentProcessId(), nullptr};
    while (!m_bStop && ::GetTickCount() - start < 10000) {
        ::EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            char text[1024] = "";
            ::GetWindowTextA(search.found, text, sizeof text);
            m_caption = text;
            ::GetDlgItemTextA(search.found, 0xFFFF, text, sizeof text);
            m_text = text;
            // The box's icon is a static showing an icon (the only one with SS_ICON).
            for (HWND child = ::GetWindow(search.found, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
                if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                    m_hIcon = reinterpret_cast<HICON>(::SendMessageA(child, STM_GETICON, 0, 0));
            ::PostMessageA(search.found, WM_COMMAND, static_cast<WPARAM>(button), 0);
            m_bFound = true;
            break;
        }
        ::Sleep(10);
    }
    ::SetEvent(m_hDone);
}
