// The settings record, its profile and the cursor snapshot.
#include "app/Settings.h"
#include "capture/SettingRules.h"
#include "framework/App.h"
#include "framework/Paths.h"
#include "framework/Unicode.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <string>

namespace {
const char kTestCompany[] = "Pixlet32 Unit Tests";

// Every choice in words, so that a difference says which.
std::string Describe(const CaptureSettings& s)
{
    return std::string("letters=") + s.m_chAviBeginKey + s.m_chAviEndKey + s.m_chAviAutoBeginKey +
           " save=" + std::to_string(s.m_bSaveToFile) + "/" + std::to_string(s.m_nSaveMode) + " target=" +
           s.m_szTargetFile + " dir=" + s.m_szDirectory + " prefix=" + s.m_szPrefix + " base=" +
           std::to_string(s.m_nBaseNumber) + " digits=" + std::to_string(s.m_nDigits) + " type=" + s.m_szExtension +
           " cursor=" + std::to_string(s.m_bIncludeCursor) + " capture=" + FormatRect(s.m_rcCapture) + " avi=" +
           s.m_szAviFile + " " + FormatRect(s.m_rcAvi) + " rate=" + std::to_string(s.m_nAviRate) +
           " end after=" + std::to_string(s.m_nAviEndAfter) + " compress=" + std::to_string(s.m_bAviCompress);
}

// An application object of its own, with its profile under a key of the tests.
class Profile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, KeyPath().c_str());
        m_app.SetRegistryKey(kTestCompany);
    }
    void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, KeyPath().c_str()); }
    static std::string KeyPath() { return std::string("Software\\") + kTestCompany; }
    std::string SectionPath() const { return KeyPath() + "\\" + m_app.m_strAppName + "\\Hot Key"; }
    bool SectionExists() const
    {
        HKEY key = nullptr;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, SectionPath().c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        ::RegCloseKey(key);
        return true;
    }
    DWORD ReadValue(const char* name, DWORD* type) const
    {
        DWORD value = 0, size = sizeof value;
        ::RegGetValueA(HKEY_CURRENT_USER, SectionPath().c_str(), name, RRF_RT_ANY, type, &value, &size);
        return value;
    }

    CWinApp m_app;
    CaptureSettings m_settings;
};
}  // namespace

TEST(Settings, StartFromTheDefaults)
{
    const CaptureSettings settings;
    EXPECT_EQ(settings.m_chAviBeginKey, 'B');
    EXPECT_EQ(settings.m_chAviEndKey, 'E');
    EXPECT_EQ(settings.m_chAviAutoBeginKey, 'C');
    EXPECT_EQ(settings.m_nAviRate, 10);
    EXPECT_EQ(settings.m_nAviEndAfter, 3);
    EXPECT_EQ(settings.m_nBaseNumber, 1);
    EXPECT_EQ(settings.m_nDigits, 3);
    EXPECT_STREQ(settings.m_szExtension, ".png");
    EXPECT_FALSE(settings.m_bSaveToFile);
    EXPECT_FALSE(settings.m_bIncludeCursor);
    EXPECT_FALSE(settings.m_bAviCompress);
    EXPECT_EQ(settings.m_nSaveMode, 0);
    EXPECT_EQ(FormatRect(settings.m_rcCapture), "(0, 0) - (0, 0)");
}

TEST(Settings, RectanglesReadAsStoredEvenReversed)
{
    EXPECT_EQ(FormatRect(RECT{300, 200, 100, 50}), "(300, 200) - (100, 50)");
    EXPECT_EQ(FormatRect(RECT{-5, 0, 1280, 1024}), "(-5, 0) - (1280, 1024)");
}

TEST_F(Profile, AMissingProfileGivesTheDefaultLettersAndIsNotCreated)
{
    LoadSettings(m_settings);
    EXPECT_EQ(m_settings.m_chAviBeginKey, 'B');
    EXPECT_EQ(m_settings.m_chAviEndKey, 'E');
    EXPECT_EQ(m_settings.m_chAviAutoBeginKey, 'C');
    EXPECT_FALSE(SectionExists()) << "reading must not create the profile";
}

