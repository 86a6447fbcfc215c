// The settings record, its profile and the cursor snapshot.
#include "app/Settings.h"
#include "framework/App.h"

#include <gtest/gtest.h>

namespace {
const char kTestCompany[] = "Pixlet32 Unit Tests";

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

TEST_F(Profile, SavedLettersComeBackAndEverythingElseIsReset)
{
    m_settings.m_chAviBeginKey = 'D';
    m_settings.m_chAviEndKey = 'F';
    m_settings.m_chAviAutoBeginKey = 'G';
    SaveSettings(m_settings);
    DWORD type = 0;
    EXPECT_EQ(ReadValue("AVIB", &type), 68u);
    EXPECT_EQ(type, DWORD(REG_DWORD));
    EXPECT_EQ(ReadValue("AVIE", &type), 70u);
    EXPECT_EQ(ReadValue("AVIAB", &type), 71u);

    m_settings = CaptureSettings{};
    strcpy(m_settings.m_szDirectory, "C:\\shots");
    strcpy(m_settings.m_szPrefix, "cap");
    strcpy(m_settings.m_szTargetFile, "C:\\a.png");
    strcpy(m_settings.m_szAviFile, "C:\\a.avi");
    m_settings.m_rcCapture = RECT{1, 2, 3, 4};
    m_settings.m_rcAvi = RECT{5, 6, 7, 8};
    LoadSettings(m_settings);
    EXPECT_EQ(m_settings.m_chAviBeginKey, 'D');
    EXPECT_EQ(m_settings.m_chAviEndKey, 'F');
    EXPECT_EQ(m_settings.m_chAviAutoBeginKey, 'G');
    EXPECT_STREQ(m_settings.m_szDirectory, "");
    EXPECT_STREQ(m_settings.m_szPrefix, "");
    EXPECT_STREQ(m_settings.m_szTargetFile, "");
    EXPECT_STREQ(m_settings.m_szAviFile, "");
    EXPECT_EQ(FormatRect(m_settings.m_rcCapture), "(0, 0) - (0, 0)");
    EXPECT_EQ(FormatRect(m_settings.m_rcAvi), "(0, 0) - (0, 0)");
}

TEST_F(Profile, AHandEditedValueBecomesALetterByItsLowByte)
{
    m_app.WriteProfileInt("Hot Key", "AVIB", 0x161);  // low byte 'a'
    m_app.WriteProfileInt("Hot Key", "AVIE", 49);      // '1'
    LoadSettings(m_settings);
    EXPECT_EQ(m_settings.m_chAviBeginKey, 'a');
    EXPECT_EQ(m_settings.m_chAviEndKey, '1');
    EXPECT_EQ(m_settings.m_chAviAutoBeginKey, 'C');
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

