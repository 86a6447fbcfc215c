// The README.txt that ships with the program tells the user the program's own hot keys.
#include "app/HotKeys.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <vector>

using namespace testing_support;

namespace {
std::string KeyName(const HotKeyBinding& key)
{
    std::string name;
    if (key.modifiers & MOD_CONTROL)
        name += "Ctrl+";
    if (key.modifiers & MOD_SHIFT)
        name += "Shift+";
    if (key.modifiers & MOD_ALT)
        name += "Alt+";
    return name + (key.virtualKey == VK_SNAPSHOT ? std::string("PrintScreen") : std::string(1, char(key.virtualKey)));
}
}  // namespace

TEST(UserReadme, ItsHotKeysAreExactlyThoseTheProgramRegistersAtFirstStart)
{
    std::ifstream in(WindowsPath(std::string(PIXLET_TEST_DATA_DIR) + "/../res/README.txt"));
    ASSERT_TRUE(in) << "no res/README.txt";
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    // In the section "Hot keys" (up to the next underlined heading), each line that begins with a
    // key names it, up to the two spaces before what it does.
    std::set<std::string> told;
    const auto heading = std::find(lines.begin(), lines.end(), "Hot keys");
    ASSERT_NE(heading, lines.end());
    for (auto line = heading + 2; line + 1 < lines.end() && line[1].rfind("---", 0) != 0; ++line)
        if (!line->empty() && (*line)[0] != ' ' && line->find("  ") != std::string::npos)
            told.insert(line->substr(0, line->find("  ")));
    std::set<std::string> registered;
    for (const HotKeyBinding& key : HotKeyBindings(CaptureSettings()))
        registered.insert(KeyName(key));
    EXPECT_EQ(told, registered);
    EXPECT_EQ(registered.size(), 5u);
}
