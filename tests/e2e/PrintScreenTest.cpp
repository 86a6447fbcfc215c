// PrintScreen ("Copy automatically") as a user does it: the whole screen at once, no more than
// one in two seconds, onto the clipboard or into numbered files set in the Option dialog.
#include "support/Clipboard.h"
#include "support/Desktop.h"
#include "support/Dialogs.h"
#include "support/Files.h"
#include "support/PixletTest.h"
#include "support/Screen.h"

#include "resource.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {
using PrintScreen = CPixletTest;
using PrintScreenToFiles = COptionTest;
}  // namespace

TEST_F(PrintScreen, TakesTheWholeScreenAndNotTwiceInTwoSeconds)
{
    CPixlet app;
    ASSERT_TRUE(Start(app));
    Step("in the first second after the start: dropped");
    PutOnClipboard("before");
    PressKeys({VK_SNAPSHOT});
    EXPECT_FALSE(WaitUntil(HasBitmap, 1500)) << "a PrintScreen right after the start was taken";
    CPaintedWindow pattern(Screen(), CPaintedWindow::Pattern);

    Step("the whole screen, half a second after the key");
    m_pacer.WaitForNextAction();
    const DWORD pressed = ::GetTickCount();
    PressKeys({VK_SNAPSHOT});
    ASSERT_TRUE(WaitUntil(HasBitmap, 5000)) << "no picture after PrintScreen";
    EXPECT_GE(::GetTickCount() - pressed, 450u) << "the picture was taken before the half-second wait";
    const CPixels picture = ClipboardBitmap();
    EXPECT_EQ(picture.width, Screen().right);
    EXPECT_EQ(picture.height, Screen().bottom);
    const CPatternMismatch mismatch = CompareWithPattern(picture, 0, 0);
    EXPECT_EQ(mismatch.count, 0) << "first wrong pixel at " << mismatch.first.x << "," << mismatch.first.y;
    EXPECT_FALSE(HasText()) << "the clipboard holds more than the picture";

    Step("one second later: dropped; a little over two seconds after the one taken: taken");
    PutOnClipboard("second");
    WaitUntil([&] { return ::GetTickCount() - pressed >= 1000; }, 2000, 1);
    PressKeys({VK_SNAPSHOT});
    EXPECT_FALSE(WaitUntil([] { return ClipboardText() != "second"; }, 900))
        << "a PrintScreen one second after the last was taken";
    // The program took the last one half a second after its key, and may take this one sooner.
    WaitUntil([&] { return ::GetTickCount() - pressed >= 2400; }, 2000, 1);
    PressKeys({VK_SNAPSHOT});
    EXPECT_TRUE(WaitUntil(HasBitmap, 5000)) << "a PrintScreen two seconds after the last taken was dropped";
    EXPECT_TRUE(app.IsRunning());
}

TEST_F(PrintScreenToFiles, NumberedFilesOfTheChosenTypeAndDigitsWithOrWithoutTheCursor)
{
    CPixlet app;
    ASSERT_TRUE(Start(app));
    const std::string folder = CScratch::Windows("numbered\\");
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    HWND dialog = OpenOption();
    ASSERT_TRUE(dialog);

    Step("numbered BMP files of three digits from 5 on, without the cursor");
    EXPECT_EQ(ChooseFolder(dialog, folder), "");
    TypeText(dialog, IDC_PREFIX, "shot");
    TypeText(dialog, IDC_BASE_NUMBER, "5");
    ChooseItem(dialog, IDC_FILE_TYPE, 1);
    ASSERT_EQ(PressFor(dialog, IDOK), "");
    const RECT screen = Screen();
    CPaintedWindow pattern(screen, CPaintedWindow::Pattern);
    const POINT cursor = {600, 400};
    MoveMouseTo(cursor);
    for (const char* name : {"shot005.bmp", "shot006.bmp"}) {
        PressHotKey({VK_SNAPSHOT});
        EXPECT_TRUE(FileAppears(folder, name));
    }
    const CPixels bmp = DecodeImageFile(CScratch::Host("numbered/shot006.bmp"), screen.right, screen.bottom);
    ASSERT_FALSE(bmp.Empty()) << "shot006.bmp is no picture of the screen";
    EXPECT_EQ(CompareWithPattern(bmp, 0, 0).count, 0) << "more than the screen, a cursor perhaps, though not asked for";

    Step("then PNG files of five digits with the cursor, numbered from the base number again after OK");
    ASSERT_TRUE(dialog = OpenOption());
    ChooseItem(dialog, IDC_FILE_TYPE, 0);
    TypeText(dialog, IDC_DIGITS, "5");
    Toggle(dialog, IDC_INCLUDE_CURSOR);
    ASSERT_EQ(PressFor(dialog, IDOK), "");
    // The cursor that the program takes is the one of the window in front (under Wine): this
    // test's window, its arrow set again by a move over it.
    ::SetForegroundWindow(pattern);
    MoveMouseTo(POINT{cursor.x + 1, cursor.y + 1});
    MoveMouseTo(cursor);
    PressHotKey({VK_SNAPSHOT});
    ASSERT_TRUE(FileAppears(folder, "shot00005.png"));
    const CPixels png = DecodeImageFile(CScratch::Host("numbered/shot00005.png"), screen.right, screen.bottom);
    ASSERT_FALSE(png.Empty()) << "shot00005.png is no picture of the screen";
    EXPECT_TRUE(PatternWithCursorAt(png, 0, 0, cursor));

    Step("an OK that changes nothing that names the files goes on with the numbering");
    ASSERT_TRUE(dialog = OpenOption());
    TypeText(dialog, IDC_AVI_RATE, "12");
    ASSERT_EQ(PressFor(dialog, IDOK), "");
    PressHotKey({VK_SNAPSHOT});
    EXPECT_TRUE(FileAppears(folder, "shot00006.png")) << "shot00005.png was written over";

    Step("after a restart every choice is back, and the numbering goes on where it was");
    ASSERT_TRUE(app.Exit());
    CPixlet again;
    ASSERT_TRUE(Start(again));
    ASSERT_TRUE(dialog = OpenOption());
    EXPECT_EQ(NamedTexts(dialog, {{"dir", IDC_DIRECTORY}, {"prefix", IDC_PREFIX}, {"base", IDC_BASE_NUMBER},
                                  {"digits", IDC_DIGITS}, {"type", IDC_FILE_TYPE}}),
              "dir=" + folder + " prefix=shot base=5 digits=5 type=.png");
    EXPECT_TRUE(IsChecked(dialog, IDC_SAVE_TO_FILE) && IsChecked(dialog, IDC_AUTO_NUMBER) &&
                IsChecked(dialog, IDC_INCLUDE_CURSOR));
    PressFor(dialog, IDCANCEL);
    PressHotKey({VK_SNAPSHOT});
    EXPECT_TRUE(FileAppears(folder, "shot00007.png"));
}
