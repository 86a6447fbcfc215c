#include "support/Desktop.h"

#include "support/Process.h"

namespace testing_support {

const char kCompanyKey[] = "Software\\Dorvan's Tools";
const char kHotKeyKey[] = "Software\\Dorvan's Tools\\Pixlet32\\Hot Key";

namespace {
BOOL CALLBACK CountTrayIcon(HWND hwnd, LPARAM param)
{
    if (ClassNameOf(hwnd) == "__winex11_tray_icon" && ::IsWindowVisible(hwnd))
        ++*reinterpret_cast<int*>(param);
    return TRUE;
}
}  // namespace

int TrayIconCount()
{
    int count = 0;
    const HWND tray = ::FindWindowA("__winex11_standalone_tray", nullptr);
    if (tray && ::IsWindowVisible(tray))
        ::EnumChildWindows(tray, CountTrayIcon, reinterpret_cast<LPARAM>(&count));
    return count;
}

bool IsHotKeyFree(UINT modifiers, UINT virtualKey)
{
    const int id = 0x7A00;
    if (!::RegisterHotKey(nullptr, id, modifiers, virtualKey))
        return false;
    ::UnregisterHotKey(nullptr, id);
    return true;
}

void DeleteCompanyKey()
{
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kCompanyKey);
}

bool CompanyKeyExists()
{
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kCompanyKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

void SetHotKeyValue(const char* name, DWORD value)
{
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, kHotKeyKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    ::RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    ::RegCloseKey(key);
}

void PressKeys(const std::vector<WORD>& virtualKeys)
{
    std::vector<INPUT> inputs;
    for (WORD vk : virtualKeys) {
        INPUT in = {};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        inputs.push_back(in);
    }
    for (auto it = virtualKeys.rbegin(); it != virtualKeys.rend(); ++it) {
        INPUT in = {};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = *it;
        in.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(in);
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace testing_support
