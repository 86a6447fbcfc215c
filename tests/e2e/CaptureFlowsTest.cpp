// The program's main job as a user does it: PrintScreen, Ctrl+PrintScreen with the rectangle
// selector, and the tray picker, each ending in a picture or a text on the clipboard. The
// pictures are compared with what windows of this test painted; the texts with another
// program's list box.
#include "support/Clipboard.h"
#include "support/Desktop.h"
#include "support/Picker.h"
#include "support/PixletTest.h"
#include "support/Screen.h"

#include <gtest/gtest.h>

#include <string>

using namespace testing_support;

namespace {
const int kHostListBox = 111;  // control_host.exe's list box in its "controls" case

RECT Screen()
{
    return RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

POINT Centre(const RECT& rect)
{
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

RECT WindowRect(HWND hwnd)
{
    RECT rect = {};
    ::GetWindowRect(hwnd, &rect);
    return rect;
}

bool HasText()
{
    return ClipboardText() != "<no text>";
}

// Asked without opening the clipboard, so that the program is never kept from it.
bool HasBitmap()
{
    return ::IsClipboardFormatAvailable(CF_BITMAP) != FALSE;
}

// Every pixel of the picture is this colour.
::testing::AssertionResult AllOf(const CPixels& pixels, COLORREF colour)
{
    if (pixels.Empty())
        return ::testing::AssertionFailure() << "no picture";
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x)
            if (pixels.At(x, y) != colour)
                return ::testing::AssertionFailure() << "pixel " << x << "," << y << " of " << pixels.width << "x"
                                                     << pixels.height << " is " << std::hex << pixels.At(x, y);
    return ::testing::AssertionSuccess();
}

// The list box of control_host.exe, in another process.
class CHostListBox
{
public:
    CHostListBox()
    {
        if (!m_process.Start(BuildDirectory() + "control_host.exe", "controls"))
            return;
        WaitUntil(
            [this] {
                for (HWND hwnd : TopLevelWindows(m_process.Pid(), "PixletTestHost"))
                    if (::IsWindowVisible(hwnd))
                        m_hList = ::GetDlgItem(hwnd, kHostListBox);
                return m_hList != nullptr;
            },
            20000);
        if (!m_hList)
            return;
        // In front of this test's windows, in the lower left corner of the screen, out of their way.
        const HWND window = ::GetAncestor(m_hList, GA_ROOT);
        const RECT rect = WindowRect(window);
        ::SetWindowPos(window, HWND_TOPMOST, 0, ::GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top), 0, 0,
                       SWP_NOSIZE);
        WaitUntil([&] { return WindowRect(window).left == 0; }, 2000);
    }
    HWND List() const { return m_hList; }
    // The text its items give: one line each.
    std::string Text() const
    {
        std::string text;
        const int count = static_cast<int>(::SendMessageA(m_hList, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t item[256] = L"";
            ::SendMessageW(m_hList, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
            char narrow[256] = "";
            ::WideCharToMultiByte(CP_ACP, 0, item, -1, narrow, sizeof narrow, nullptr, nullptr);
            text += std::string(narrow) + "\r\n";
        }
        return text;
    }

private:
    CProcess m_process;
    HWND m_hList = nullptr;
};

class CaptureFlows : public CPixletTest
{
protected:
    void WaitForNextAction() { m_pacer.WaitForNextAction(); }
    // Ctrl+PrintScreen; the selector once it covers the screen, or null.
    HWND OpenSelector()
    {
        WaitForNextAction();
        PressKeys({VK_CONTROL, VK_SNAPSHOT});
        return WaitForSelector();
    }
    HWND WaitForSelector()
    {
        HWND selector = nullptr;
        const RECT screen = Screen();
        WaitUntil(
            [&] {
                for (HWND hwnd : TopLevelWindows(m_app->Pid(), "#32770")) {
                    const RECT rect = WindowRect(hwnd);
                    if (hwnd != m_app->MainWindow() && ::IsWindowVisible(hwnd) && rect.right - rect.left == screen.right &&
                        rect.bottom - rect.top == screen.bottom)
                        selector = hwnd;
                }
                return selector != nullptr;
            },
            5000);
        ::Sleep(200);  // painted
        return selector;
    }
    bool Closes(HWND window) { return WaitUntil([&] { return !::IsWindow(window); }, 5000); }

    // The window that has the mouse captured in the program's interface thread.
    HWND CaptureOfProgram() const { return testing_support::CaptureOfProgram(m_app->MainWindow()); }

    // The left button pressed on the picker at `at`: the pick starts (the mouse is captured).
    bool PressOnPicker(POINT at) { return testing_support::PressOnPicker(m_app->MainWindow(), at); }

    // The tray icon pressed with the mouse at `at`: the picker shows there.
    bool ShowPicker(POINT at) { return testing_support::ShowPicker(m_app->MainWindow(), at); }
};
}  // namespace

TEST_F(CaptureFlows, PrintScreenTakesTheWholeScreenAndNotTwiceInTwoSeconds)
{
    CPixlet app;
    ASSERT_TRUE(Start(app));
    CPaintedWindow pattern(Screen(), CPaintedWindow::Pattern);
    PutOnClipboard("before");

    WaitForNextAction();
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

    // One second later: dropped. Three seconds later: taken.
    PutOnClipboard("second");
    WaitUntil([&] { return ::GetTickCount() - pressed >= 1000; }, 2000, 1);
    PressKeys({VK_SNAPSHOT});
    ::Sleep(1500);
    EXPECT_EQ(ClipboardText(), "second") << "a PrintScreen one second after the last was taken";
    WaitUntil([&] { return ::GetTickCount() - pressed >= 3000; }, 2000, 1);
    PressKeys({VK_SNAPSHOT});
    EXPECT_TRUE(WaitUntil(HasBitmap, 5000)) << "a PrintScreen three seconds after the last was dropped";
    EXPECT_TRUE(app.IsRunning());
}

TEST_F(CaptureFlows, CtrlPrintScreenChoosesOnTheFrozenScreen)
{
    CPixlet app;
    ASSERT_TRUE(Start(app));
    const RECT screen = Screen();
    auto pattern = std::make_unique<CPaintedWindow>(screen, CPaintedWindow::Pattern);
    const RECT targetRect = {200, 150, 400, 300};
    CPaintedWindow target(targetRect, CPaintedWindow::Solid, RGB(0, 160, 0));
    CHostListBox host;
    ASSERT_TRUE(host.List());

    // The selector covers the screen, in front, showing the screen as it was.
    HWND selector = OpenSelector();
    ASSERT_TRUE(selector) << "no selector after Ctrl+PrintScreen";
    EXPECT_TRUE(::GetWindowLongA(selector, GWL_EXSTYLE) & WS_EX_TOPMOST);
    target.SetColour(RGB(200, 0, 0));
    ::Sleep(300);
    EXPECT_TRUE(AllOf(ScreenPixels(RECT{210, 160, 390, 290}), RGB(0, 160, 0))) << "the selector is not frozen";
    // Neither the keyboard nor a second Ctrl+PrintScreen ends it or opens another.
    PressKeys({VK_ESCAPE});
    PressKeys({VK_RETURN});
    PressKeys({VK_MENU, VK_F4});
    PressKeys({VK_CONTROL, VK_SNAPSHOT});
    ::Sleep(1000);
    EXPECT_TRUE(::IsWindowVisible(selector)) << "the keyboard ended the selector";
    EXPECT_EQ(WaitForSelector(), selector);

    // A drag delivers exactly the dragged part of the frozen picture.
    MoveMouseTo(POINT{700, 100});
    LeftButton(true);
    MoveMouseInSteps(POINT{700, 100}, POINT{900, 250});
    SaveScreenshotIfAsked("selector-dragging");
    LeftButton(false);
    ASSERT_TRUE(Closes(selector));
    ASSERT_TRUE(WaitUntil(HasBitmap, 5000));
    CPixels picture = ClipboardBitmap();
    EXPECT_EQ(picture.width, 200);
    EXPECT_EQ(picture.height, 150);
    EXPECT_EQ(CompareWithPattern(picture, 700, 100).count, 0);

    // Dragged from the lower right to the upper left: the same picture.
    ASSERT_TRUE(selector = OpenSelector());
    PutOnClipboard("none");
    DragMouse(POINT{900, 250}, POINT{700, 100});
    ASSERT_TRUE(Closes(selector));
    ASSERT_TRUE(WaitUntil(HasBitmap, 5000));
    picture = ClipboardBitmap();
    EXPECT_EQ(picture.width, 200);
    EXPECT_EQ(CompareWithPattern(picture, 700, 100).count, 0);

    // A click, and a drag no larger than the double-click area, take the framed window.
    for (const POINT end : {POINT{300, 225}, POINT{301, 232}}) {
        ASSERT_TRUE(selector = OpenSelector());
        PutOnClipboard("none");
        MoveMouseInSteps(POINT{250, 190}, POINT{300, 225}, 3);
        if (end.y == 225)
            SaveScreenshotIfAsked("selector-window-framed");
        DragMouse(POINT{300, 225}, end, 2);
        ASSERT_TRUE(Closes(selector));
        ASSERT_TRUE(WaitUntil(HasBitmap, 5000));
        picture = ClipboardBitmap();
        EXPECT_EQ(picture.width, 200) << "end " << end.x << "," << end.y;
        EXPECT_EQ(picture.height, 150);
        EXPECT_TRUE(AllOf(picture, RGB(200, 0, 0)));
    }

    // A right click delivers nothing.
    ASSERT_TRUE(selector = OpenSelector());
    PutOnClipboard("kept");
    MoveMouseTo(POINT{500, 300});
    RightButton(true);
    RightButton(false);
    ASSERT_TRUE(Closes(selector));
    ::Sleep(500);
    EXPECT_EQ(ClipboardText(), "kept");

    // With Ctrl held at the press: the text of the control under the press, no picture.
    ASSERT_TRUE(selector = OpenSelector());
    PutOnClipboard("none");
    MoveMouseTo(Centre(WindowRect(host.List())));
    ASSERT_TRUE(HoldCtrl(true));
    LeftButton(true);
    ASSERT_TRUE(HoldCtrl(false));
    LeftButton(false);
    ASSERT_TRUE(Closes(selector));
    EXPECT_TRUE(WaitUntil([&] { return ClipboardText() == host.Text(); }, 5000)) << ClipboardText();
    EXPECT_FALSE(HasBitmap());

    // Where no window is, the desktop is framed: a click takes the whole screen.
    pattern.reset();
    ASSERT_TRUE(selector = OpenSelector());
    const POINT empty = {screen.right - 5, screen.bottom - 5};
    MoveMouseInSteps(POINT{screen.right - 40, screen.bottom - 40}, empty, 3);
    DragMouse(empty, empty, 1);
    ASSERT_TRUE(Closes(selector));
    ASSERT_TRUE(WaitUntil(HasBitmap, 5000));
    picture = ClipboardBitmap();
    EXPECT_EQ(picture.width, screen.right);
    EXPECT_EQ(picture.height, screen.bottom);
}

TEST_F(CaptureFlows, TheTrayPickerTakesAWindowsPictureOrText)
{
    CPixlet app;
    ASSERT_TRUE(Start(app));
    const RECT targetRect = {700, 100, 900, 250};
    CPaintedWindow target(targetRect, CPaintedWindow::Solid, RGB(0, 0, 200));
    CHostListBox host;
    ASSERT_TRUE(host.List());
    const CPixels before = ScreenPixels(targetRect);
    const POINT pickerAt = {300, 300};

    // Dragged onto the window and released there: its picture, and the picker goes.
    ASSERT_TRUE(ShowPicker(pickerAt));
    PutOnClipboard("none");
    ASSERT_TRUE(PressOnPicker(pickerAt));
    MoveMouseInSteps(pickerAt, Centre(targetRect));
    const CPixels framed = ScreenPixels(targetRect);
    SaveScreenshotIfAsked("picker-dragging");
    LeftButton(false);
    EXPECT_NE(framed.At(1, 1), before.At(1, 1)) << "no frame on the window under the mouse";
    EXPECT_EQ(framed.At(150, 40), before.At(150, 40)) << "the frame reaches inside the window";
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(m_app->MainWindow()); }, 2000)) << "the picker stays";
    ASSERT_TRUE(WaitUntil(HasBitmap, 5000));
    CPixels picture = ClipboardBitmap();
    EXPECT_EQ(picture.width, 200);
    EXPECT_EQ(picture.height, 150);
    EXPECT_TRUE(AllOf(picture, RGB(0, 0, 200))) << "the picture holds more than the window";
    EXPECT_EQ(ScreenPixels(targetRect).data, before.data) << "inverted pixels were left behind";

    // Dragged back over the picker: the frame stays on the last window of another program.
    // (Straight from one to the other: on the way, the desktop would be such a window.)
    ASSERT_TRUE(ShowPicker(pickerAt));
    PutOnClipboard("none");
    ASSERT_TRUE(PressOnPicker(pickerAt));
    MoveMouseInSteps(pickerAt, Centre(targetRect), 1);
    const RECT corner = {targetRect.left, targetRect.top, targetRect.left + 1, targetRect.top + 1};
    EXPECT_TRUE(WaitUntil([&] { return ScreenPixels(corner).At(0, 0) != before.At(0, 0); }, 2000)) << "not framed";
    MoveMouseInSteps(Centre(targetRect), pickerAt, 1);
    LeftButton(false);
    ASSERT_TRUE(WaitUntil(HasBitmap, 5000));
    picture = ClipboardBitmap();
    EXPECT_TRUE(AllOf(picture, RGB(0, 0, 200)));
    EXPECT_EQ(ScreenPixels(targetRect).data, before.data);

    // Pressed with Ctrl (released without): the text of the control.
    ASSERT_TRUE(ShowPicker(pickerAt));
    PutOnClipboard("none");
    ASSERT_TRUE(HoldCtrl(true));
    ASSERT_TRUE(PressOnPicker(pickerAt));
    ASSERT_TRUE(HoldCtrl(false));
    MoveMouseInSteps(pickerAt, Centre(WindowRect(host.List())));
    LeftButton(false);
    EXPECT_TRUE(WaitUntil([&] { return ClipboardText() == host.Text(); }, 5000)) << ClipboardText();
    EXPECT_FALSE(HasBitmap());

    // Released before any window of another program was framed: nothing is taken.
    ASSERT_TRUE(ShowPicker(pickerAt));
    PutOnClipboard("kept");
    ASSERT_TRUE(HoldCtrl(true));
    ASSERT_TRUE(PressOnPicker(pickerAt));
    ASSERT_TRUE(HoldCtrl(false));
    LeftButton(false);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(m_app->MainWindow()); }, 2000));
    ::Sleep(500);
    EXPECT_EQ(ClipboardText(), "kept") << "the clipboard was emptied for no window";
}
