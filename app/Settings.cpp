#include "app/Settings.h"

#include "framework/App.h"
#include "framework/Handles.h"
#include "framework/Paths.h"
#include "ui/OptionsDlg.h"

#include <climits>
#include <cstring>

const char kHotKeySection[] = "Hot Key";
const char kAviBeginEntry[] = "AVIB";
const char kAviEndEntry[] = "AVIE";
const char kAviAutoBeginEntry[] = "AVIAB";
const char kSettingsSection[] = "Settings";

namespace {
const char kSaveToFileEntry[] = "SaveToFile";
const char kSaveModeEntry[] = "SaveMode";
const char kTargetFileEntry[] = "TargetFile";
const char kDirectoryEntry[] = "Directory";
const char kPrefixEntry[] = "Prefix";
const char kBaseNumberEntry[] = "BaseNumber";
const char kDigitsEntry[] = "Digits";
const char kTypeEntry[] = "Type";
const char kIncludeCursorEntry[] = "IncludeCursor";
const char kCaptureRectEntry[] = "CaptureRect";
const char kAviFileEntry[] = "AviFile";
const char kAviRectEntry[] = "AviRect";
const char kAviRateEntry[] = "AviRate";
const char kAviEndAfterEntry[] = "AviEndAfter";
const char kLastNumberEntry[] = "LastNumber";

// Characters of the prefix, as the Option dialog lets them be typed.
const size_t kPrefixLength = 6;

// Screen coordinates travel in 16 bits in mouse messages: no screen reaches beyond them.
const LONG kFarthestCoordinate = 32767;

bool HoldsNoForbiddenCharacter(const std::string& text, const char* forbidden)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 32 || std::strchr(forbidden, c))
            return false;
    return true;
}

// A number of the profile within the dialog's range, else the fallback.
int ReadNumber(const CWinApp& app, const char* entry, int fallback, int low, int high)
{
    const int value = static_cast<int>(app.GetProfileInt(kSettingsSection, entry, fallback));
    return value >= low && value <= high ? value : fallback;
}

// A text of the profile of at most maxLength characters (as the system counts them), in UTF-8.
template <size_t N>
void ReadText(const CWinApp& app, const char* entry, char (&field)[N], size_t maxLength,
              bool (*choosable)(const std::string&))
{
    std::string text;
    if (app.GetProfileString(kSettingsSection, entry, text, maxLength) && choosable(text) && text.size() < N)
        std::memcpy(field, text.c_str(), text.size() + 1);
}

void ReadRect(const CWinApp& app, const char* entry, RECT& field)
{
    RECT rect = {};
    if (app.GetProfileBinary(kSettingsSection, entry, &rect, sizeof rect) && IsChoosableRect(rect))
        field = rect;
}

// A letter of the profile is a key's letter only as the dialog offers them: A to Z.
char ReadLetter(const CWinApp& app, const char* entry, char fallback)
{
    const UINT value = app.GetProfileInt(kHotKeySection, entry, fallback);
    return value >= 'A' && value <= 'Z' ? static_cast<char>(value) : fallback;
}
}  // namespace

bool IsChoosablePath(const std::string& path)
{
    if (path.empty())
        return true;
    const bool drive = path.size() >= 3 && path[1] == ':' && path[2] == '\\';
    const bool share = path.compare(0, 2, "\\\\") == 0;
    return (drive || share) && SystemLength(path) < MAX_PATH &&
           HoldsNoForbiddenCharacter(drive ? path.substr(2) : path, ":*?\"<>|/");
}

bool IsChoosablePrefix(const std::string& prefix)
{
    return SystemLength(prefix) <= kPrefixLength && HoldsNoForbiddenCharacter(prefix, "\\/:*?\"<>|");
}

bool IsChoosableRect(const RECT& rect)
{
    if (rect.left == 0 && rect.top == 0 && rect.right == 0 && rect.bottom == 0)
        return true;
    for (const LONG coordinate : {rect.left, rect.top, rect.right, rect.bottom})
        if (coordinate < -kFarthestCoordinate - 1 || coordinate > kFarthestCoordinate)
            return false;
    return rect.left != rect.right && rect.top != rect.bottom;
}

