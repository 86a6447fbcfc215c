#include "app/Settings.h"

#include "capture/SettingRules.h"
#include "framework/App.h"
#include "framework/Handles.h"

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
const char kAviCompressEntry[] = "AviCompress";
const char kAviEndAfterEntry[] = "AviEndAfter";
const char kLastNumberEntry[] = "LastNumber";

// A number of the profile within its range, else the fallback.
int ReadNumber(const CWinApp& app, const char* entry, int fallback, const SettingRange& range)
{
    const int value = static_cast<int>(app.GetProfileInt(kSettingsSection, entry, fallback));
    return range.Holds(value) ? value : fallback;
}

// A text of the profile that keeps its rule (read up to the longest that any rule allows), in
// UTF-8.
template <size_t N, typename Fault>
void ReadText(const CWinApp& app, const char* entry, char (&field)[N], Fault fault)
{
    std::string text;
    if (app.GetProfileString(kSettingsSection, entry, text, kPathLength) && !fault(text) && text.size() < N)
        std::memcpy(field, text.c_str(), text.size() + 1);
}

void ReadRect(const CWinApp& app, const char* entry, RECT& field)
{
    RECT rect = {};
    if (app.GetProfileBinary(kSettingsSection, entry, &rect, sizeof rect) && IsChoosableRect(rect))
        field = rect;
}

char ReadLetter(const CWinApp& app, const char* entry, char fallback)
{
    const UINT value = app.GetProfileInt(kHotKeySection, entry, fallback);
    return IsHotKeyLetter(static_cast<int>(value)) ? static_cast<char>(value) : fallback;
}

void ReadLetters(const CWinApp& app, CaptureSettings& settings)
{
    const char begin = ReadLetter(app, kAviBeginEntry, settings.m_chAviBeginKey);
    const char end = ReadLetter(app, kAviEndEntry, settings.m_chAviEndKey);
    const char autoBegin = ReadLetter(app, kAviAutoBeginEntry, settings.m_chAviAutoBeginKey);
    // Two keys of one letter: only one of them could be registered, and which was meant cannot
    // be told.
    if (LetterClashMessage(begin, end, autoBegin))
        return;
    settings.m_chAviBeginKey = begin;
    settings.m_chAviEndKey = end;
    settings.m_chAviAutoBeginKey = autoBegin;
}
}  // namespace

void LoadSettings(CaptureSettings& settings)
{
    const CWinApp* app = GetApp();
    if (!app)
        return;
    ReadLetters(*app, settings);

    const SettingRange flag = {FALSE, TRUE};
    settings.m_bSaveToFile = ReadNumber(*app, kSaveToFileEntry, settings.m_bSaveToFile, flag);
    settings.m_nSaveMode = ReadNumber(*app, kSaveModeEntry, settings.m_nSaveMode, kSaveModeRange);
    auto path = [](const std::string& text) { return PathFault(text); };
    ReadText(*app, kTargetFileEntry, settings.m_szTargetFile, path);
    ReadText(*app, kDirectoryEntry, settings.m_szDirectory, path);
    ReadText(*app, kPrefixEntry, settings.m_szPrefix, PrefixFault);
    settings.m_nBaseNumber = ReadNumber(*app, kBaseNumberEntry, settings.m_nBaseNumber, kBaseNumberRange);
    settings.m_nDigits = ReadNumber(*app, kDigitsEntry, settings.m_nDigits, kDigitsRange);
    ReadText(*app, kTypeEntry, settings.m_szExtension, [](const std::string& type) { return !IsFileType(type); });
    settings.m_bIncludeCursor = ReadNumber(*app, kIncludeCursorEntry, settings.m_bIncludeCursor, flag);
    ReadRect(*app, kCaptureRectEntry, settings.m_rcCapture);
    ReadText(*app, kAviFileEntry, settings.m_szAviFile, [](const std::string& text) {
        return PathFault(text, kAviPathLength);
    });
    ReadRect(*app, kAviRectEntry, settings.m_rcAvi);
    settings.m_nAviRate = ReadNumber(*app, kAviRateEntry, settings.m_nAviRate, kAviRateRange);
    settings.m_nAviEndAfter = ReadNumber(*app, kAviEndAfterEntry, settings.m_nAviEndAfter, kAviEndAfterRange);
    settings.m_bAviCompress = ReadNumber(*app, kAviCompressEntry, settings.m_bAviCompress, flag);
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
    app->WriteProfileInt(kSettingsSection, kAviCompressEntry, settings.m_bAviCompress);
}

int LoadLastNumber(int fallback)
{
    const CWinApp* app = GetApp();
    return app ? ReadNumber(*app, kLastNumberEntry, fallback, kLastNumberRange) : fallback;
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
