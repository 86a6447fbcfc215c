// Choosing what to take: on the frozen screen (what a drag selects, which window the snapping
// rule frames), with the tray picker (where it opens), and the rectangle "Copy automatically"
// takes.
#include "app/StillActions.h"
#include "capture/RectSelectDlg.h"
#include "capture/WindowPicker.h"

#include <gtest/gtest.h>

namespace {
// A window of this process at a screen rectangle (a child's rectangle relative to its parent).
class CTestWindow
{
public:
    CTestWindow(const char* cls, DWORD style, RECT at, HWND parent = nullptr)
        : m_hWnd(::CreateWindowExA(0, cls, "", style | WS_VISIBLE, at.left, at.top, at.right - at.left,
                                   at.bottom - at.top, parent, nullptr, nullptr, nullptr))
    {
    }
    ~CTestWindow() { ::DestroyWindow(m_hWnd); }
    CTestWindow(const CTestWindow&) = delete;
    CTestWindow& operator=(const CTestWindow&) = delete;
    operator HWND() const { return m_hWnd; }

private:
    HWND m_hWnd;
};

RECT Rect(LONG left, LONG top, LONG right, LONG bottom)
{
    return RECT{left, top, right, bottom};
}

bool Equal(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
}  // namespace

TEST(RectSelector, ADragLargerThanTheDoubleClickAreaIsTheRectangleAsDragged)
{
    const SIZE doubleClick = {4, 4};
    const RECT snapped = Rect(10, 20, 110, 220);
    RECT selected = {};
    ASSERT_TRUE(SelectionOfDrag(POINT{300, 200}, POINT{305, 205}, doubleClick, &snapped, selected));
    EXPECT_TRUE(Equal(selected, Rect(300, 200, 305, 205))) << "5 x 5 is a drag";
    ASSERT_TRUE(SelectionOfDrag(POINT{300, 200}, POINT{100, 50}, doubleClick, &snapped, selected));
    EXPECT_TRUE(Equal(selected, Rect(300, 200, 100, 50))) << "a drag to the upper left stays reversed";

    // 4 x 10 and 10 x 4 are no larger than the area in one direction: a click on the framed window.
    ASSERT_TRUE(SelectionOfDrag(POINT{300, 200}, POINT{304, 210}, doubleClick, &snapped, selected));
    EXPECT_TRUE(Equal(selected, snapped));
    selected = {};
    ASSERT_TRUE(SelectionOfDrag(POINT{300, 200}, POINT{290, 196}, doubleClick, &snapped, selected));
    EXPECT_TRUE(Equal(selected, snapped));
    // A click with nothing framed leaves the selection as it was.
    selected = Rect(0, 0, 0, 0);
    EXPECT_FALSE(SelectionOfDrag(POINT{1, 1}, POINT{1, 1}, doubleClick, nullptr, selected));
    EXPECT_TRUE(Equal(selected, Rect(0, 0, 0, 0)));

    EXPECT_TRUE(Equal(NormalizedRect(POINT{300, 200}, POINT{100, 50}), Rect(100, 50, 300, 200)));
}

TEST(RectSelector, SnappingFindsTheDeepestWindowThatContainsThePoint)
{
    // A window with a group box, a check box inside it, and a child sticking out past the
    // screen's left edge.
    CTestWindow top("STATIC", WS_POPUP, Rect(300, 300, 600, 500));
    CTestWindow group("BUTTON", WS_CHILD | BS_GROUPBOX, Rect(10, 10, 210, 150), top);
    CTestWindow check("BUTTON", WS_CHILD | BS_AUTOCHECKBOX, Rect(30, 40, 130, 60), top);
    ASSERT_TRUE(top && group && check);

    EXPECT_EQ(CRectSelectDlg::FindWindowUnderPoint(nullptr, POINT{350, 345}, nullptr), HWND(check))
        << "the check box inside the group box is found, whatever their order";
    EXPECT_EQ(CRectSelectDlg::FindWindowUnderPoint(nullptr, POINT{320, 420}, nullptr), HWND(group));
    EXPECT_EQ(CRectSelectDlg::FindWindowUnderPoint(nullptr, POINT{550, 480}, nullptr), HWND(top));
    // The excluded window (the selector itself) is looked through.
    EXPECT_EQ(CRectSelectDlg::FindWindowUnderPoint(nullptr, POINT{550, 480}, top), ::GetDesktopWindow());
    // A hidden child is not found.
    ::ShowWindow(check, SW_HIDE);
    EXPECT_EQ(CRectSelectDlg::FindWindowUnderPoint(nullptr, POINT{350, 345}, nullptr), HWND(group));

    // A child reaching left of x = -1 is never chosen: its parent is.
    CTestWindow edge("STATIC", WS_POPUP, Rect(0, 600, 200, 700));
    CTestWindow outside("STATIC", WS_CHILD, Rect(-5, 10, 50, 50), edge);
    EXPECT_EQ(CRectSelectDlg::FindWindowUnderPoint(nullptr, POINT{5, 620}, nullptr), HWND(edge));

    // Where no window is, the desktop is framed; its rectangle is the whole screen.
    const POINT empty = {::GetSystemMetrics(SM_CXSCREEN) - 3, ::GetSystemMetrics(SM_CYSCREEN) - 3};
    EXPECT_EQ(CRectSelectDlg::FindWindowUnderPoint(nullptr, empty, nullptr), ::GetDesktopWindow());

    EXPECT_TRUE(CRectSelectDlg::RectInside(Rect(0, 0, 10, 10), Rect(0, 0, 10, 10))) << "edges included";
    EXPECT_FALSE(CRectSelectDlg::RectInside(Rect(0, 0, 10, 10), Rect(-1, 0, 10, 10)));
}

TEST(RectSelector, AMinimisedWindowIsTakenWhole)
{
    CTestWindow top("STATIC", WS_OVERLAPPEDWINDOW, Rect(200, 200, 500, 400));
    CTestWindow child("STATIC", WS_CHILD, Rect(0, 0, 1000, 1000), top);
    ::ShowWindow(top, SW_MINIMIZE);
    ASSERT_TRUE(::IsIconic(top));
    RECT iconic = {};
    ::GetWindowRect(top, &iconic);
    const POINT inside = {(iconic.left + iconic.right) / 2, (iconic.top + iconic.bottom) / 2};
    ASSERT_EQ(::GetWindow(::GetDesktopWindow(), GW_CHILD), HWND(top)) << "the minimised window is not on top";
    EXPECT_EQ(CRectSelectDlg::FindWindowUnderPoint(nullptr, inside, nullptr), HWND(top));
}

TEST(CopyAutomatically, AZeroWidthOrHeightStandsForTheWholeScreen)
{
    const RECT screen = Rect(0, 0, 1280, 1024);
    EXPECT_TRUE(Equal(AutomaticRect(Rect(0, 0, 0, 0), screen), Rect(0, 0, 1280, 1024)));
    EXPECT_TRUE(Equal(AutomaticRect(Rect(300, 100, 300, 200), screen), Rect(0, 100, 1280, 200))) << "a stripe";
    EXPECT_TRUE(Equal(AutomaticRect(Rect(10, 50, 20, 50), screen), Rect(10, 0, 20, 1024)));
    EXPECT_TRUE(Equal(AutomaticRect(Rect(300, 200, 100, 50), screen), Rect(300, 200, 100, 50))) << "reversed kept";
    // Monitors left of and above the primary one: the screen starts at negative coordinates.
    const RECT wide = Rect(-1920, -300, 1280, 1024);
    EXPECT_TRUE(Equal(AutomaticRect(Rect(0, 0, 0, 0), wide), wide));
    EXPECT_TRUE(Equal(AutomaticRect(Rect(-50, 10, -50, 20), wide), Rect(-1920, 10, 1280, 20)));
}

TEST(Picker, OpensCentredOnTheCursorAndIsPushedBackOnlyAtItsMonitorsRightAndBottom)
{
    const SIZE window = {45, 47};
    const RECT monitor = Rect(0, 0, 1280, 1024);
    POINT at = PickerOrigin(POINT{500, 400}, window, monitor);
    EXPECT_EQ(at.x, 500 - 22);
    EXPECT_EQ(at.y, 400 - 23);
    at = PickerOrigin(POINT{1279, 1023}, window, monitor);
    EXPECT_EQ(at.x, 1280 - 45);
    EXPECT_EQ(at.y, 1024 - 47);
    at = PickerOrigin(POINT{3, 1}, window, monitor);
    EXPECT_EQ(at.x, 3 - 22);
    EXPECT_EQ(at.y, 1 - 23);
    // A monitor left of the primary one: its own right edge, at negative coordinates.
    at = PickerOrigin(POINT{-2, 500}, window, Rect(-1920, 0, 0, 1080));
    EXPECT_EQ(at.x, -45);
    EXPECT_EQ(at.y, 500 - 23);
}
