#include "support/Process.h"

#include "resource.h"

#include <tlhelp32.h>

namespace testing_support {

namespace {
const char kInstanceMutexName[] = "{6F1C03B2-5A7E-4c21-9E44-2B7D90C1A358}";
// The program under either of its names.
const char* const kPixletExes[] = {"Pixlet32.exe", "Pixlet64.exe"};

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
    if ((data->pid == 0 || pid == data->pid) && (!data->className || ClassNameOf(hwnd) == data->className))
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

CShortRun RunToItsEnd(const std::string& exePath, const std::string& arguments)
{
    CShortRun run;
    CProcess process;
    if (!process.Start(exePath, arguments))
        return run;
    run.ended = WaitUntil(
        [&] {
            for (HWND hwnd : TopLevelWindows(process.Pid()))
                run.sawWindow = run.sawWindow || ::IsWindowVisible(hwnd) || ClassNameOf(hwnd) == "#32770";
            return !process.IsRunning();
        },
        10000, 1);
    process.WaitForExit(0, &run.exitCode);
    return run;
}

std::string PixletPath()
{
    return BuildDirectory() + "Pixlet32.exe";
}

std::string CompanionPath()
{
    return BuildDirectory() + "Pixlet64.exe";
}

CPixlet::~CPixlet()
{
    // Leave no instance behind for the next test: Exit first, so the tray icon goes too.
    if (IsRunning())
        Exit(5000);
}

bool CPixlet::Start(const std::string& exePath)
{
    return CProcess::Start(exePath);
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
        ::PostMessageA(m_hMain, WM_COMMAND, ID_EXIT, 0);
    return WaitForExit(timeoutMs);
}

std::vector<DWORD> ProcessesNamed(const char* exeName)
{
    std::vector<DWORD> found;
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return found;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot, &entry); more; more = ::Process32Next(snapshot, &entry))
        if (::lstrcmpiA(entry.szExeFile, exeName) == 0)
            found.push_back(entry.th32ProcessID);
    ::CloseHandle(snapshot);
    return found;
}

bool IsInstanceMutexFree()
{
    const HANDLE mutex = ::OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, kInstanceMutexName);
    if (!mutex)
        return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    // Taken at once if its holder is gone; taking an abandoned mutex also clears that state,
    // which a new instance would read as another one running.
    const DWORD wait = ::WaitForSingleObject(mutex, 0);
    const bool free = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    if (free)
        ::ReleaseMutex(mutex);
    ::CloseHandle(mutex);
    return free;
}

int EndRunningPixlets(DWORD timeoutMs)
{
    int ended = 0;
    bool allGone = true;
    std::vector<DWORD> running;
    for (const char* name : kPixletExes)
        for (DWORD pid : ProcessesNamed(name))
            running.push_back(pid);
    for (DWORD pid : running) {
        const HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
        if (!process)
            continue;  // ended meanwhile
        ::TerminateProcess(process, 99);
        if (::WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0)
            ++ended;
        else
            allGone = false;
        ::CloseHandle(process);
    }
    if (!allGone || !WaitUntil(IsInstanceMutexFree, timeoutMs))
        return -1;
    return ended;
}

}  // namespace testing_support
