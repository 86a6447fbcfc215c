#include "capture/CaptureSettings.h"

#include <cstdio>

const CURSORINFO* CursorToDraw(const CaptureSettings& settings, const CaptureState& state)
{
    return settings.m_bIncludeCursor ? &state.m_cursorInfo : nullptr;
}

std::string FormatRect(const RECT& rect)
{
    char text[64];
    std::snprintf(text, sizeof text, "(%ld, %ld) - (%ld, %ld)", static_cast<long>(rect.left),
                  static_cast<long>(rect.top), static_cast<long>(rect.right), static_cast<long>(rect.bottom));
    return text;
}
