// The tray picker as a user drives it: shown by a left press on the tray icon, dragged onto
// a window of another program, which it frames and whose picture it takes; or with Ctrl held at
// the press, the text of another program's control (the host's list box: one line an item).
#include "support/Clipboard.h"
#include "support/ControlHost.h"
#include "support/Desktop.h"
#include "support/Picker.h"
#include "support/PixletTest.h"
#include "support/Screen.h"
#include "support/SoundCapture.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {
using TrayPicker = CPixletTest;
}  // namespace

TEST_F(TrayPicker, TrayLeftPressShowsThePickerTopmostAndCentredOnTheCursor)
{
    CPixlet app;
    ASSERT_TRUE(StartAndWaitForIcon(app));
    const HWND picker = app.MainWindow();
    RECT rect = WindowRect(picker);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    // The tray icon pressed with the cursor at `at`: true once the picker shows with its top-left
    // corner at (left, top).
    auto pressAt = [&](int x, int y, int left, int top) {
        return ShowPicker(picker, POINT{x, y}) && (rect = WindowRect(picker)).left == left && rect.top == top;
    };

    EXPECT_TRUE(pressAt(500, 400, 500 - width / 2, 400 - height / 2))
        << "picker at " << rect.left << "," << rect.top;
    EXPECT_EQ(rect.right - rect.left, width);
    EXPECT_TRUE(::GetWindowLongA(picker, GWL_EXSTYLE) & WS_EX_TOPMOST);

    // Near the bottom-right corner it is pushed back onto the screen...
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN), screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    EXPECT_TRUE(pressAt(screenWidth - 3, screenHeight - 2, screenWidth - width, screenHeight - height))
        << "picker at " << rect.left << "," << rect.top;
    // ...near the top-left corner it is not: it may start off the screen.
    EXPECT_TRUE(pressAt(2, 1, 2 - width / 2, 1 - height / 2)) << "picker at " << rect.left << "," << rect.top;

    // Callbacks for another icon id are not ours.
    EXPECT_EQ(::SendMessageA(picker, kTrayMessage, kTrayId + 1, WM_LBUTTONDOWN), 0);
}

