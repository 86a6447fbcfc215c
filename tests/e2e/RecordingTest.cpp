// Recording as a user sets it up and does it: the AVI file and the rectangle chosen in the Option
// dialog, a recording of "End after" seconds, one begun and ended by hand, and one with the
// cursor; read back by ffprobe and ffmpeg.
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
using Recording = COptionTest;
}  // namespace

TEST_F(Recording, RecordingsGoIntoTheAviFileChosenWithBrowse)
{
    CPixlet app;
    ASSERT_TRUE(Start(app));
    CPaintedWindow pattern(Screen(), CPaintedWindow::Pattern);
    HWND dialog = OpenOption();
    ASSERT_TRUE(dialog);

    Step("numbered PNG files, and a timed recording of a rectangle into a file named without its extension");
    EXPECT_EQ(ChooseFolder(dialog, CScratch::WindowsDir()), "");
    TypeText(dialog, IDC_PREFIX, "shot");
    SaveAs(dialog, IDC_BROWSE_AVI_FILE, CScratch::Windows("clip"));
    const std::string clip = CScratch::Windows("clip.avi"), hostClip = CScratch::Host("clip.avi");
    EXPECT_EQ(TextOf(dialog, IDC_AVI_FILE), clip);
    CancelBrowse(dialog, IDC_BROWSE_AVI_FILE, kSaveAs);
    EXPECT_EQ(TextOf(dialog, IDC_AVI_FILE), clip) << "Cancel changed the file";
    const HWND selector = Browse(dialog, IDC_BROWSE_AVI_RECT);
    ASSERT_TRUE(selector);
    DragMouse(POINT{100, 120}, POINT{260, 240});
    EXPECT_EQ(ChosenRect(dialog, selector, IDC_AVI_RECT), "(100, 120) - (260, 240)");
    TypeText(dialog, IDC_AVI_RATE, "5");
    TypeText(dialog, IDC_END_AFTER, "2");
    WaitUntilPainted(dialog);
    SaveScreenshotIfAsked("option-dialog-filled");
    ASSERT_EQ(PressFor(dialog, IDOK), "");

    Step("the automatic begin letter records End after seconds of frames and ends by itself");
    ASSERT_TRUE(Records(clip, {VK_CONTROL, VK_SHIFT, 'C'}));
    const CVideoInfo timed = ProbeVideo(hostClip);
    EXPECT_EQ(timed.packets, 10);
    EXPECT_EQ(timed.frameRate, "5/1");
    EXPECT_EQ(std::to_string(timed.width) + "x" + std::to_string(timed.height), "160x120");
    std::vector<CPixels> frames = DecodeFrames(hostClip, 160, 120);
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(CompareWithPattern(frames.back(), 100, 120).count, 0);

    Step("the manual begin letter records until the end letter");
    ASSERT_TRUE(Records(clip, {VK_CONTROL, VK_SHIFT, 'B'}, {VK_CONTROL, VK_SHIFT, 'E'}));
    const int packets = ProbeVideo(hostClip).packets;
    EXPECT_TRUE(packets >= 8 && packets <= 20) << packets;

    Step("with Including cursor: the cursor where it was at the key, in every frame");
    ASSERT_TRUE(dialog = OpenOption());
    Toggle(dialog, IDC_INCLUDE_CURSOR);
    ASSERT_EQ(PressFor(dialog, IDOK), "");
    // The cursor taken is the one of the window in front (under Wine): the pattern's arrow.
    const POINT cursor = {180, 170};
    ::SetForegroundWindow(pattern);
    MoveMouseTo(POINT{cursor.x + 1, cursor.y + 1});
    MoveMouseTo(cursor);
    ASSERT_TRUE(Records(clip, {VK_CONTROL, VK_SHIFT, 'C'}));
    frames = DecodeFrames(hostClip, 160, 120);
    EXPECT_EQ(frames.size(), 10u);
    for (size_t i = 0; i < frames.size(); ++i)
        EXPECT_TRUE(PatternWithCursorAt(frames[i], 100, 120, cursor)) << "frame " << i;
}
