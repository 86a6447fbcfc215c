#include "app/Settings.h"

#include "framework/App.h"
#include "framework/Handles.h"

#include <cstdio>
#include <cstring>

CaptureSettings theSettings;
CaptureState theState;

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

void LoadSettings()
{
    if (const CWinApp* app = GetApp()) {
        theSettings.m_chAviBeginKey = ReadLetter(*app, kAviBeginEntry, theSettings.m_chAviBeginKey);
        theSettings.m_chAviEndKey = ReadLetter(*app, kAviEndEntry, theSettings.m_chAviEndKey);
        theSettings.m_chAviAutoBeginKey = ReadLetter(*app, kAviAutoBeginEntry, theSettings.m_chAviAutoBeginKey);
    }
    theSettings.m_szAviFile[0] = '\0';
    theSettings.m_szDirectory[0] = '\0';
    theSettings.m_szPrefix[0] = '\0';
    theSettings.m_szTargetFile[0] = '\0';
    theSettings.m_rcCapture = RECT{0, 0, 0, 0};
    theSettings.m_rcAvi = RECT{0, 0, 0, 0};
}

void SaveSettings()
{
    CWinApp* app = GetApp();
    if (!app)
        return;
    app->WriteProfileInt(kHotKeySection, kAviBeginEntry, theSettings.m_chAviBeginKey);
    app->WriteProfileInt(kHotKeySection, kAviEndEntry, theSettings.m_chAviEndKey);
    app->WriteProfileInt(kHotKeySection, kAviAutoBeginEntry, theSettings.m_chAviAutoBeginKey);
}

void TakeCursorSnapshot()
{
    CURSORINFO& info = theState.m_cursorInfo;
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

std::string FormatRect(const RECT& rect)
{
    char text[64];
    std::snprintf(text, sizeof text, "(%ld, %ld) - (%ld, %ld)", static_cast<long>(rect.left),
                  static_cast<long>(rect.top), static_cast<long>(rect.right), static_cast<long>(rect.bottom));
    return text;
}