TEST_F(TrayPicker, DraggedOntoAWindowItFramesItAndTakesItsPictureOrWithCtrlItsText)
{
    CPixlet app;
    ASSERT_TRUE(Start(app));
    const HWND picker = app.MainWindow();
    const RECT targetRect = {700, 100, 900, 250};
    CPaintedWindow target(targetRect, CPaintedWindow::Solid, RGB(0, 0, 200));
    CControlHost host("controls");
    ASSERT_TRUE(host.Window() && host.InFrontAtLowerLeft());
    const CPixels before = ScreenPixels(targetRect);
    const POINT pickerAt = {300, 300};

    Step("dragged onto the window and released there: its picture, and the picker goes");
    ASSERT_TRUE(ShowPicker(picker, pickerAt));
    PutOnClipboard("none");
    ASSERT_TRUE(PressOnPicker(picker, pickerAt));
    MoveMouseInSteps(pickerAt, Centre(targetRect));
    const CPixels framed = ScreenPixels(targetRect);
    SaveScreenshotIfAsked("picker-dragging");
    LeftButton(false);
    EXPECT_NE(framed.At(1, 1), before.At(1, 1)) << "no frame on the window under the mouse";
    EXPECT_EQ(framed.At(150, 40), before.At(150, 40)) << "the frame reaches inside the window";
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(picker); }, 2000)) << "the picker stays";
    ASSERT_TRUE(WaitUntil(HasBitmap, 5000));
    CPixels picture = ClipboardBitmap();
    EXPECT_EQ(picture.width, 200);
    EXPECT_EQ(picture.height, 150);
    EXPECT_TRUE(AllOf(picture, RGB(0, 0, 200))) << "the picture holds more than the window";
    EXPECT_EQ(ScreenPixels(targetRect).data, before.data) << "inverted pixels were left behind";

    Step("shown over the window, dragged off the picker and back onto it: the frame stays on the "
         "last window of another program, and the picker is hidden before the picture is taken");
    const POINT over = Centre(targetRect), beside = {targetRect.left + 20, targetRect.top + 20};
    ASSERT_TRUE(ShowPicker(picker, over));
    ASSERT_NE(ScreenPixels(targetRect).data, before.data) << "the picker does not show over the window";
    PutOnClipboard("none");
    ASSERT_TRUE(PressOnPicker(picker, over));
    MoveMouseInSteps(over, beside, 1);
    const RECT corner = {targetRect.left, targetRect.top, targetRect.left + 1, targetRect.top + 1};
    EXPECT_TRUE(WaitUntil([&] { return ScreenPixels(corner).At(0, 0) != before.At(0, 0); }, 2000)) << "not framed";
    MoveMouseInSteps(beside, over, 1);
    LeftButton(false);
    // The picture waits a second for the window to repaint: the picker has gone long before.
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(picker); }, 500)) << "the picker is not hidden at once";
    ASSERT_TRUE(WaitUntil(HasBitmap, 5000));
    EXPECT_TRUE(AllOf(ClipboardBitmap(), RGB(0, 0, 200))) << "the picker is in the picture";
    EXPECT_EQ(ScreenPixels(targetRect).data, before.data);

    Step("pressed with Ctrl (let go without) and dragged onto the list box: its text, no picture");
    PutOnClipboard("none");
    ASSERT_TRUE(PickText(picker, pickerAt, Centre(host.Control(kListBox))));
    EXPECT_TRUE(WaitUntil([] { return ClipboardText() == Golden("listbox.txt"); }, 5000)) << ClipboardText();
    EXPECT_FALSE(HasBitmap());

    Step("with Ctrl onto the list view of a program that cannot be opened: why, the clipboard kept, "
         "no shutter");
    {
        CControlHost locked("locked");
        ASSERT_TRUE(locked.Window() && locked.InFrontAtLowerLeft());
        PutOnClipboard("kept");
        ClearSoundCapture();
        ASSERT_TRUE(PickText(picker, pickerAt, Centre(locked.Control(kListView))));
        EXPECT_EQ(AnswerMessageBox(Pid()).text, "The text of this window cannot be read: its program runs with higher "
                                                "rights than Pixlet32, or as another user.\r\nThe clipboard was left "
                                                "as it was.");
        EXPECT_EQ(ClipboardText(), "kept");
        EXPECT_TRUE(CapturedSound().empty());
    }

    Step("with Ctrl onto the list view of a program that does not answer: why, the clipboard kept, no shutter");
    {
        CControlHost hung("hung");
        ASSERT_TRUE(hung.Window() && hung.InFrontAtLowerLeft());
        ASSERT_TRUE(hung.Hang(30000));  // it answers nothing from now on
        PutOnClipboard("kept");
        ClearSoundCapture();
        ASSERT_TRUE(PickText(picker, pickerAt, Centre(hung.Control(kListTarget))));
        EXPECT_EQ(AnswerMessageBox(Pid(), IDOK, "Pixlet32", 15000).text,
                  "The text of this window could not be read: its program is not responding.\r\nThe clipboard was left "
                  "as it was.");
        EXPECT_EQ(ClipboardText(), "kept");
        EXPECT_TRUE(CapturedSound().empty());
    }

    Step("with Ctrl, let go before any window of another program was framed: nothing is taken");
    PutOnClipboard("kept");
    ASSERT_TRUE(PickText(picker, pickerAt, pickerAt));
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(picker); }, 2000) && Idle());
    EXPECT_EQ(ClipboardText(), "kept") << "the clipboard was emptied for no window";

    // (Under Wine a frame on a child window of another process does not show on the screen: only
    // the picture tells which was picked.)
    Step("over two sibling windows, the smaller one under the larger: the smaller is taken");
    CPaintedWindow parent(RECT{950, 100, 1250, 400}, CPaintedWindow::Solid, RGB(90, 90, 90));
    CPaintedWindow smaller(RECT{1050, 200, 1150, 300}, CPaintedWindow::Solid, RGB(0, 200, 0), parent);
    CPaintedWindow larger(RECT{960, 110, 1240, 390}, CPaintedWindow::Solid, RGB(200, 200, 0), parent);
    ::SetWindowPos(larger, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil([] { return ScreenPixels(RECT{1051, 201, 1052, 202}).At(0, 0) == RGB(200, 200, 0); }, 2000));
    ASSERT_TRUE(ShowPicker(picker, pickerAt));
    PutOnClipboard("none");
    ASSERT_TRUE(PressOnPicker(picker, pickerAt));
    MoveMouseInSteps(pickerAt, Centre(smaller));
    LeftButton(false);
    ASSERT_TRUE(WaitUntil(HasBitmap, 5000));
    picture = ClipboardBitmap();
    EXPECT_EQ(picture.width, 100) << "not the smaller window's picture";
    EXPECT_EQ(picture.height, 100);
}

