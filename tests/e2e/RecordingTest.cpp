// Recording as a user sets it up and does it: the AVI file and the rectangle chosen in the Option
// dialog, a recording of "End after" seconds, one begun and ended by hand, one with the cursor,
// and one compressed of a scene that changes; a recording that goes on in next files, and the tray icon that shows a recording and
// ends it with a click, and the end of the session during a recording; read back by ffprobe and
// ffmpeg.
#include "support/Desktop.h"
#include "support/Dialogs.h"
#include "support/Files.h"
#include "support/PixletTest.h"
#include "support/Screen.h"
#include "support/Video.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <utility>

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

    Step("compressed losslessly: the frames asked, in ZMBV, each exactly a picture the screen showed");
    ASSERT_TRUE(dialog = OpenOption());
    Toggle(dialog, IDC_INCLUDE_CURSOR);
    Toggle(dialog, IDC_AVI_COMPRESS);
    ASSERT_EQ(PressFor(dialog, IDOK), "");
    const COLORREF before = RGB(200, 0, 0), after = RGB(0, 160, 0);
    CPaintedWindow scene(RECT{100, 120, 260, 240}, CPaintedWindow::Solid, before);
    PressHotKey({VK_CONTROL, VK_SHIFT, 'C'});
    ASSERT_TRUE(WaitUntil([&] { return IsInUse(clip); }, 5000)) << "no recording began";
    scene.SetColour(after);  // after the first frame, long before the last
    ASSERT_TRUE(WaitUntil([&] { return !IsInUse(clip); }, 10000)) << "the recording did not end";
    const CVideoInfo zmbv = ProbeVideo(hostClip);
    EXPECT_EQ(zmbv.codec, "zmbv");
    EXPECT_EQ(zmbv.packets, 10);
    frames = DecodeFrames(hostClip, 160, 120);
    ASSERT_EQ(frames.size(), 10u);
    EXPECT_TRUE(AllOf(frames.front(), before));
    EXPECT_TRUE(AllOf(frames.back(), after));
    for (size_t i = 0; i < frames.size(); ++i)
        EXPECT_TRUE(AllOf(frames[i], before) || AllOf(frames[i], after)) << "frame " << i;
}

TEST_F(Recording, ALongRecordingGoesOnInNextFilesWhileTheTrayIconShowsIt)
{
    const RECT area = {100, 120, 260, 240};
    const DWORD rate = 5, seconds = 3;
    const std::string clip = CScratch::Windows("clip.avi");
    SetSettingsValue("AviFile", REG_SZ, clip.c_str(), static_cast<DWORD>(clip.size() + 1));
    SetSettingsValue("AviRect", REG_BINARY, &area, sizeof area);
    SetSettingsValue("AviRate", REG_DWORD, &rate, sizeof rate);
    SetSettingsValue("AviEndAfter", REG_DWORD, &seconds, sizeof seconds);
    const char* parts[] = {"clip.avi", "clip-2.avi", "clip-3.avi", "clip-4.avi", "clip-5.avi"};
    for (const char* part : parts)
        ::DeleteFileA(CScratch::Windows(part).c_str());
    // The program's test hook: a file holds four frames of this rectangle, not 2 GB of them.
    const unsigned long long limit = 64 * 1024 + 4 * (160 * 120 * 4 + 24);
    ::SetEnvironmentVariableA("PIXLET_AVI_FILE_LIMIT", std::to_string(limit).c_str());
    CPixlet app;
    const bool started = Start(app);
    ::SetEnvironmentVariableA("PIXLET_AVI_FILE_LIMIT", nullptr);
    ASSERT_TRUE(started);
    const POINT away = {600, 500};

    Step("idle: the program's icon, its name as the tip");
    // Taken once the tray shows the same twice in a row: it may still be painting the new icon.
    CPixels idle;
    ASSERT_TRUE(WaitUntil(
        [&] {
            CPixels now = TrayIconPixels();
            std::swap(now, idle);
            return !idle.Empty() && now.data == idle.data;
        },
        10000, 300));
    EXPECT_EQ(TrayIconTip(away), "Pixlet32");

    Step("a timed recording: another icon, and a tip that says a click stops it");
    PressHotKey({VK_CONTROL, VK_SHIFT, 'C'});
    ASSERT_TRUE(WaitUntil([&] { return IsInUse(clip); }, 5000)) << "no recording began";
    EXPECT_NE(TrayIconPixels().data, idle.data);
    EXPECT_EQ(TrayIconTip(away), "Pixlet32 - recording. Click the icon to stop.");

    Step("its end: the icon and tip as before; four complete files of rate x seconds frames in all");
    EXPECT_TRUE(WaitUntil([&] { return TrayIconPixels().data == idle.data; }, 10000)) << "the icon stays changed";
    EXPECT_TRUE(WaitUntil([&] { return !IsInUse(CScratch::Windows("clip-4.avi")); }, 5000));
    EXPECT_EQ(TrayIconTip(away), "Pixlet32");
    int frames = 0;
    for (int i = 0; i < 4; ++i) {
        const CVideoInfo info = ProbeVideo(CScratch::Host(parts[i]));
        EXPECT_TRUE(info.read) << parts[i];
        EXPECT_EQ(info.frameRate, "5/1") << parts[i];
        EXPECT_EQ(info.packets, i < 3 ? 4 : 3) << parts[i];
        frames += info.packets;
    }
    EXPECT_EQ(frames, 15);
    EXPECT_FALSE(FileExists(CScratch::Windows(parts[4])));

    Step("a click on the icon ends a manual recording, and opens nothing else");
    PressHotKey({VK_CONTROL, VK_SHIFT, 'B'});
    ASSERT_TRUE(WaitUntil([&] { return IsInUse(clip); }, 5000)) << "no recording began";
    ::Sleep(1000);
    ClickAt(Centre(TrayIconRect()));
    EXPECT_TRUE(WaitUntil([&] { return !IsInUse(clip); }, 5000)) << "the click did not end the recording";
    EXPECT_TRUE(WaitUntil([&] { return TrayIconPixels().data == idle.data; }, 5000)) << "the icon stays changed";
    EXPECT_TRUE(Idle());
    EXPECT_FALSE(::IsWindowVisible(app.MainWindow())) << "the click also opened the picker";
    EXPECT_GE(ProbeVideo(CScratch::Host("clip.avi")).packets, 3);

    Step("the session ends during a recording's second part: both files complete, and nothing holds up the end");
    PressHotKey({VK_CONTROL, VK_SHIFT, 'B'});
    // The old second part is touched too as the recording begins (it is removed): the second part
    // runs once the first, emptied as it began, was completed.
    ASSERT_TRUE(WaitUntil([&] { return IsInUse(clip); }, 15000)) << "no recording began";
    ASSERT_TRUE(WaitUntil([&] { return IsCompleteRiff(clip) && IsInUse(CScratch::Windows(parts[1])); }, 15000))
        << "no second part began";
    // Wine's wineboot sends the two messages to every window, then ends the processes that answered.
    const CShortRun ending = RunToItsEnd("C:\\windows\\system32\\wineboot.exe", "--end-session");
    EXPECT_TRUE(ending.ended && !ending.sawWindow) << "the end of the session waited for the program";
    EXPECT_TRUE(app.WaitForExit(5000));
    for (const char* part : {parts[0], parts[1]})
        EXPECT_TRUE(ProbeVideo(CScratch::Host(part)).read) << part << " is not complete";
}
