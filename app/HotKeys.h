// The five global hot keys, the action each one starts, and the rules that keep actions from
// starting too close together or inside one another.
#pragma once

#include "capture/CaptureSettings.h"

#include <array>
#include <string>
#include <vector>

enum : int {
    IDH_COPY_AUTOMATICALLY = 1134,  // PrintScreen
    IDH_COPY_MANUALLY = 1135,       // Ctrl+PrintScreen
    IDH_AVI_BEGIN = 1136,           // Ctrl+Shift+begin letter
    IDH_AVI_END = 1137,             // Ctrl+Shift+end letter
    IDH_AVI_AUTO_BEGIN = 1138,      // Ctrl+Shift+automatic begin letter
};

struct HotKeyBinding {
    int id;
    UINT modifiers;
    UINT virtualKey;
};

// The five hot keys in id order, with the letters the settings hold now.
std::array<HotKeyBinding, 5> HotKeyBindings(const CaptureSettings& settings);

// Registers them on the window with the letters of the settings. The keys that could not be
// registered (another program holds them): they do nothing here.
std::vector<HotKeyBinding> RegisterHotKeys(HWND window, const CaptureSettings& settings);
void UnregisterHotKeys(HWND window);

// A key as the Option dialog names keys: "PrintScreen", "Ctrl + PrintScreen", "Ctrl + Shift + B".
std::string HotKeyName(const HotKeyBinding& key);
// Whether Windows is set to open its own screen capture with PrintScreen (Settings >
// Accessibility > Keyboard, kept in the current user's keyboard settings).
bool WindowsTakesPrintScreen();
// What the user is told at start of the keys another program holds and of Windows' own use of
// PrintScreen: a title and a text short enough for a balloon of the tray icon; both empty when
// there is nothing to say.
struct HotKeyNotice {
    std::string title;
    std::string text;
};
HotKeyNotice StartNotice(const std::vector<HotKeyBinding>& held, bool windowsTakesPrintScreen);
// What the user is told after the Option dialog's OK of the letters another program holds;
// empty when every letter is free.
std::string HeldLettersMessage(const std::vector<HotKeyBinding>& held);

// What a hot key starts. The value travels as the action message's wParam.
enum class Action { None, CopyManually, CopyAutomatically, BeginRecording, EndRecording, BeginAutoRecording };

// What a pressed hot key starts (None for an unknown id) and how long the interface thread
// waits first, so that a PrintScreen grab shows the screen after the key.
struct HotKeyAction {
    Action action;
    DWORD delayMs;
};
HotKeyAction ActionForHotKey(int id);

// An action starts only while no other runs and when at least two whole seconds have passed
// since the last accepted one (or the start). The moments are milliseconds of a clock that only
// moves forward (GetTickCount64): setting the clock of the day back, at the end of daylight
// saving time say, drops no action.
bool ShouldAcceptAction(BOOL busy, ULONGLONG nowMs, ULONGLONG lastAcceptedMs);
