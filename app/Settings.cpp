#include "app/Settings.h"

#include "framework/App.h"
#include "framework/Handles.h"

#include <cstring>

const char kHotKeySection[] = "Hot Key";
const char kAviBeginEntry[] = "AVIB";
const char kAviEndEntry[] = "AVIE";
const char kAviAutoBeginEntry[] = "AVIAB";

namespace {
// A profile value becomes the letter by its low byte, unchecked: a hand-edited value is taken as it is.
char ReadLetter(const CWinApp& app, const char* entry, char fallback)
{
    return static_cast<char>(app.GetProfileInt(kHotKeySection, entry, fallback) & 0xFF);
}
}  // namespace

void LoadSettings(CaptureSettings& settings)
{
    if (const CWinApp* app = GetApp()) {
        settings.m_chAviBeginKey = ReadLetter(*app, kAviBeginEntry, settings.m_chAviBeginKey);
        settings.m_chAviEndKey = ReadLetter(*app, kAviEndEntry, settings.m_chAviEndKey);
        settings.m_chAviAutoBeginKey = ReadLetter(*app, kAviAutoBeginEntry, settings.m_chAviAutoBeginKey);
    }
    settings.m_szAviFile[0] = '\0';
    settings.m_szDirectory[0] = '\0';
    settings.m_szPrefix[0] = '\0';
    settings.m_szTargetFile[0] = '\0';
    settings.m_rcCapture = RECT{0, 0, 0, 0};
    settings.m_rcAvi = RECT{0, 0, 0, 0};
}

void SaveSettings(const CaptureSettings& settings)
{
    CWinApp* app = GetApp();
    if (!app)
        return;
    app->WriteProfileInt(kHotKeySection, kAviBeginEntry, settings.m_chAviBeginKey);
    app->WriteProfileInt(kHotKeySection, kAviEndEntry, settings.m_chAviEndKey);
    app->WriteProfileInt(kHotKeySection, kAviAutoBeginEntry, settings.m_chAviAutoBeginKey);
}

void TakeCursorSnapshot(CaptureState& state)
{
    CURSORINFO& info = state.m_cursorInfo;
    std::memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    // Looked up at each call: where the system has no GetCursorInfo the snapshot stays empty.
    CModuleHandle user32(::LoadLibraryA("user32.dll"));
    if (!user32)
        return;
    using GetCursorInfoFn = BOOL(WINAPI*)(CURSORINFO*);
    auto getCursorInfo = reinterpret_cast<GetCursorInfoFn>(
        reinterpret_cast<void (*)()>(::GetProcAddress(user32, "GetCursorInfo")));
    if (getCursorInfo)
        getCursorInfo(&info);
}
