// The names of the files that captures are written to.
#include "capture/Delivery.h"
#include "capture/SettingRules.h"
#include "framework/Paths.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
class FileNames : public ::testing::Test
{
protected:
    // As the Option dialog leaves the settings after OK in numbered mode.
    void Numbered(const char* directory, const char* prefix, int base, int digits, const char* extension = ".png")
    {
        m_settings.m_nSaveMode = 1;
        std::strcpy(m_settings.m_szDirectory, directory);
        std::strcpy(m_settings.m_szPrefix, prefix);
        std::strcpy(m_settings.m_szExtension, extension);
        m_settings.m_nBaseNumber = base;
        m_settings.m_nDigits = digits;
        m_nLastNumber = base - 1;
    }
    std::string Next()
    {
        char name[kFileNameBytes];
        EXPECT_TRUE(BuildFileName(m_settings, m_nLastNumber, name));
        return name;
    }

    CaptureSettings m_settings;
    int m_nLastNumber = 0;
};
}  // namespace

TEST_F(FileNames, NumberedFilesCountUpFromTheBaseNumber)
{
    Numbered("C:\\shots", "cap", 1, 3);
    EXPECT_EQ(Next(), "C:\\shots\\cap001.png");
    EXPECT_EQ(Next(), "C:\\shots\\cap002.png");
    m_nLastNumber = 998;
    EXPECT_EQ(Next(), "C:\\shots\\cap999.png");
    EXPECT_EQ(Next(), "C:\\shots\\cap1000.png") << "a longer number is written whole";

    Numbered("C:\\shots", "cap", 0, 3, ".bmp");
    EXPECT_EQ(Next(), "C:\\shots\\cap000.bmp");

    Numbered("C:\\", "cap", 1, 3);
    EXPECT_EQ(Next(), "C:\\cap001.png") << "no second backslash";
    Numbered("D:\\pictures\\", "x", 1, 3);
    EXPECT_EQ(Next(), "D:\\pictures\\x001.png");
}

TEST_F(FileNames, OneDigitGrowsWithTheNumber)
{
    Numbered("C:\\s", "p", 9, 1);
    EXPECT_EQ(Next(), "C:\\s\\p9.png");
    EXPECT_EQ(Next(), "C:\\s\\p10.png");
    EXPECT_EQ(Next(), "C:\\s\\p11.png");
    Numbered("C:\\s", "p", 7, 6);
    EXPECT_EQ(Next(), "C:\\s\\p000007.png");
}

TEST_F(FileNames, ABaseAboveTheLastNumberRestartsTheSeries)
{
    EXPECT_EQ(NextFileNumber(9, 7), 10);
    EXPECT_EQ(NextFileNumber(6, 7), 7);
    EXPECT_EQ(NextFileNumber(-1, 0), 0);
    EXPECT_EQ(NextFileNumber(0, 1), 1) << "the value at start: numbering starts at the base";
    EXPECT_EQ(NextFileNumber(kLastFileNumber, 0), kLastFileNumber) << "counted past what the number holds";
}

TEST_F(FileNames, OverwriteModeUsesTheTargetFileAsItIs)
{
    std::strcpy(m_settings.m_szTargetFile, "C:\\shot.BMP");
    EXPECT_EQ(Next(), "C:\\shot.BMP");
    EXPECT_EQ(Next(), "C:\\shot.BMP");
    EXPECT_EQ(m_nLastNumber, 0) << "no number is used";
    m_settings.m_szTargetFile[0] = '\0';
    EXPECT_EQ(Next(), "");
}

TEST_F(FileNames, ANameLongerThanABufferIsRefusedButItsNumberIsUsedUp)
{
    std::string directory = "C:\\";
    while (directory.size() < MAX_PATH - 6)  // a directory as long as the setting holds
        directory += "d\\";
    Numbered(directory.c_str(), "cap", 1, 3);
    char name[kFileNameBytes];
    EXPECT_FALSE(BuildFileName(m_settings, m_nLastNumber, name));
    EXPECT_STREQ(name, "");
    EXPECT_EQ(m_nLastNumber, 1);
    // Exactly MAX_PATH - 1 characters still fit.
    directory.resize(MAX_PATH - 1 - std::strlen("cap001.png"));
    directory.back() = '\\';
    Numbered(directory.c_str(), "cap", 1, 3);
    EXPECT_TRUE(BuildFileName(m_settings, m_nLastNumber, name));
    EXPECT_EQ(std::strlen(name), size_t(MAX_PATH - 1));
    // Counted in characters, not bytes: MAX_PATH - 1 Cyrillic ones (twice the bytes) fit, one more not.
    std::string cyrillic = "C:\\";
    while (cyrillic.size() < 3 + 2 * (MAX_PATH - 1 - 3 - 11))
        cyrillic += "д";
    Numbered((cyrillic + "\\").c_str(), "cap", 1, 3);
    EXPECT_TRUE(BuildFileName(m_settings, m_nLastNumber, name));
    EXPECT_EQ(std::string(name), cyrillic + "\\cap001.png");
    Numbered((cyrillic + "д\\").c_str(), "cap", 1, 3);
    EXPECT_FALSE(BuildFileName(m_settings, m_nLastNumber, name));
}

TEST_F(FileNames, OnlyNamesEndingInBmpAreBitmaps)
{
    EXPECT_TRUE(IsBmpFileName("shot.bmp"));
    EXPECT_TRUE(IsBmpFileName("C:\\shot.BMP"));
    EXPECT_TRUE(IsBmpFileName(".bMp"));
    EXPECT_FALSE(IsBmpFileName("shot.jpg"));
    EXPECT_FALSE(IsBmpFileName("shot.bmp.png"));
    EXPECT_FALSE(IsBmpFileName("bmp"));
    EXPECT_FALSE(IsBmpFileName("shot"));
    EXPECT_FALSE(IsBmpFileName(""));
}

TEST(FileNamesInAnyScript, ABackslashByteIsABackslash)
{
    // In UTF-8 no byte of "表" or "снимки" is 0x5C.
    EXPECT_FALSE(EndsWithBackslash("C:\\表"));
    EXPECT_TRUE(EndsWithBackslash("C:\\表\\"));
    EXPECT_FALSE(EndsWithBackslash(""));
    EXPECT_EQ(NumberedFileName("C:\\снимки\\日本", "截图", 1, 3, ".png"), "C:\\снимки\\日本\\截图001.png");
    EXPECT_EQ(NumberedFileName("D:\\表\\", "x", 2, 1, ".bmp"), "D:\\表\\x2.bmp");
}
