// The two executables as a user meets them: Pixlet64.exe beside Pixlet32.exe is the same program,
// with one instance across both names and one profile; the 32-bit program reads a 64-bit
// program's tree through it, and says why it cannot when it stands alone.
#include "support/Clipboard.h"
#include "support/ControlHost.h"
#include "support/Desktop.h"
#include "support/Files.h"
#include "support/MessageBoxWatcher.h"
#include "support/Picker.h"
#include "support/PixletTest.h"
#include "support/Screen.h"

#include <gtest/gtest.h>

#include <string>

using namespace testing_support;

namespace {
using Companion = CPixletProfileTest;

// Where the picker is shown: below the host's window.
const POINT kPickerAt = {700, 700};
}  // namespace

TEST_F(Companion, BothNamesAreOneProgramWithOneInstanceAndOneProfile)
{
    // The letters that the 32-bit program keeps, in its profile.
    SetHotKeyValue("AVIB", 'D');
    SetHotKeyValue("AVIE", 'F');
    SetHotKeyValue("AVIAB", 'G');
    const std::string names[2] = {CompanionPath(), PixletPath()};
    for (int first = 0; first < 2; ++first) {
        SCOPED_TRACE(names[first] + " first");
        CPixlet running;
        ASSERT_TRUE(StartAndWaitForIcon(running, names[first]));
        EXPECT_FALSE(IsHotKeyFree(kCtrlShift, 'D'));
        EXPECT_FALSE(IsHotKeyFree(kCtrlShift, 'G'));
        EXPECT_TRUE(IsHotKeyFree(kCtrlShift, 'B')) << "the letters are not those of the profile";

        // The other name started meanwhile is a second start: it ends at once, without a window.
        const CShortRun second = RunToItsEnd(names[1 - first]);
        EXPECT_TRUE(second.ended) << "the second start did not end";
        EXPECT_EQ(second.exitCode, 0u);
        EXPECT_FALSE(second.sawWindow);
        EXPECT_TRUE(running.IsRunning());
        EXPECT_EQ(TrayIconCount(), 1);
        ASSERT_TRUE(running.Exit());
    }
}

TEST_F(Companion, EitherProgramRefusesAReaderModeItDoesNotUnderstandAndTakesNothing)
{
    for (const std::string& exe : {PixletPath(), CompanionPath()})
        for (const char* arguments : {"/pixlet-read-text 1002A", "/pixlet-read-text 0001002A more"}) {
            SCOPED_TRACE(exe + " " + arguments);
            const CShortRun run = RunToItsEnd(exe, arguments);
            EXPECT_TRUE(run.ended);
            EXPECT_EQ(run.exitCode, 2u);
            EXPECT_FALSE(run.sawWindow);
            EXPECT_TRUE(IsInstanceMutexFree());
            EXPECT_EQ(TrayIconCount(), 0);
        }
}

TEST_F(Companion, ThePickerTakesA64BitProgramsTreeAsText)
{
    CControlHost host("controls", kLargeAddressAware64BitHost);
    ASSERT_TRUE(host.Window());
    CPixlet app;
    ASSERT_TRUE(StartAndWaitForIcon(app));
    PutOnClipboard("before");
    CMessageBoxWatcher watcher(IDOK, app.Pid());
    ASSERT_TRUE(PickText(app.MainWindow(), kPickerAt, Centre(host.Control(kTreeRoots))));
    EXPECT_TRUE(WaitUntil([] { return ClipboardText() == Golden("tree_roots.txt"); }, 10000)) << ClipboardText();
    EXPECT_FALSE(watcher.Wait(500)) << "it said: " << watcher.m_text;
    EXPECT_TRUE(app.Exit());
}

TEST_F(Companion, AloneInAFolderThe32BitProgramSaysWhyItCannotReadSuchATree)
{
    if (sizeof(void*) == 8)
        GTEST_SKIP() << "only the 32-bit program needs the companion; here the program under test is 64-bit";
    CControlHost host("controls", kLargeAddressAware64BitHost);
    ASSERT_TRUE(host.Window());
    const std::string folder = CScratch::Windows("alone\\");
    ::CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(::CopyFileA(PixletPath().c_str(), (folder + "Pixlet32.exe").c_str(), FALSE));
    {
        CPixlet alone;
        ASSERT_TRUE(StartAndWaitForIcon(alone, folder + "Pixlet32.exe"));
        PutOnClipboard("before");
        CMessageBoxWatcher watcher(IDOK, alone.Pid());
        ASSERT_TRUE(PickText(alone.MainWindow(), kPickerAt, Centre(host.Control(kTreeRoots))));
        ASSERT_TRUE(watcher.Wait());
        EXPECT_EQ(watcher.m_caption, "Pixlet32");
        EXPECT_EQ(watcher.m_text, "The items of this tree view cannot be read: it belongs to a 64-bit program, and its "
                                  "item handles do not fit a 32-bit reader. Pixlet64.exe, which reads them, is not in " +
                                      folder + " beside this program.\r\nThe clipboard was left as it was.");
        EXPECT_EQ(ClipboardText(), "before");
        EXPECT_TRUE(alone.Exit());
    }
    ::DeleteFileA((folder + "Pixlet32.exe").c_str());
}
