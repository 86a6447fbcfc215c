// The five global hot keys, the action each one starts, and the rules that keep actions from
// starting too close together or inside one another.
#pragma once

#include "capture/CaptureSettings.h"
#include "framework/DateTime.h"

#include <array>

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

// Registers them on the window with the letters of the settings; a key that another program
// holds simply does not work.
void RegisterHotKeys(HWND window, const CaptureSettings& settings);
void UnregisterHotKeys(HWND window);

// What a pressed hot key posts: its action code (0 for an unknown id) and how long the
// interface thread waits first, so that a PrintScreen grab shows the screen after the key.
struct HotKeyAction {
    char code;
    DWORD delayMs;
};
HotKeyAction ActionForHotKey(int id, const CaptureSettings& settings);

// Whether the code names one of the five actions.
bool IsActionCode(char code, const CaptureSettings& settings);

enum class Action { None, CopyManually, CopyAutomatically, BeginRecording, EndRecording, BeginAutoRecording };
// The first action whose code matches, in the order manual copy, automatic copy, AVI begin,
// AVI end, automatic AVI begin.
Action ActionForCode(char code, const CaptureSettings& settings);

// An action starts only while no other runs and when at least two whole clock seconds have
// passed since the last accepted one (a clock set back drops actions until it has caught up).
bool ShouldAcceptAction(BOOL busy, const CDateTime& now, const CDateTime& lastAccepted);
