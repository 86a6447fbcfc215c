#include "support/Process.h"

namespace testing_support {

namespace {
const UINT kExitCommand = 32771;  // the tray menu's Exit

struct EnumData {
    DWORD pid;
    const char* className;
    std::vector<HWND>* found;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM param)
{
    auto* data = reinterpret_cast<EnumData*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid == data->pid && (!data->className || ClassNameOf(hwnd) == data->className))
        data->found->push_back(hwnd);
    return TRUE;
}
}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (::GetTickCount() - start >= timeoutMs)
            return false;
        ::Sleep(pollMs);
    }
}

std::string BuildDirectory()
{
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    return dir.substr(0, dir.find_last_of('\\') + 1);
}

std::vector<HWND> TopLevelWindows(DWORD pid, const char* className)
{
    std::vector<HWND> found;
    EnumData data = {pid, className, &found};
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&data));
    return found;
}

std::string ClassNameOf(HWND hwnd)
{
    char name[256] = "";
    ::GetClassNameA(hwnd, name, sizeof name);
    return name;
}

std::string TextOf(HWND hwnd)
{
    char text[1024] = "";
    ::GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

CProcess::~CProcess()
{
    Kill();
}

bool CProcess::Start(const std::string& exePath, const std::string& arguments)
{
    std::string command = "\"" + exePath + "\"";
    if (!arguments.empty())
        command += " " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return ::CreateProcessA(exePath.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &m_info) != FALSE;
}

bool CProcess::IsRunning() const
{
    return m_info.hProcess && ::WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT;
}

bool CProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode) const
{
    if (!m_info.hProcess || ::WaitForSingleObject(m_info.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    if (exitCode)
        ::GetExitCodeProcess(m_info.hProcess, exitCode);
    return true;
}

void CProcess::Kill()
{
    if (!m_info.hProcess)
        return;
    if (IsRunning()) {
        ::TerminateProcess(m_info.hProcess, 99);
        ::WaitForSingleObject(m_info.hProcess, 5000);
    }
    ::CloseHandle(m_info.hThread);
    ::CloseHandle(m_info.hProcess);
    m_info = PROCESS_INFORMATION{};
}

std::string PixletPath()
{
    return BuildDirectory() + "Pixlet32.exe";
}

CPixlet::~CPixlet()
{
    // Leave no instance behind for the next test: Exit first, so the tray icon goes too.
    if (IsRunning())
        Exit(5000);
}

bool CPixlet::Start()
{
    return CProcess::Start(PixletPath());
}

HWND CPixlet::WaitForMainWindow(DWORD timeoutMs)
{
    WaitUntil(
        [this] {
            const auto dialogs = TopLevelWindows(Pid(), "#32770");
            m_hMain = dialogs.empty() ? nullptr : dialogs.front();
            return m_hMain != nullptr;
        },
        timeoutMs);
    return m_hMain;
}

bool CPixlet::Exit(DWORD timeoutMs)
{
    if (!m_hMain)
        WaitForMainWindow(timeoutMs);
    if (m_hMain)
        ::PostMessageA(m_hMain, WM_COMMAND, kExitCommand, 0);
    return WaitForExit(timeoutMs);
}

}  // namespace testing_support
