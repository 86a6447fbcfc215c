#include "framework/App.h"

#include "framework/Handles.h"
#include "framework/MessagePump.h"
#include "framework/Unicode.h"
#include "framework/Wnd.h"

#include <commctrl.h>

#include <vector>

namespace {
CWinApp* g_pApp = nullptr;

std::string ModuleBaseName(HMODULE module)
{
    wchar_t path[MAX_PATH] = L"";
    ::GetModuleFileNameW(module, path, MAX_PATH);
    std::string name = Utf8(path);
    const size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}
}  // namespace

CWinApp::CWinApp()
{
    g_pApp = this;
    m_hInstance = ::GetModuleHandleW(nullptr);
    m_strAppName = ModuleBaseName(nullptr);
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

int CWinApp::ExitInstance()
{
    return m_nExitCode;
}

int CWinApp::Main(HINSTANCE hInstance, const char* arguments)
{
    m_hInstance = hInstance;
    m_strArguments = arguments ? arguments : "";
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    if (!InitInstance())
        return ExitInstance();
    return Run();
}

int CWinApp::Run()
{
    MSG msg;
    for (;;) {
        // Wide: a character typed into a dialog's edit reaches it whole, in any script.
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            m_nExitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (got == -1)
            break;
        DispatchThreadMessage(msg);
    }
    return ExitInstance();
}

void CWinApp::SetRegistryKey(const char* company)
{
    m_strRegistryKey = company;
}

std::string CWinApp::ProfileKeyPath(const char* section) const
{
    return "Software\\" + m_strRegistryKey + "\\" + m_strAppName + "\\" + section;
}

bool CWinApp::QueryProfileValue(const char* section, const char* entry, DWORD type, void* data, DWORD& size) const
{
    if (m_strRegistryKey.empty())
        return false;
    // Reading opens the key only: a first start leaves the registry as it was.
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, Widen(ProfileKeyPath(section)).c_str(), 0, KEY_QUERY_VALUE, &raw) !=
        ERROR_SUCCESS)
        return false;
    CRegKey key(raw);
    DWORD actual = 0;
    return ::RegQueryValueExW(key, Widen(entry).c_str(), nullptr, &actual, static_cast<BYTE*>(data), &size) ==
               ERROR_SUCCESS &&
           actual == type;
}

BOOL CWinApp::SetProfileValue(const char* section, const char* entry, DWORD type, const void* data, DWORD size)
{
    if (m_strRegistryKey.empty())
        return FALSE;
    HKEY raw = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, Widen(ProfileKeyPath(section)).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                          nullptr, &raw, nullptr) != ERROR_SUCCESS)
        return FALSE;
    CRegKey key(raw);
    return ::RegSetValueExW(key, Widen(entry).c_str(), 0, type, static_cast<const BYTE*>(data), size) ==
           ERROR_SUCCESS;
}

UINT CWinApp::GetProfileInt(const char* section, const char* entry, int defaultValue) const
{
    DWORD value = 0, size = sizeof value;
    if (!QueryProfileValue(section, entry, REG_DWORD, &value, size) || size != sizeof value)
        return static_cast<UINT>(defaultValue);
    return value;
}

BOOL CWinApp::WriteProfileInt(const char* section, const char* entry, int value)
{
    const DWORD data = static_cast<DWORD>(value);
    return SetProfileValue(section, entry, REG_DWORD, &data, sizeof data);
}

bool CWinApp::GetProfileString(const char* section, const char* entry, std::string& value, size_t maxLength) const
{
    // Read wide: the registry keeps REG_SZ as UTF-16, so a value written in any script (or by
    // the ANSI forms of earlier versions) arrives exactly. Room for one character more than
    // allowed, and for a terminator the value may lack: a longer value does not fit and is
    // refused. maxLength counts UTF-16 units, as the system counts a path.
    std::vector<wchar_t> text(maxLength + 2, L'\0');
    DWORD size = static_cast<DWORD>((text.size() - 1) * sizeof(wchar_t));
    if (!QueryProfileValue(section, entry, REG_SZ, text.data(), size))
        return false;
    text[size / sizeof(wchar_t)] = L'\0';
    const size_t length = static_cast<size_t>(::lstrlenW(text.data()));
    value = Utf8(text.data(), length);
    return length <= maxLength;
}

BOOL CWinApp::WriteProfileString(const char* section, const char* entry, const std::string& value)
{
    const std::wstring wide = Widen(value);
    return SetProfileValue(section, entry, REG_SZ, wide.c_str(), static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
}

bool CWinApp::GetProfileBinary(const char* section, const char* entry, void* data, DWORD size) const
{
    DWORD actual = size;
    return QueryProfileValue(section, entry, REG_BINARY, data, actual) && actual == size;
}

BOOL CWinApp::WriteProfileBinary(const char* section, const char* entry, const void* data, DWORD size)
{
    return SetProfileValue(section, entry, REG_BINARY, data, size);
}

CWinApp* GetApp()
{
    return g_pApp;
}

HINSTANCE GetAppInstance()
{
    return g_pApp && g_pApp->m_hInstance ? g_pApp->m_hInstance : ::GetModuleHandleW(nullptr);
}

HWND GetAppMainWindow()
{
    return g_pApp && g_pApp->m_pMainWnd ? g_pApp->m_pMainWnd->m_hWnd : nullptr;
}

const char* GetAppName()
{
    return g_pApp ? g_pApp->m_strAppName.c_str() : "Pixlet32";
}
