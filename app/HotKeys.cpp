#include "app/HotKeys.h"

namespace {
const DWORD kPrintScreenDelayMs = 500;
// The least time between two actions.
const ULONGLONG kActionIntervalMs = 2000;

// "A", "A and B", "A, B and C".
std::string KeyList(const std::vector<HotKeyBinding>& keys)
{
    std::string list;
    for (size_t i = 0; i < keys.size(); ++i) {
        if (i > 0)
            list += i + 1 == keys.size() ? " and " : ", ";
        list += HotKeyName(keys[i]);
    }
    return list;
}

bool IsLetterKey(const HotKeyBinding& key)
{
    return key.virtualKey != VK_SNAPSHOT;
}
}  // namespace

std::array<HotKeyBinding, 5> HotKeyBindings(const CaptureSettings& settings)
{
    const UINT ctrlShift = MOD_CONTROL | MOD_SHIFT;
    return {{
        {IDH_COPY_AUTOMATICALLY, 0, VK_SNAPSHOT},
        {IDH_COPY_MANUALLY, MOD_CONTROL, VK_SNAPSHOT},
        // A letter is its own virtual-key code ('A'..'Z' are 0x41..0x5A).
        {IDH_AVI_BEGIN, ctrlShift, static_cast<UINT>(settings.m_chAviBeginKey)},
        {IDH_AVI_END, ctrlShift, static_cast<UINT>(settings.m_chAviEndKey)},
        {IDH_AVI_AUTO_BEGIN, ctrlShift, static_cast<UINT>(settings.m_chAviAutoBeginKey)},
    }};
}

std::vector<HotKeyBinding> RegisterHotKeys(HWND window, const CaptureSettings& settings)
{
    std::vector<HotKeyBinding> held;
    for (const HotKeyBinding& key : HotKeyBindings(settings))
        if (!::RegisterHotKey(window, key.id, key.modifiers, key.virtualKey))
            held.push_back(key);
    return held;
}

void UnregisterHotKeys(HWND window)
{
    for (int id = IDH_COPY_AUTOMATICALLY; id <= IDH_AVI_AUTO_BEGIN; ++id)
        ::UnregisterHotKey(window, id);
}

HotKeyAction ActionForHotKey(int id)
{
    switch (id) {
    case IDH_COPY_AUTOMATICALLY:
        return {Action::CopyAutomatically, kPrintScreenDelayMs};
    case IDH_COPY_MANUALLY:
        return {Action::CopyManually, kPrintScreenDelayMs};
    case IDH_AVI_BEGIN:
        return {Action::BeginRecording, 0};
    case IDH_AVI_END:
        return {Action::EndRecording, 0};
    case IDH_AVI_AUTO_BEGIN:
        return {Action::BeginAutoRecording, 0};
    default:
        return {Action::None, 0};
    }
}

bool ShouldAcceptAction(BOOL busy, ULONGLONG nowMs, ULONGLONG lastAcceptedMs)
{
    return !busy && nowMs >= lastAcceptedMs && nowMs - lastAcceptedMs >= kActionIntervalMs;
}

std::string HotKeyName(const HotKeyBinding& key)
{
    std::string name = (key.modifiers & MOD_CONTROL) ? "Ctrl + " : "";
    if (key.modifiers & MOD_SHIFT)
        name += "Shift + ";
    if (key.virtualKey == VK_SNAPSHOT)
        return name + "PrintScreen";
    return name + static_cast<char>(key.virtualKey);
}

bool WindowsTakesPrintScreen()
{
    DWORD value = 0, size = sizeof value;
    return ::RegGetValueA(HKEY_CURRENT_USER, "Control Panel\\Keyboard", "PrintScreenKeyForSnippingEnabled",
                          RRF_RT_REG_DWORD, nullptr, &value, &size) == ERROR_SUCCESS &&
           value == 1;
}

HotKeyNotice StartNotice(const std::vector<HotKeyBinding>& held, bool windowsTakesPrintScreen)
{
    const std::string windows = "turn off \"Use the Print screen key to open screen capture\" in Settings > "
                                "Accessibility > Keyboard.";
    HotKeyNotice notice;
    if (!held.empty()) {
        notice.title = "Hot keys held by another program";
        notice.text = KeyList(held) + (held.size() == 1 ? " does" : " do") + " nothing here.";
        if (windowsTakesPrintScreen)
            notice.text += " PrintScreen opens Windows' own screen capture: " + windows;
    } else if (windowsTakesPrintScreen) {
        notice.title = "PrintScreen opens Windows' own screen capture";
        notice.text = "To use it here, " + windows;
    }
    return notice;
}

std::string HeldLettersMessage(const std::vector<HotKeyBinding>& held)
{
    std::vector<HotKeyBinding> letters;
    for (const HotKeyBinding& key : held)
        if (IsLetterKey(key))
            letters.push_back(key);
    if (letters.empty())
        return std::string();
    if (letters.size() == 1)
        return "Another program holds " + KeyList(letters) + ", so it does nothing here. Please choose another letter.";
    return "Another program holds " + KeyList(letters) + ", so they do nothing here. Please choose other letters.";
}
