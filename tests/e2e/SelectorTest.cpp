// Ctrl+PrintScreen as a user does it: the screen frozen in the selector, and the dragged
// rectangle or the clicked window delivered to the clipboard; or with Ctrl held at the press,
// the text of another program's control (the host's list box: one line an item). The pictures
// are compared with what windows of this test painted.
#include "support/Clipboard.h"
#include "support/ControlHost.h"
#include "support/Desktop.h"
#include "support/PixletTest.h"
#include "support/Screen.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {
using Selector = CPixletTest;
}  // namespace

TEST_F(Selector, CtrlPrintScreenChoosesOnTheFrozenScreen)
{
    CPixlet app;
    ASSERT_TRUE(Start(app));
    const RECT screen = Screen();
    auto pattern = std::make_unique<CPaintedWindow>(screen, CPaintedWindow::Pattern);
    CPaintedWindow target(RECT{200, 150, 400, 300}, CPaintedWindow::Solid, RGB(0, 160, 0));
    CControlHost host("controls");
    ASSERT_TRUE(host.Window() && host.InFrontAtLowerLeft());
    PutOnClipboard("none");

    Step("the selector covers the screen, in front, showing the screen as it was");
    HWND selector = OpenSelector();
    ASSERT_TRUE(selector) << "no selector after Ctrl+PrintScreen";
    EXPECT_TRUE(::GetWindowLongA(selector, GWL_EXSTYLE) & WS_EX_TOPMOST);
    target.SetColour(RGB(200, 0, 0), 1000);
    EXPECT_TRUE(AllOf(ScreenPixels(RECT{210, 160, 390, 290}), RGB(0, 160, 0))) << "the selector is not frozen";

    Step("the keyboard does not end it, nor does a Ctrl+PrintScreen late enough to be taken open another");
    PressKeys({VK_ESCAPE});
    PressKeys({VK_RETURN});
    PressKeys({VK_MENU, VK_F4});
    PressHotKey({VK_CONTROL, VK_SNAPSHOT});
    EXPECT_FALSE(WaitUntil([&] { return Selectors().size() != 1; }, 1500));
    EXPECT_TRUE(::IsWindowVisible(selector)) << "the keyboard ended the selector";
    EXPECT_EQ(Selectors().size(), 1u) << "the busy selector let a second one open";

    Step("a drag delivers exactly the dragged part of the frozen picture");
    MoveMouseTo(POINT{700, 100});
    LeftButton(true);
    MoveMouseInSteps(POINT{700, 100}, POINT{900, 250});
    SaveScreenshotIfAsked("selector-dragging");
    LeftButton(false);
    CPixels picture = Delivered(selector);
    EXPECT_EQ(picture.width, 200);
    EXPECT_EQ(picture.height, 150);
    EXPECT_EQ(CompareWithPattern(picture, 700, 100).count, 0);

    Step("dragged from the lower right to the upper left: the same picture");
    ASSERT_TRUE(selector = OpenSelector());
    PutOnClipboard("none");
    DragMouse(POINT{900, 250}, POINT{700, 100});
    picture = Delivered(selector);
    EXPECT_EQ(picture.width, 200);
    EXPECT_EQ(CompareWithPattern(picture, 700, 100).count, 0);

    Step("a click, and a drag no larger than the double-click area, take the framed window");
    for (const POINT end : {POINT{300, 225}, POINT{301, 232}}) {
        ASSERT_TRUE(selector = OpenSelector());
        PutOnClipboard("none");
        MoveMouseInSteps(POINT{250, 190}, POINT{300, 225}, 3);
        if (end.y == 225)
            SaveScreenshotIfAsked("selector-window-framed");
        DragMouse(POINT{300, 225}, end, 2);
        picture = Delivered(selector);
        EXPECT_EQ(picture.width, 200) << "end " << end.x << "," << end.y;
        EXPECT_EQ(picture.height, 150);
        EXPECT_TRUE(AllOf(picture, RGB(200, 0, 0)));
    }

    Step("a right click delivers nothing");
    ASSERT_TRUE(selector = OpenSelector());
    PutOnClipboard("kept");
    RightClickAt(POINT{500, 300});
    ASSERT_TRUE(Settled(selector));
    EXPECT_EQ(ClipboardText(), "kept");

    Step("with Ctrl held at the press: the text of the window under the press (not of the one "
         "framed last), and no picture");
    const POINT list = Centre(host.Control(kListBox));
    // A window of this test over the list box: framed by the move, gone before the press.
    auto cover = std::make_unique<CPaintedWindow>(RECT{list.x - 30, list.y - 20, list.x + 30, list.y + 20},
                                                  CPaintedWindow::Solid, RGB(0, 160, 0));
    ASSERT_TRUE(selector = OpenSelector());
    PutOnClipboard("none");
    MoveMouseInSteps(POINT{list.x - 10, list.y}, list, 2);
    const RECT corner = {list.x - 30, list.y - 20, list.x - 29, list.y - 19};
    ASSERT_TRUE(WaitUntil([&] { return ScreenPixels(corner).At(0, 0) != RGB(0, 160, 0); }, 2000)) << "not framed";
    cover.reset();
    ASSERT_TRUE(PressWithCtrl());
    ASSERT_TRUE(Settled(selector));
    EXPECT_EQ(ClipboardText(), Golden("listbox.txt"));
    EXPECT_FALSE(HasBitmap());

    Step("where no window is, the desktop is framed: a click takes the whole screen");
    pattern.reset();
    ASSERT_TRUE(selector = OpenSelector());
    ClickFramed(POINT{screen.right - 5, screen.bottom - 5});
    picture = Delivered(selector);
    EXPECT_EQ(picture.width, screen.right);
    EXPECT_EQ(picture.height, screen.bottom);
}