TEST_F(TrayPicker, WithCtrlOntoAnOwnerDataListItTakesEveryRowItsOwnerAnswers)
{
    CPixlet app;
    ASSERT_TRUE(Start(app));
    CControlHost host("ownerdata 3000");
    ASSERT_TRUE(host.Window() && host.InFrontAtLowerLeft());
    std::string rows;
    for (int row = 0; row < 3000; ++row)
        rows += "o" + std::to_string(row) + "c0\r\n";
    PutOnClipboard("none");
    ASSERT_TRUE(PickText(app.MainWindow(), {300, 300}, Centre(host.Control(kOwnerDataList))));
    // (The clipboard is emptied for a moment before it gets the text.)
    EXPECT_TRUE(WaitUntil([] { return ClipboardText() != "none"; }, 30000));
    EXPECT_TRUE(WaitUntil([&] { return ClipboardText() == rows; }, 2000))
        << "the clipboard holds " << ClipboardText().size() << " bytes, not " << rows.size();
}

TEST_F(TrayPicker, TextInEveryScriptReachesTheClipboardWholeAndAsTheSystemsAnsiText)
{
    CPixlet app;
    ASSERT_TRUE(Start(app));
    CControlHost host("controls");
    ASSERT_TRUE(host.Window() && host.InFrontAtLowerLeft());
    const std::wstring world = L"caf\u00e9 \u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac \u65e5\u672c\u8a9e "
                               L"\u041f\u0440\u0438\u0432\u0435\u0442 \U0001F600";
    RECT header = {};
    ::GetWindowRect(::FindWindowExA(host.Control(kUnicodeList), nullptr, "SysHeader32", nullptr), &header);
    const struct {
        const char* what;
        POINT at;
        std::wstring text;
    } cases[] = {
        {"a list box", Centre(host.Control(kUnicodeListBox)), world + L"\r\n\u0416\r\n"},
        {"a combo box", Centre(host.Control(kUnicodeCombo)), world + L"\r\n"},
        {"a list view's rows", Centre(host.Control(kUnicodeList)), world + L"\t\u041f\u0440\u0438\u0432\u0435\u0442\r\n"},
        {"its header", POINT{header.left + 20, (header.top + header.bottom) / 2},
         L"\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac\r\n\u65e5\u672c\u8a9e\r\n"},
        {"a tree", Centre(host.Control(kUnicodeTree)), world + L"\r\n\t\u65e5\u672c\u8a9e\r\n"},
    };
    for (const auto& c : cases) {
        Step(std::string("with Ctrl onto ") + c.what);
        PutOnClipboard("none");
        ASSERT_TRUE(PickText(app.MainWindow(), {300, 300}, c.at));
        EXPECT_TRUE(WaitUntil([&] { return ClipboardUnicodeText() == c.text; }, 5000));
        // Programs that read only CF_TEXT get what the system's own conversion gives, as before.
        char ansi[512] = "";
        ::WideCharToMultiByte(CP_ACP, 0, c.text.c_str(), -1, ansi, sizeof ansi, nullptr, nullptr);
        EXPECT_EQ(ClipboardText(), ansi);
    }
    EXPECT_EQ(ClipboardText().substr(0, 24), "caf\xE9 ???????? ??? ??????") << "the tree's first line in CF_TEXT";
}
