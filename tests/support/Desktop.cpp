#include "support/Desktop.h"

#include "support/Dialogs.h"
#include "support/Files.h"
#include "support/Process.h"
#include "support/Screen.h"

#include "resource.h"

namespace testing_support {

const char kCompanyKey[] = "Software\\Dorvan's Tools";
const char kHotKeyKey[] = "Software\\Dorvan's Tools\\Pixlet32\\Hot Key";
const UINT kTrayMessage = WM_USER + 10, kTrayId = IDR_TRAY_MENU;

namespace {
BOOL CALLBACK CountTrayIcon(HWND hwnd, LPARAM param)
{
    if (ClassNameOf(hwnd) == "__winex11_tray_icon" && ::IsWindowVisible(hwnd))
        ++*reinterpret_cast<int*>(param);
    return TRUE;
}
}  // namespace

namespace {
BOOL CALLBACK FindTrayIcon(HWND hwnd, LPARAM param)
{
    if (ClassNameOf(hwnd) != "__winex11_tray_icon" || !::IsWindowVisible(hwnd))
        return TRUE;
    *reinterpret_cast<HWND*>(param) = hwnd;
    return FALSE;
}
}  // namespace

RECT TrayIconRect()
{
    HWND icon = nullptr;
    const HWND tray = ::FindWindowA("__winex11_standalone_tray", nullptr);
    if (tray)
        ::EnumChildWindows(tray, FindTrayIcon, reinterpret_cast<LPARAM>(&icon));
    RECT rect = {};
    if (icon)
        ::GetWindowRect(icon, &rect);
    return rect;
}

CPixels TrayIconPixels()
{
    const RECT rect = TrayIconRect();
    CPixels display;
    // The host's screen reader may fail for a moment on a busy machine: a few tries.
    for (int attempt = 0; attempt < 3 && !::IsRectEmpty(&rect) && display.Empty(); ++attempt)
        display = DisplayPixels();
    return display.Empty() ? CPixels() : Crop(display, rect);
}

std::string TrayIconTip(POINT away)
{
    const RECT rect = TrayIconRect();
    if (::IsRectEmpty(&rect))
        return std::string();
    // The tip shows for a mouse that came to rest on the icon.
    MoveMouseTo(away);
    MoveMouseInSteps(POINT{rect.right + 10, rect.bottom + 10}, Centre(rect), 3);
    std::string tip;
    WaitUntil([&] { return !(tip = VisibleTooltipText("Pixlet32")).empty(); }, 5000);
    MoveMouseTo(away);
    return tip;
}

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

std::string SettingsText(const char* name)
{
    wchar_t text[1024] = L"";
    DWORD size = sizeof text;
    if (::RegGetValueW(HKEY_CURRENT_USER, Wide(std::string(kCompanyKey) + "\\Pixlet32\\Settings").c_str(),
                       Wide(name).c_str(), RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return std::string();
    return Utf8Of(text);
}

bool CompanyKeyExists()
{
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kCompanyKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

namespace {
void SetProfileValue(const char* path, const char* name, DWORD type, const void* bytes, DWORD size)
{
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    ::RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(bytes), size);
    ::RegCloseKey(key);
}
}  // namespace

void SetHotKeyValue(const char* name, DWORD type, const std::string& bytes)
{
    SetProfileValue(kHotKeyKey, name, type, bytes.data(), static_cast<DWORD>(bytes.size()));
}

void SetSettingsValue(const char* name, DWORD type, const void* bytes, DWORD size)
{
    SetProfileValue("Software\\Dorvan's Tools\\Pixlet32\\Settings", name, type, bytes, size);
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

namespace {
void SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0)
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = dx;
    in.mi.dy = dy;
    in.mi.dwFlags = flags;
    ::SendInput(1, &in, sizeof in);
}

// Absolute input coordinates run from 0 to 65535 over the virtual screen; rounded up, because
// rounding to the nearest lands a pixel short.
LONG Absolute(LONG value, int extent)
{
    return static_cast<LONG>((static_cast<long long>(value) * 65536 + extent - 1) / extent);
}
}  // namespace

void MoveMouseTo(POINT point)
{
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK,
              Absolute(point.x - ::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_CXVIRTUALSCREEN)),
              Absolute(point.y - ::GetSystemMetrics(SM_YVIRTUALSCREEN), ::GetSystemMetrics(SM_CYVIRTUALSCREEN)));
    ::Sleep(30);
}

void LeftButton(bool down)
{
    SendMouse(down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
    ::Sleep(30);
}

void RightButton(bool down)
{
    SendMouse(down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP);
    ::Sleep(30);
}

void MoveMouseInSteps(POINT from, POINT to, int steps)
{
    for (int i = 1; i <= steps; ++i)
        MoveMouseTo(POINT{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
}

void DragMouse(POINT from, POINT to, int steps)
{
    MoveMouseTo(from);
    LeftButton(true);
    MoveMouseInSteps(from, to, steps);
    LeftButton(false);
}

bool HoldCtrl(bool down)
{
    return RunOnHost(down ? "xdotool keydown ctrl" : "xdotool keyup ctrl", 10000) == 0;
}

bool PressWithCtrl()
{
    const bool held = HoldCtrl(true);
    LeftButton(true);
    const bool released = HoldCtrl(false);
    LeftButton(false);
    return held && released;
}

void CActionPacer::WaitForNextAction()
{
    while (::GetTickCount() - m_dwLast < 2600)
        ::Sleep(20);
    m_dwLast = ::GetTickCount();
}

std::string VisibleTooltipText(const std::string& part)
{
    // Under Wine a balloon of the tray is a tooltip window of the shell's process.
    for (HWND tip : TopLevelWindows(0, "tooltips_class32")) {
        const std::string text = ::IsWindowVisible(tip) ? WindowText(tip) : std::string();
        if (text.find(part) != std::string::npos)
            return text;
    }
    return std::string();
}

}  // namespace testing_support