TEST_F(Profile, EveryChoiceComesBackAfterARestartAndTheNumberingGoesOn)
{
    m_settings.m_chAviBeginKey = 'D';
    m_settings.m_chAviEndKey = 'F';
    m_settings.m_chAviAutoBeginKey = 'G';
    m_settings.m_bSaveToFile = TRUE;
    m_settings.m_nSaveMode = 1;
    strcpy(m_settings.m_szTargetFile, "C:\\a.png");
    strcpy(m_settings.m_szDirectory, "C:\\shots\\");
    strcpy(m_settings.m_szPrefix, "cap");
    m_settings.m_nBaseNumber = 7;
    m_settings.m_nDigits = 5;
    strcpy(m_settings.m_szExtension, ".bmp");
    m_settings.m_bIncludeCursor = TRUE;
    m_settings.m_rcCapture = RECT{-100, 2, 3, -4};
    strcpy(m_settings.m_szAviFile, "\\\\server\\share\\a.avi");
    m_settings.m_rcAvi = RECT{5, 6, 70, 80};
    m_settings.m_nAviRate = 20;
    m_settings.m_nAviEndAfter = 30;
    m_settings.m_bAviCompress = TRUE;
    SaveSettings(m_settings);
    SaveLastNumber(41);
    DWORD type = 0;
    EXPECT_EQ(ReadValue("AVIB", &type), 68u) << "the letters as they have always been kept";
    EXPECT_EQ(type, DWORD(REG_DWORD));

    CaptureSettings loaded;
    LoadSettings(loaded);
    EXPECT_EQ(Describe(loaded), Describe(m_settings));
    EXPECT_EQ(LoadLastNumber(6), 41);
}

TEST_F(Profile, AValueTheDialogCouldNotHaveMadeLeavesItsSettingAtItsDefault)
{
    const std::function<void(CWinApp&)> rounds[] = {
        // Another type, out of the dialog's range, a letter it does not offer, a text too long
        // or no possible name, a rectangle beyond any screen or of no size.
        [](CWinApp& app) {
            app.WriteProfileInt("Hot Key", "AVIB", 0x161);  // low byte 'a'
            app.WriteProfileInt("Hot Key", "AVIE", '1');
            app.WriteProfileString("Hot Key", "AVIAB", "C");
            app.WriteProfileString("Settings", "SaveToFile", "1");
            app.WriteProfileInt("Settings", "SaveMode", 2);
            app.WriteProfileString("Settings", "TargetFile", "shot.png");
            app.WriteProfileString("Settings", "Directory", "C:\\a|b");
            app.WriteProfileString("Settings", "Prefix", "seven77");
            app.WriteProfileInt("Settings", "BaseNumber", 3001);
            app.WriteProfileInt("Settings", "Digits", 0);
            app.WriteProfileString("Settings", "Type", ".jpg");
            app.WriteProfileInt("Settings", "IncludeCursor", -1);
            const RECT beyond = {0, 0, 40000, 10}, none = {-1, -1, -1, -1};
            app.WriteProfileBinary("Settings", "CaptureRect", &beyond, sizeof beyond);
            app.WriteProfileBinary("Settings", "AviRect", &none, sizeof none);
            app.WriteProfileString("Settings", "AviFile", "C:\\" + std::string(MAX_PATH, 'a'));
            app.WriteProfileInt("Settings", "AviRate", 21);
            app.WriteProfileInt("Settings", "AviEndAfter", -1);
            app.WriteProfileInt("Settings", "AviCompress", 2);
            app.WriteProfileInt("Settings", "LastNumber", -2);
        },
        // Letters of two keys that are one (all three keep theirs), an AVI file with no room for
        // the "-2" of a long recording's next file, a number with no room to count on.
        [](CWinApp& app) {
            app.WriteProfileInt("Hot Key", "AVIB", 'D');
            app.WriteProfileInt("Hot Key", "AVIE", 'D');
            app.WriteProfileInt("Hot Key", "AVIAB", 'G');
            app.WriteProfileString("Settings", "AviFile", "C:\\" + std::string(254, 'a'));
            app.WriteProfileInt("Settings", "LastNumber", INT_MAX - 1);
        },
    };
    for (const auto& write : rounds) {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, KeyPath().c_str());
        write(m_app);
        CaptureSettings loaded;
        LoadSettings(loaded);
        EXPECT_EQ(Describe(loaded), Describe(CaptureSettings{})) << "a value was trusted";
        EXPECT_EQ(LoadLastNumber(0), 0);
    }

    // Saving into files without what it needs is not ticked.
    m_app.WriteProfileInt("Settings", "SaveToFile", 1);
    m_app.WriteProfileInt("Settings", "SaveMode", 1);
    m_app.WriteProfileString("Settings", "Prefix", "cap");
    LoadSettings(m_settings);
    EXPECT_FALSE(m_settings.m_bSaveToFile) << "numbered files without a directory";

    // What the dialog can choose: full paths with possible names, short prefixes, rectangles.
    for (const char* path : {"", "C:\\x.png", "D:\\shots\\", "\\\\pc\\share\\a.avi"})
        EXPECT_EQ(PathFault(path), nullptr) << path;
    for (const char* path : {"x.png", "C:x.png", "C:\\a*b", "C:\\a\tb", "C:\\a:b"})
        EXPECT_NE(PathFault(path), nullptr) << path;
    EXPECT_EQ(PathFault("C:\\" + std::string(253, 'a'), kAviPathLength), nullptr) << "256 characters";
    EXPECT_EQ(PrefixFault("shot12"), nullptr);
    EXPECT_NE(PrefixFault("a/b"), nullptr);
    EXPECT_TRUE(IsChoosableRect(RECT{0, 0, 0, 0}));
    EXPECT_TRUE(IsChoosableRect(RECT{-32768, 600, 32767, -32768}));
    EXPECT_FALSE(IsChoosableRect(RECT{-32769, 0, 10, 10}));
    EXPECT_FALSE(IsChoosableRect(RECT{5, 0, 5, 10}));
}

