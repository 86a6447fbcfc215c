// The application object: one per process, constructed as a static object. It owns the message
// loop, names the program (the executable's file name without extension) and keeps its profile
// under HKEY_CURRENT_USER\Software\<registry key>\<application name>.
#pragma once

#include <windows.h>

#include <string>

class CWindowBase;

class CWinApp
{
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // FALSE ends the process before the message loop starts.
    virtual BOOL InitInstance() { return TRUE; }
    // Its result is the process exit code.
    virtual int ExitInstance();

    // Runs the message loop until the main window is destroyed; returns ExitInstance().
    int Run();
    // The entry point's work: InitInstance, then Run, or ExitInstance when InitInstance failed.
    // The arguments are the command line without the program's name, as WinMain gets them.
    int Main(HINSTANCE hInstance, const char* arguments = "");

    // The profile then lives in the registry under this company key.
    void SetRegistryKey(const char* company);
    // Reads a REG_DWORD value of a section; the default when it is missing or unreadable.
    UINT GetProfileInt(const char* section, const char* entry, int defaultValue) const;
    BOOL WriteProfileInt(const char* section, const char* entry, int value);
    // A REG_SZ value of a section, in UTF-8: false when it is missing, of another type, or
    // longer than `maxLength` characters (UTF-16 units, as the system counts a path).
    bool GetProfileString(const char* section, const char* entry, std::string& value, size_t maxLength) const;
    BOOL WriteProfileString(const char* section, const char* entry, const std::string& value);
    // A REG_BINARY value of exactly `size` bytes: false when it is missing, of another type or
    // of another size.
    bool GetProfileBinary(const char* section, const char* entry, void* data, DWORD size) const;
    BOOL WriteProfileBinary(const char* section, const char* entry, const void* data, DWORD size);

    HINSTANCE m_hInstance = nullptr;
    std::string m_strArguments;  // of the command line, without the program's name
    std::string m_strAppName;
    std::string m_strRegistryKey;
    CWindowBase* m_pMainWnd = nullptr;

protected:
    // What ExitInstance returns, for a program that ends without running its loop.
    void SetExitCode(int code) { m_nExitCode = code; }

private:
    std::string ProfileKeyPath(const char* section) const;
    // The value of the entry if it has this type and fits `size` bytes; its size then in `size`.
    bool QueryProfileValue(const char* section, const char* entry, DWORD type, void* data, DWORD& size) const;
    BOOL SetProfileValue(const char* section, const char* entry, DWORD type, const void* data, DWORD size);

    int m_nExitCode = 0;
};

// The one application object, or null (in tests).
CWinApp* GetApp();
// The module whose resources the program uses.
HINSTANCE GetAppInstance();
// The application's main window, or null.
HWND GetAppMainWindow();
// The caption of the program's message boxes: the application name.
const char* GetAppName();
