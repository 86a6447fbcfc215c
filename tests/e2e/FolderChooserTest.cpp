// The folder chooser of the Option dialog's "..." as a user works it: where it opens, what it
// refuses, the folders it makes on request or cannot make; and what Cancel in it, or in the
// Save As dialog of the target file's "...", keeps; and names in another script, from the
// chooser to the files written there.
#include "support/Desktop.h"
#include "support/Dialogs.h"
#include "support/Files.h"
#include "support/PixletTest.h"
#include "support/Screen.h"
#include "support/Video.h"

#include "resource.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {
const UINT kUpOneFolder = 0xA001;  // the file dialog's toolbar button
const char kNotThere[] = "\n\nThis path does not exist. Do you want to create it?";

using FolderChooser = COptionTest;
}  // namespace

TEST_F(FolderChooser, ChoosesOrMakesAFolderAndSaysWhatItCannot)
{
    CPixlet app;
    ASSERT_TRUE(Start(app));
    const std::string made = CScratch::Windows("made\\day1"), never = CScratch::Windows("never");
    HWND dialog = OpenOption();
    ASSERT_TRUE(dialog);

    Step("without a directory it opens at C:\\; up from there is My Computer, no folder on disk: "
         "nothing to accept, as a path with two backslashes in a row");
    Press(dialog, IDC_BROWSE_DIRECTORY);
    const HWND chooser = WaitForDialog(Pid(), "Select folder");
    ASSERT_TRUE(chooser) << "no folder chooser";
    EXPECT_EQ(TextOf(chooser, kFolderPathBox), "C:\\");
    WaitUntilPainted(chooser);
    SaveScreenshotIfAsked("folder-chooser");
    ::PostMessageA(chooser, WM_COMMAND, kUpOneFolder, 0);
    EXPECT_TRUE(WaitUntil([&] { return TextOf(chooser, kFolderPathBox).empty(); }, 3000))
        << TextOf(chooser, kFolderPathBox);
    EXPECT_EQ(PressFor(chooser, IDOK), "Invalid Folder");
    TypeText(chooser, kFolderPathBox, "C:\\users\\\\public");
    EXPECT_EQ(PressFor(chooser, IDOK), "Invalid Folder");

    Step("a folder that cannot be made, under a file or on no drive: it says so and stays open");
    ASSERT_TRUE(WriteBytes(CScratch::Windows("file"), {}));
    for (const std::string& path : {CScratch::Windows("file\\sub"), std::string("Q:\\nowhere")}) {
        TypeText(chooser, kFolderPathBox, path);
        EXPECT_EQ(PressFor(chooser, IDOK, IDYES), path + kNotThere);
        EXPECT_EQ(AnswerMessageBox(Pid()).text, "Could not create folder:\n" + path);
        EXPECT_TRUE(::IsWindowVisible(chooser));
    }

    Step("two nested folders that do not exist, with a trailing backslash: made without it");
    TypeText(chooser, kFolderPathBox, made + "\\");
    EXPECT_EQ(PressFor(chooser, IDOK, IDYES), made + kNotThere);
    ASSERT_TRUE(Settled(chooser));
    EXPECT_TRUE(IsDirectory(made));
    EXPECT_EQ(TextOf(dialog, IDC_DIRECTORY), made + "\\");
    EXPECT_TRUE(IsChecked(dialog, IDC_SAVE_TO_FILE) && IsChecked(dialog, IDC_AUTO_NUMBER));

    Step("No to the question still chooses the folder, without making it");
    EXPECT_EQ(ChooseFolder(dialog, never, IDNO), never + kNotThere);
    EXPECT_EQ(TextOf(dialog, IDC_DIRECTORY), never + "\\");
    EXPECT_FALSE(FileExists(never));

    Step("a target file chosen with \"...\" ticks \"Overwrite the same file\"; Cancel in either "
         "chooser then keeps what was chosen, also after OK");
    const std::string one = CScratch::Windows("one.png");
    SaveAs(dialog, IDC_BROWSE_TARGET_FILE, one);
    EXPECT_EQ(TextOf(dialog, IDC_TARGET_FILE), one);
    EXPECT_TRUE(IsChecked(dialog, IDC_OVERWRITE));
    CancelBrowse(dialog, IDC_BROWSE_TARGET_FILE, kSaveAs);
    CancelBrowse(dialog, IDC_BROWSE_DIRECTORY, "Select folder");
    ASSERT_EQ(PressFor(dialog, IDOK), "");
    ASSERT_TRUE(dialog = OpenOption());
    EXPECT_EQ(NamedTexts(dialog, {{"file", IDC_TARGET_FILE}, {"directory", IDC_DIRECTORY}}),
              "file=" + one + " directory=" + never + "\\");
    PressFor(dialog, IDCANCEL);
}