TEST_F(Profile, NamesInAnyScriptAreKeptExactlyAndAnsiValuesOfEarlierVersionsReadTheSame)
{
    // Limits count characters as the system does (UTF-16 units), not bytes of UTF-8.
    EXPECT_EQ(SystemLength("a\xF0\x9F\x98\x80"), 3u) << "a character beyond the first 65536 is two";
    EXPECT_EQ(PrefixFault("截图"), nullptr);
    EXPECT_EQ(PrefixFault("截图截图截图"), nullptr);
    EXPECT_NE(PrefixFault("截图截图截图截"), nullptr);
    std::string cyrillic = "C:\\";
    while (SystemLength(cyrillic) < MAX_PATH - 1)
        cyrillic += "ж";
    EXPECT_EQ(PathFault(cyrillic), nullptr) << cyrillic.size() << " bytes";
    EXPECT_NE(PathFault(cyrillic + "ж"), nullptr);

    // Saved and read back unchanged; the registry holds the same characters.
    m_settings.m_bSaveToFile = TRUE;
    m_settings.m_nSaveMode = 1;
    std::strcpy(m_settings.m_szDirectory, "C:\\снимки\\日本\\");
    std::strcpy(m_settings.m_szPrefix, "截图截图截图");
    std::strcpy(m_settings.m_szAviFile, "C:\\снимки\\клип.avi");
    std::strcpy(m_settings.m_szTargetFile, cyrillic.c_str());
    SaveSettings(m_settings);
    CaptureSettings loaded;
    LoadSettings(loaded);
    EXPECT_EQ(Describe(loaded), Describe(m_settings));
    const std::wstring section = Widen(KeyPath() + "\\" + m_app.m_strAppName + "\\Settings");
    wchar_t stored[MAX_PATH] = L"";
    DWORD size = sizeof stored;
    ::RegGetValueW(HKEY_CURRENT_USER, section.c_str(), L"Directory", RRF_RT_REG_SZ, nullptr, stored, &size);
    EXPECT_EQ(std::wstring(stored), L"C:\\снимки\\日本\\");

    // A value written by the ANSI forms (code page 1252) reads back as the same text.
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, section.c_str(), 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    const char ansi[] = "C:\\Bilder\\\xDC" "bersicht";
    ::RegSetValueExA(key, "Directory", 0, REG_SZ, reinterpret_cast<const BYTE*>(ansi), sizeof ansi);
    ::RegCloseKey(key);
    std::string value;
    EXPECT_TRUE(m_app.GetProfileString("Settings", "Directory", value, MAX_PATH - 1));
    EXPECT_EQ(value, "C:\\Bilder\\Übersicht");
}

TEST(CursorSnapshot, HoldsTheCursorWhereItIs)
{
    ::SetCursorPos(123, 45);
    CaptureState state;
    state.m_cursorInfo.hCursor = reinterpret_cast<HCURSOR>(1);
    TakeCursorSnapshot(state);
    EXPECT_EQ(state.m_cursorInfo.cbSize, sizeof(CURSORINFO));
    EXPECT_EQ(state.m_cursorInfo.ptScreenPos.x, 123);
    EXPECT_EQ(state.m_cursorInfo.ptScreenPos.y, 45);
}

