// Every action on a display of two monitors, as a user does it: a 1024x768 primary monitor at
// (0, 0) and an 800x600 one right of it at (1024, 0), the virtual screen 1824x768 (below the
// second monitor lies a strip that no monitor shows). PrintScreen, the frozen selector, the
// picker and a recording of a rectangle chosen on the second monitor, compared with what the
// display itself shows and with what this test's windows painted there.
// tools/pixlet.sh test runs it on such a display (label twomonitors).
#include "support/Clipboard.h"
#include "support/ControlHost.h"
#include "support/Desktop.h"
#include "support/Files.h"
#include "support/Picker.h"
#include "support/PixletTest.h"
#include "support/Screen.h"
#include "support/Video.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <memory>

using namespace testing_support;

namespace {
using TwoMonitors = COptionTest;

const RECT kVirtual = {0, 0, 1824, 768}, kPrimary = {0, 0, 1024, 768}, kSecond = {1024, 0, 1824, 600};

RECT MonitorAt(POINT point)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    ::GetMonitorInfoA(::MonitorFromPoint(point, MONITOR_DEFAULTTONULL), &info);
    return info.rcMonitor;
}

std::string Size(const CPixels& picture) { return std::to_string(picture.width) + "x" + std::to_string(picture.height); }
}  // namespace

