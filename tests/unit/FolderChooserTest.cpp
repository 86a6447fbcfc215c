// The paths the folder chooser accepts: typed or browsed, in any script, relative ones, and
// those too long for the settings.
#include "ui/SelectFolderDialog.h"

#include <gtest/gtest.h>

TEST(FolderChooser, AcceptsAFullFolderWithoutDoubledBackslashesThatFitsTheSettings)
{
    std::string path;
    EXPECT_FALSE(AcceptedFolderPath("C:\\表\\\\x", "", path)) << "a doubled backslash";
    EXPECT_TRUE(AcceptedFolderPath("C:\\表\\", "", path));
    EXPECT_EQ(path, "C:\\表");
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
