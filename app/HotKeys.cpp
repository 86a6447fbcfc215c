#include "app/HotKeys.h"

namespace {
const DWORD kPrintScreenDelayMs = 500;
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

void RegisterHotKeys(HWND window, const CaptureSettings& settings)
{
    for (const HotKeyBinding& key : HotKeyBindings(settings))
        ::RegisterHotKey(window, key.id, key.modifiers, key.virtualKey);
}

void UnregisterHotKeys(HWND window)
{
    for (int id = IDH_COPY_AUTOMATICALLY; id <= IDH_AVI_AUTO_BEGIN; ++id)
        ::UnregisterHotKey(window, id);
}

HotKeyAction ActionForHotKey(int id, const CaptureSettings& settings)
{
    switch (id) {
    case IDH_COPY_AUTOMATICALLY:
        return {Action::CopyAutomatically, kPrintScreenDelayMs};
    case IDH_COPY_MANUALLY:
        return {Action::CopyManually, kPrintScreenDelayMs};
    case IDH_AVI_BEGIN:
        return {settings.m_chAviBeginKey == settings.m_chAviAutoBeginKey ? Action::BeginAutoRecording
                                                                          : Action::BeginRecording,
                0};
    case IDH_AVI_END:
        return {Action::EndRecording, 0};
    case IDH_AVI_AUTO_BEGIN:
        return {Action::BeginAutoRecording, 0};
    default:
        return {Action::None, 0};
    }
}

bool ShouldAcceptAction(BOOL busy, const CDateTime& now, const CDateTime& lastAccepted)
{
    if (busy)
        return false;
    // The elapsed time is whole seconds, so "less than 1.1" means "fewer than 2".
    return ElapsedWholeSeconds(now, lastAccepted) >= 1.1;
}