TEST_F(TwoMonitors, EveryActionReachesBothMonitorsAndAcrossTheSeam)
{
    ASSERT_EQ(::GetSystemMetrics(SM_CMONITORS), 2) << "not a display of two monitors (run by tools/pixlet.sh test)";
    const RECT screen = Screen(), primary = MonitorAt(POINT{10, 10}), second = MonitorAt(POINT{1500, 10});
    ASSERT_TRUE(::EqualRect(&screen, &kVirtual) && ::EqualRect(&primary, &kPrimary) &&
                ::EqualRect(&second, &kSecond))
        << "not the monitors this walk is written for";
    CPixlet app;
    ASSERT_TRUE(Start(app));
    auto pattern = std::make_unique<CPaintedWindow>(screen, CPaintedWindow::Pattern);

    Step("PrintScreen: the whole virtual screen, each monitor's part as the display shows it");
    PutOnClipboard("none");
    PressHotKey({VK_SNAPSHOT});
    ASSERT_TRUE(WaitUntil(HasBitmap, 5000)) << "no picture after PrintScreen";
    CPixels picture = ClipboardBitmap();
    const CPixels display = DisplayPixels();
    ASSERT_EQ(Size(picture), "1824x768");
    ASSERT_FALSE(display.Empty()) << "import could not read the display";
    for (const RECT& monitor : {kPrimary, kSecond}) {
        const CPixels part = Crop(picture, monitor);
        EXPECT_EQ(CompareWithPattern(part, monitor.left, monitor.top).count, 0) << "monitor at " << monitor.left;
        EXPECT_TRUE(part.data == Crop(display, monitor).data) << "the display shows otherwise at " << monitor.left;
    }

    Step("Ctrl+PrintScreen: the selector covers both monitors, in front, frozen on both");
    CPaintedWindow left(RECT{200, 150, 400, 300}, CPaintedWindow::Solid, RGB(0, 160, 0));
    CPaintedWindow right(RECT{1500, 100, 1700, 250}, CPaintedWindow::Solid, RGB(0, 160, 0));
    PutOnClipboard("none");
    HWND selector = OpenSelector();
    ASSERT_TRUE(selector) << "no selector over the virtual screen after Ctrl+PrintScreen";
    EXPECT_TRUE(::GetWindowLongA(selector, GWL_EXSTYLE) & WS_EX_TOPMOST);
    left.SetColour(RGB(200, 0, 0), 500);
    right.SetColour(RGB(200, 0, 0), 1000);
    EXPECT_TRUE(AllOf(ScreenPixels(RECT{210, 160, 390, 290}), RGB(0, 160, 0))) << "not frozen on the primary monitor";
    EXPECT_TRUE(AllOf(ScreenPixels(RECT{1510, 110, 1690, 240}), RGB(0, 160, 0))) << "not frozen on the second monitor";

    Step("a drag on the second monitor: exactly that part");
    DragMouse(POINT{1100, 300}, POINT{1300, 450});
    picture = Delivered(selector);
    EXPECT_EQ(Size(picture), "200x150");
    EXPECT_EQ(CompareWithPattern(picture, 1100, 300).count, 0);

    Step("a drag across the seam, from the second monitor up and left: exactly that part");
    ASSERT_TRUE(selector = OpenSelector());
    PutOnClipboard("none");
    DragMouse(POINT{1124, 500}, POINT{900, 350});
    picture = Delivered(selector);
    EXPECT_EQ(Size(picture), "224x150");
    EXPECT_EQ(CompareWithPattern(picture, 900, 350).count, 0);

    Step("a click on the second monitor takes the window framed there");
    ASSERT_TRUE(selector = OpenSelector());
    PutOnClipboard("none");
    MoveMouseInSteps(POINT{1450, 60}, Centre(right), 3);
    EXPECT_TRUE(WaitUntil([] { return ScreenPixels(RECT{1500, 100, 1501, 101}).At(0, 0) != RGB(0, 160, 0); }, 2000))
        << "not framed";
    DragMouse(Centre(right), Centre(right), 1);
    picture = Delivered(selector);
    EXPECT_EQ(Size(picture), "200x150");
    EXPECT_TRUE(AllOf(picture, RGB(200, 0, 0)));

    Step("the picker, shown and dragged on the second monitor, takes the window there");
    const POINT pickerAt = {1300, 400};
    ASSERT_TRUE(ShowPicker(app.MainWindow(), pickerAt));
    PutOnClipboard("none");
    ASSERT_TRUE(PressOnPicker(app.MainWindow(), pickerAt));
    MoveMouseInSteps(pickerAt, Centre(right));
    EXPECT_TRUE(WaitUntil([] { return ScreenPixels(RECT{1500, 100, 1501, 101}).At(0, 0) != RGB(200, 0, 0); }, 2000))
        << "not framed";
    LeftButton(false);
    ASSERT_TRUE(WaitUntil(HasBitmap, 5000)) << "no picture from the picker";
    picture = ClipboardBitmap();
    EXPECT_EQ(Size(picture), "200x150");
    EXPECT_TRUE(AllOf(picture, RGB(200, 0, 0)));

    Step("the AVI rectangle chosen on the second monitor, in virtual-screen numbers");
    HWND dialog = OpenOption();
    ASSERT_TRUE(dialog);
    SaveAs(dialog, IDC_BROWSE_AVI_FILE, CScratch::Windows("second.avi"));
    ASSERT_TRUE(selector = Browse(dialog, IDC_BROWSE_AVI_RECT));
    DragMouse(POINT{1100, 120}, POINT{1260, 240});
    EXPECT_EQ(ChosenRect(dialog, selector, IDC_AVI_RECT), "(1100, 120) - (1260, 240)");
    TypeText(dialog, IDC_AVI_RATE, "5");
    TypeText(dialog, IDC_END_AFTER, "2");
    Toggle(dialog, IDC_INCLUDE_CURSOR);
    ASSERT_EQ(PressFor(dialog, IDOK), "");

    Step("a timed recording of it, with the cursor: what the second monitor showed there, the cursor at its place");
    // The cursor taken is the one of the window in front (under Wine): the pattern's arrow.
    const POINT cursor = {1180, 170};
    ::SetForegroundWindow(*pattern);
    MoveMouseTo(POINT{cursor.x + 1, cursor.y + 1});
    MoveMouseTo(cursor);
    ASSERT_TRUE(Records(CScratch::Windows("second.avi"), {VK_CONTROL, VK_SHIFT, 'C'}));
    const std::vector<CPixels> frames = DecodeFrames(CScratch::Host("second.avi"), 160, 120);
    EXPECT_EQ(frames.size(), 10u);
    for (size_t i = 0; i < frames.size(); ++i)
        EXPECT_TRUE(PatternWithCursorAt(frames[i], 1100, 120, cursor)) << "frame " << i;

    Step("with Ctrl held at the press: the text of a list box on the second monitor");
    auto host = std::make_unique<CControlHost>("controls");
    ASSERT_TRUE(host->Window() && host->InFrontAt(POINT{1000, 60}));
    const POINT list = Centre(host->Control(kListBox));
    ASSERT_TRUE(::PtInRect(&kSecond, list)) << "the list box is not on the second monitor";
    ASSERT_TRUE(selector = OpenSelector());
    PutOnClipboard("none");
    MoveMouseInSteps(POINT{list.x - 10, list.y}, list, 2);
    ASSERT_TRUE(PressWithCtrl());
    ASSERT_TRUE(Settled(selector));
    EXPECT_EQ(ClipboardText(), Golden("listbox.txt"));
    EXPECT_FALSE(HasBitmap());

    Step("where no window is, on the second monitor, the desktop is framed: a click takes the whole virtual screen");
    host.reset();
    pattern.reset();
    ASSERT_TRUE(selector = OpenSelector());
    ClickFramed(POINT{kSecond.right - 5, kSecond.bottom - 5});
    picture = Delivered(selector);
    EXPECT_EQ(Size(picture), "1824x768");
    EXPECT_TRUE(AllOf(Crop(picture, RECT{1510, 110, 1690, 240}), RGB(200, 0, 0)));
}
