// The program's icon in the notification area and its menu (Option, About, Exit). While a
// recording runs, the icon's lens is a red dot and its tip says that a click ends the recording.
#pragma once

#include <windows.h>

#include <string>

// The icon's tip while nothing is recorded, and while a recording runs.
extern const char kTrayTip[];
extern const char kRecordingTrayTip[];

const UINT WM_TRAYICON = WM_USER + 10;  // the icon's callback message to its window

class CTrayIcon
{
public:
    // Adds the icon for the window (again, after a new taskbar), as it looks while a recording
    // runs or not; failures are silent.
    static void Add(HWND window, bool recording = false);
    // Shows whether a recording runs: the icon and its tip.
    static void ShowRecording(HWND window, bool recording);
    // A balloon from the icon with a warning's sign (a title of up to 63 characters and a text
    // of up to 255: longer ones are cut).
    static void ShowBalloon(HWND window, const std::string& title, const std::string& text);
    static void Remove(HWND window);
    // Tracks the menu at the cursor; the chosen command arrives at the window as WM_COMMAND.
    // False when the menu could not be loaded.
    static bool ShowMenu(HWND window);
};
