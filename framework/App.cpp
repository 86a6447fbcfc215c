#include "framework/App.h"

#include "framework/Handles.h"
#include "framework/Wnd.h"

#include <algorithm>
#include <commctrl.h>

namespace {
CWinApp* g_pApp = nullptr;

std::string ModuleBaseName(HMODULE module)
{
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(module, path, MAX_PATH);
    std::string name(path);
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
    m_hInstance = ::GetModuleHandleA(nullptr);
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
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            m_nExitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (got == -1)
            break;
        const HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        if (root && std::find(m_modeless.begin(), m_modeless.end(), root) != m_modeless.end() &&
            ::IsDialogMessageA(root, &msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return ExitInstance();
}

void CWinApp::AddModeless(HWND hwnd)
{
    m_modeless.push_back(hwnd);
}

void CWinApp::RemoveModeless(HWND hwnd)
{
    m_modeless.erase(std::remove(m_modeless.begin(), m_modeless.end(), hwnd), m_modeless.end());
}

void CWinApp::SetRegistryKey(const char* company)
{
    m_strRegistryKey = company;
}

std::string CWinApp::ProfileKeyPath(const char* section) const
{
    return "Software\\" + m_strRegistryKey + "\\" + m_strAppName + "\\" + section;
}

UINT CWinApp::GetProfileInt(const char* section, const char* entry, int defaultValue) const
{
    if (m_strRegistryKey.empty())
        return static_cast<UINT>(defaultValue);
    // Reading opens the key only: a first start leaves the registry as it was.
    HKEY raw = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, ProfileKeyPath(section).c_str(), 0, KEY_QUERY_VALUE, &raw) !=
        ERROR_SUCCESS)
        return static_cast<UINT>(defaultValue);
    CRegKey key(raw);
    DWORD type = 0, value = 0, size = sizeof value;
    if (::RegQueryValueExA(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return static_cast<UINT>(defaultValue);
    return value;
}

BOOL CWinApp::WriteProfileInt(const char* section, const char* entry, int value)
{
    if (m_strRegistryKey.empty())
        return FALSE;
    HKEY raw = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, ProfileKeyPath(section).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                          nullptr, &raw, nullptr) != ERROR_SUCCESS)
        return FALSE;
    CRegKey key(raw);
    const DWORD data = static_cast<DWORD>(value);
    return ::RegSetValueExA(key, entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data) ==
           ERROR_SUCCESS;
}

CWinApp* GetApp()
{
    return g_pApp;
}

HINSTANCE GetAppInstance()
{
    return g_pApp && g_pApp->m_hInstance ? g_pApp->m_hInstance : ::GetModuleHandleA(nullptr);
}

HWND GetAppMainWindow()
{
    return g_pApp && g_pApp->m_pMainWnd ? g_pApp->m_pMainWnd->m_hWnd : nullptr;
}

const char* GetAppName()
{
    return g_pApp ? g_pApp->m_strAppName.c_str() : "Pixlet32";
}
