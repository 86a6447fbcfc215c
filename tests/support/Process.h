// Starting the real Pixlet32.exe from a test and finding its windows, with a time-out on every
// wait, so that no test can hang the suite and no test leaves the program running.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// Polls until the condition holds or the time-out passes; true if it held.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs = 10);

// The directory of the running test program (the build directory), with a trailing backslash.
std::string BuildDirectory();

// Top-level windows of a process; with a class name, only those of that class.
std::vector<HWND> TopLevelWindows(DWORD pid, const char* className = nullptr);  // pid 0: of any process
std::string ClassNameOf(HWND hwnd);
std::string TextOf(HWND hwnd);

// A started Windows program, ended (and if need be killed) when the object goes.
class CProcess
{
public:
    CProcess() = default;
    ~CProcess();
    CProcess(const CProcess&) = delete;
    CProcess& operator=(const CProcess&) = delete;

    bool Start(const std::string& exePath, const std::string& arguments = "");
    DWORD Pid() const { return m_info.dwProcessId; }
    HANDLE Handle() const { return m_info.hProcess; }
    bool IsRunning() const;
    // True when it ended within the time; the exit code is then in *exitCode.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr) const;
    void Kill();

private:
    PROCESS_INFORMATION m_info = {};
};

// A program started and waited for until it ends by itself (within 10 s): whether it did, its
// exit code, and whether it showed or made a dialog meanwhile.
struct CShortRun {
    bool ended = false;
    DWORD exitCode = 0;
    bool sawWindow = false;
};
CShortRun RunToItsEnd(const std::string& exePath, const std::string& arguments = "");

// The program, and its 64-bit companion beside it.
std::string PixletPath();
std::string CompanionPath();

// Pixlet32.exe of this build (or another copy of the program), started and driven as a user would.
class CPixlet : public CProcess
{
public:
    ~CPixlet();
    bool Start(const std::string& exePath);
    bool Start() { return Start(PixletPath()); }
    // The hidden main dialog, once the program has made it; null after the time-out.
    HWND WaitForMainWindow(DWORD timeoutMs = 10000);
    HWND MainWindow() const { return m_hMain; }
    // The tray menu's Exit, then a wait for the process to end; false if it did not.
    bool Exit(DWORD timeoutMs = 10000);

private:
    HWND m_hMain = nullptr;
};

// The ids of the running processes whose program file has this name (in any case), in this
// session: under Wine, those of the prefix.
std::vector<DWORD> ProcessesNamed(const char* exeName);

// Whether Pixlet32's single-instance mutex is free, so that a new start would run: nobody has
// it, or it was left by a process that ended without giving it back.
bool IsInstanceMutexFree();

// Ends every Pixlet32.exe and Pixlet64.exe that runs (TerminateProcess) and waits until each
// is gone and the mutex is free; the number ended, or -1 when one did not go within the time.
int EndRunningPixlets(DWORD timeoutMs = 10000);

}  // namespace testing_support
