#include "app/TrayIcon.h"

#include "framework/App.h"
#include "framework/Handles.h"
#include "res/resource.h"

#include <shellapi.h>

#include <cstring>

const char kTrayTip[] = "Pixlet32";
const char kRecordingTrayTip[] = "Pixlet32 - recording. Click the icon to stop.";

namespace {
// The icon record in its earliest form, which every version of the shell accepts.
NOTIFYICONDATAA TrayIconData(HWND window)
{
    NOTIFYICONDATAA data;
    std::memset(&data, 0, sizeof data);
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = IDR_TRAY_MENU;
    return data;
}

// The icon and tip of the one state or the other.
void SetLook(NOTIFYICONDATAA& data, bool recording)
{
    data.uFlags |= NIF_ICON | NIF_TIP;
    data.hIcon = ::LoadIconA(GetAppInstance(), MAKEINTRESOURCEA(recording ? IDI_RECORDING : IDI_TRAY));
    ::lstrcpynA(data.szTip, recording ? kRecordingTrayTip : kTrayTip, sizeof data.szTip);
}
}  // namespace

void CTrayIcon::Add(HWND window, bool recording)
{
    NOTIFYICONDATAA data = TrayIconData(window);
    data.uFlags = NIF_MESSAGE;
    data.uCallbackMessage = WM_TRAYICON;
    SetLook(data, recording);
    ::Shell_NotifyIconA(NIM_ADD, &data);
}

void CTrayIcon::ShowRecording(HWND window, bool recording)
{
    NOTIFYICONDATAA data = TrayIconData(window);
    SetLook(data, recording);
    ::Shell_NotifyIconA(NIM_MODIFY, &data);
}

void CTrayIcon::ShowBalloon(HWND window, const std::string& title, const std::string& text)
{
    NOTIFYICONDATAA data = TrayIconData(window);
    // The record's later form, which balloons need.
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.uFlags = NIF_INFO;
    data.dwInfoFlags = NIIF_WARNING;
    ::lstrcpynA(data.szInfoTitle, title.c_str(), sizeof data.szInfoTitle);
    ::lstrcpynA(data.szInfo, text.c_str(), sizeof data.szInfo);
    ::Shell_NotifyIconA(NIM_MODIFY, &data);
}

void CTrayIcon::Remove(HWND window)
{
    NOTIFYICONDATAA data = TrayIconData(window);
    ::Shell_NotifyIconA(NIM_DELETE, &data);
}

bool CTrayIcon::ShowMenu(HWND window)
{
    CMenuHandle menu(::LoadMenuA(GetAppInstance(), MAKEINTRESOURCEA(IDR_TRAY_MENU)));
    const HMENU popup = menu ? ::GetSubMenu(menu, 0) : nullptr;
    if (!popup)
        return false;
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    // The menu of a background program closes on a click elsewhere only if its window is in
    // front while the menu is tracked and gets a message right after it.
    ::SetForegroundWindow(window);
    ::TrackPopupMenu(popup, TPM_LEFTBUTTON, cursor.x, cursor.y, 0, window, nullptr);
    ::PostMessageA(window, WM_NULL, 0, 0);
    return true;
}
