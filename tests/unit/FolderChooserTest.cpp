// The paths the folder chooser accepts: typed or browsed, double-byte ones, relative ones, and
// those too long for the settings.
#include "ui/SelectFolderDialog.h"

#include <gtest/gtest.h>

TEST(FolderChooser, AcceptsAFullFolderWithoutDoubledBackslashesThatFitsTheSettings)
{
    // In Shift-JIS 0x95 0x5C is one character: no doubled and no trailing backslash here.
    std::string path;
    EXPECT_TRUE(AcceptedFolderPath("C:\\\x95\\\\x", "", path, 932));
    EXPECT_TRUE(AcceptedFolderPath("C:\\\x95\\", "", path, 932));
    EXPECT_EQ(path, "C:\\\x95\\");
    EXPECT_FALSE(AcceptedFolderPath("\\\\server\\share", "C:\\", path)) << "network paths are refused";
    EXPECT_TRUE(AcceptedFolderPath("", "C:\\", path));
    EXPECT_EQ(path, "C:");
    // A relative path is taken in the folder shown, and kept full.
    const struct {
        const char *typed, *browsed, *full;
    } relative[] = {{"shots", "C:\\pics", "C:\\pics\\shots"}, {"s\\", "C:\\", "C:\\s"},
                    {"..\\x", "C:\\a\\b", "C:\\a\\x"},   {"\\top", "D:\\a", "D:\\top"}};
    for (const auto& test : relative) {
        EXPECT_TRUE(AcceptedFolderPath(test.typed, test.browsed, path)) << test.typed;
        EXPECT_EQ(path, test.full) << test.typed;
    }
    // With its backslash the folder must fit the settings: never cut.
    EXPECT_TRUE(FolderFitsSettings(std::string(MAX_PATH - 2, 'a')));
    EXPECT_FALSE(FolderFitsSettings(std::string(MAX_PATH - 1, 'a')));
}