TEST_F(FolderChooser, NamesInAnotherScriptFromTheChooserToThePictureAndTheRecording)
{
    // On drive C: of the Wine prefix, as a user's own folders are; removed before and after.
    const std::string top = "C:\\снимки", folder = top + "\\日本", clip = top + "\\клип.avi";
    std::string hostTop = HostPath("C:\\");
    ASSERT_FALSE(hostTop.empty()) << "Wine does not say where C: is";
    hostTop = hostTop.substr(0, hostTop.find_last_not_of('/') + 1) + "/снимки";
    struct CRemoved {
        std::string host;
        ~CRemoved() { RunOnHost("rm -rf '" + host + "'"); }
    } removed{hostTop};
    RunOnHost("rm -rf '" + hostTop + "'");
    CPixlet app;
    ASSERT_TRUE(Start(app));
    HWND dialog = OpenOption();
    ASSERT_TRUE(dialog);

    Step("typed into the folder chooser: asked about, made with the folder above it, shown in the dialog");
    Press(dialog, IDC_BROWSE_DIRECTORY);
    const HWND chooser = WaitForDialog(Pid(), "Select folder");
    ASSERT_TRUE(chooser) << "no folder chooser";
    SetText(chooser, kFolderPathBox, folder);
    EXPECT_EQ(PressFor(chooser, IDOK, IDYES), folder + kNotThere);
    ASSERT_TRUE(Settled(chooser));
    EXPECT_TRUE(IsDirectory(folder));
    EXPECT_EQ(TextOf(dialog, IDC_DIRECTORY), folder + "\\");

    Step("the prefix, the AVI file named in Save As, a rectangle and one second");
    SetText(dialog, IDC_PREFIX, "截图");
    SaveAs(dialog, IDC_BROWSE_AVI_FILE, clip);
    EXPECT_EQ(TextOf(dialog, IDC_AVI_FILE), clip);
    const HWND selector = Browse(dialog, IDC_BROWSE_AVI_RECT);
    ASSERT_TRUE(selector);
    DragMouse(POINT{100, 120}, POINT{260, 240});
    EXPECT_EQ(ChosenRect(dialog, selector, IDC_AVI_RECT), "(100, 120) - (260, 240)");
    TypeText(dialog, IDC_END_AFTER, "1");
    ASSERT_EQ(PressFor(dialog, IDOK), "");
    EXPECT_EQ("dir=" + SettingsText("Directory") + " prefix=" + SettingsText("Prefix") + " avi=" + SettingsText("AviFile"),
              "dir=" + folder + "\\ prefix=截图 avi=" + clip);

    Step("PrintScreen writes 截图001.png there: the screen, as ImageMagick reads it on the host");
    const RECT screen = Screen();
    CPaintedWindow pattern(screen, CPaintedWindow::Pattern);
    PressHotKey({VK_SNAPSHOT});
    ASSERT_TRUE(FileAppears(folder + "\\", "截图001.png"));
    const CPixels png = DecodeImageFile(hostTop + "/日本/截图001.png", screen.right, screen.bottom);
    ASSERT_FALSE(png.Empty()) << "截图001.png is no picture of the screen";
    EXPECT_EQ(CompareWithPattern(png, 0, 0).count, 0);

    Step("a timed recording goes into клип.avi, as ffprobe reads it");
    ASSERT_TRUE(Records(clip, {VK_CONTROL, VK_SHIFT, 'C'}));
    const CVideoInfo video = ProbeVideo(hostTop + "/клип.avi");
    EXPECT_EQ(std::to_string(video.width) + "x" + std::to_string(video.height) + " " + video.frameRate + " " +
                  std::to_string(video.packets),
              "160x120 10/1 10");
}