void LoadSettings(CaptureSettings& settings)
{
    const CWinApp* app = GetApp();
    if (!app)
        return;
    settings.m_chAviBeginKey = ReadLetter(*app, kAviBeginEntry, settings.m_chAviBeginKey);
    settings.m_chAviEndKey = ReadLetter(*app, kAviEndEntry, settings.m_chAviEndKey);
    settings.m_chAviAutoBeginKey = ReadLetter(*app, kAviAutoBeginEntry, settings.m_chAviAutoBeginKey);

    settings.m_bSaveToFile = ReadNumber(*app, kSaveToFileEntry, settings.m_bSaveToFile, 0, 1);
    settings.m_nSaveMode = ReadNumber(*app, kSaveModeEntry, settings.m_nSaveMode, 0, 1);
    ReadText(*app, kTargetFileEntry, settings.m_szTargetFile, MAX_PATH - 1, IsChoosablePath);
    ReadText(*app, kDirectoryEntry, settings.m_szDirectory, MAX_PATH - 1, IsChoosablePath);
    ReadText(*app, kPrefixEntry, settings.m_szPrefix, kPrefixLength, IsChoosablePrefix);
    settings.m_nBaseNumber = ReadNumber(*app, kBaseNumberEntry, settings.m_nBaseNumber, 0, 3000);
    settings.m_nDigits = ReadNumber(*app, kDigitsEntry, settings.m_nDigits, 1, 6);
    ReadText(*app, kTypeEntry, settings.m_szExtension, sizeof settings.m_szExtension - 1,
             [](const std::string& type) { return type == ".png" || type == ".bmp"; });
    settings.m_bIncludeCursor = ReadNumber(*app, kIncludeCursorEntry, settings.m_bIncludeCursor, 0, 1);
    ReadRect(*app, kCaptureRectEntry, settings.m_rcCapture);
    ReadText(*app, kAviFileEntry, settings.m_szAviFile, MAX_PATH - 1, IsChoosablePath);
    ReadRect(*app, kAviRectEntry, settings.m_rcAvi);
    settings.m_nAviRate = ReadNumber(*app, kAviRateEntry, settings.m_nAviRate, 1, 20);
    settings.m_nAviEndAfter = ReadNumber(*app, kAviEndAfterEntry, settings.m_nAviEndAfter, 1, 30);
    // Saving into files needs what the dialog asks for before it lets the box be ticked.
    if (MissingFileChoiceMessage(settings.m_bSaveToFile, settings.m_nSaveMode, settings.m_szTargetFile,
                                 settings.m_szPrefix, settings.m_szDirectory))
        settings.m_bSaveToFile = FALSE;
}

void SaveSettings(const CaptureSettings& settings)
{
    CWinApp* app = GetApp();
    if (!app)
        return;
    app->WriteProfileInt(kHotKeySection, kAviBeginEntry, settings.m_chAviBeginKey);
    app->WriteProfileInt(kHotKeySection, kAviEndEntry, settings.m_chAviEndKey);
    app->WriteProfileInt(kHotKeySection, kAviAutoBeginEntry, settings.m_chAviAutoBeginKey);

    app->WriteProfileInt(kSettingsSection, kSaveToFileEntry, settings.m_bSaveToFile);
    app->WriteProfileInt(kSettingsSection, kSaveModeEntry, settings.m_nSaveMode);
    app->WriteProfileString(kSettingsSection, kTargetFileEntry, settings.m_szTargetFile);
    app->WriteProfileString(kSettingsSection, kDirectoryEntry, settings.m_szDirectory);
    app->WriteProfileString(kSettingsSection, kPrefixEntry, settings.m_szPrefix);
    app->WriteProfileInt(kSettingsSection, kBaseNumberEntry, settings.m_nBaseNumber);
    app->WriteProfileInt(kSettingsSection, kDigitsEntry, settings.m_nDigits);
    app->WriteProfileString(kSettingsSection, kTypeEntry, settings.m_szExtension);
    app->WriteProfileInt(kSettingsSection, kIncludeCursorEntry, settings.m_bIncludeCursor);
    app->WriteProfileBinary(kSettingsSection, kCaptureRectEntry, &settings.m_rcCapture, sizeof settings.m_rcCapture);
    app->WriteProfileString(kSettingsSection, kAviFileEntry, settings.m_szAviFile);
    app->WriteProfileBinary(kSettingsSection, kAviRectEntry, &settings.m_rcAvi, sizeof settings.m_rcAvi);
    app->WriteProfileInt(kSettingsSection, kAviRateEntry, settings.m_nAviRate);
    app->WriteProfileInt(kSettingsSection, kAviEndAfterEntry, settings.m_nAviEndAfter);
}

int LoadLastNumber(int fallback)
{
    const CWinApp* app = GetApp();
    // One below the base number 0 at the least, and room to count on.
    return app ? ReadNumber(*app, kLastNumberEntry, fallback, -1, INT_MAX - 1) : fallback;
}

void SaveLastNumber(int number)
{
    if (CWinApp* app = GetApp())
        app->WriteProfileInt(kSettingsSection, kLastNumberEntry, number);
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
