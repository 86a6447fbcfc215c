// Pictures of the screen, compared pixel by pixel with a window painted in known colours.
#include "capture/CaptureSettings.h"
#include "capture/ScreenGrab.h"
#include "ui/OptionsDlg.h"
#include "support/MessageBoxWatcher.h"
#include "support/Screen.h"

#include <gtest/gtest.h>

#include <vector>

using namespace testing_support;

namespace {
const COLORREF* const kQuadrants = CPaintedWindow::kQuadrants;

// Grabs and reads, and deletes the bitmap.
CPixels Grab(RECT rect, const CURSORINFO* cursor = nullptr)
{
    return ReadBitmap(GrabScreenRect(rect, cursor).bitmap);
}

void ExpectQuadrants(const CPixels& pixels, int left, int top, const char* what)
{
    // The window is 200 x 100 with its top-left corner at (left, top) of the picture.
    EXPECT_EQ(pixels.At(left + 50, top + 25), kQuadrants[0]) << what;
    EXPECT_EQ(pixels.At(left + 150, top + 25), kQuadrants[1]) << what;
    EXPECT_EQ(pixels.At(left + 50, top + 75), kQuadrants[2]) << what;
    EXPECT_EQ(pixels.At(left + 199, top + 99), kQuadrants[3]) << what;
    EXPECT_EQ(pixels.At(left + 100, top + 50), kQuadrants[3]) << what;
    EXPECT_EQ(pixels.At(left + 99, top + 49), kQuadrants[0]) << what;
}

// The pixels that differ between two pictures; each must lie in the 32 x 32 square of a cursor
// drawn with its top-left corner at (left, top).
int CountChangesInCursorSquare(const CPixels& before, const CPixels& after, int left, int top)
{
    int changed = 0;
    for (int y = 0; y < after.height; ++y)
        for (int x = 0; x < after.width; ++x)
            if (after.At(x, y) != before.At(x, y)) {
                ++changed;
                EXPECT_TRUE(x >= left && x < left + 32 && y >= top && y < top + 32) << "changed at " << x << "," << y;
            }
    return changed;
}

class ScreenGrab : public ::testing::Test
{
protected:
    // What the grabs are told to draw, as the hot-key actions ask for it.
    const CURSORINFO* Cursor() const { return CursorToDraw(m_settings, m_state); }

    CaptureSettings m_settings;
    CaptureState m_state;
};
}  // namespace

TEST_F(ScreenGrab, ARectangleIsCopiedExactlyInEitherOrientation)
{
    CPaintedWindow window(RECT{300, 200, 500, 300}, CPaintedWindow::Quadrants);
    const CPixels ordered = Grab(RECT{290, 190, 510, 310});
    ASSERT_EQ(ordered.width, 220);
    ASSERT_EQ(ordered.height, 120);
    ExpectQuadrants(ordered, 10, 10, "ordered");
    const CPixels reversed = Grab(RECT{510, 310, 290, 190});
    EXPECT_EQ(reversed.data, ordered.data);
    const CPixels mixed = Grab(RECT{290, 310, 510, 190});
    EXPECT_EQ(mixed.data, ordered.data);
}

TEST_F(ScreenGrab, RectanglesAreCutAtTheScreensEdges)
{
    const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
    CPaintedWindow window(RECT{width - 200, height - 100, width, height}, CPaintedWindow::Quadrants);
    const CPixels corner = Grab(RECT{width - 250, height - 150, width + 60, height + 40});
    ASSERT_EQ(corner.width, 250);
    ASSERT_EQ(corner.height, 150);
    ExpectQuadrants(corner, 50, 50, "bottom-right");

    CPaintedWindow topLeft(RECT{0, 300, 200, 400}, CPaintedWindow::Quadrants);
    const CPixels left = Grab(RECT{-40, 290, 210, 410});
    ASSERT_EQ(left.width, 210);
    ASSERT_EQ(left.height, 120);
    ExpectQuadrants(left, 0, 10, "left edge");
}

TEST(ScreenArithmetic, RectanglesAreOrderedAndCutToAScreenThatMayStartAtNegativeCoordinates)
{
    // Monitors left of and above the primary one.
    const RECT screen = {-1920, -300, 1280, 1024};
    RECT clamped = {};
    ASSERT_TRUE(ClampToScreen(RECT{-1000, 50, -2000, -400}, screen, clamped));
    EXPECT_EQ(clamped.left, -1920);
    EXPECT_EQ(clamped.top, -300);
    EXPECT_EQ(clamped.right, -1000);
    EXPECT_EQ(clamped.bottom, 50);
    EXPECT_FALSE(ClampToScreen(RECT{-3000, 0, -2000, 10}, screen, clamped)) << "wholly left of it";
    EXPECT_FALSE(ClampToScreen(RECT{0, 1024, 10, 1100}, screen, clamped)) << "below it";
    // A window chosen on it that sticks out is kept on it.
    const RECT chosen = ClampChosenRect(RECT{-2500, -400, -100, 2000}, screen);
    EXPECT_EQ(chosen.left, -1920);
    EXPECT_EQ(chosen.top, -300);
    EXPECT_EQ(chosen.right, -100);
    EXPECT_EQ(chosen.bottom, 1024);
}

TEST_F(ScreenGrab, NothingIsMadeOfAnEmptyRectangleAndNothingIsSaid)
{
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    RECT empty[] = {{100, 100, 100, 300}, {100, 100, 300, 100}, {width + 10, 0, width + 200, 100}, {-300, -200, -10, -5}};
    CMessageBoxWatcher watcher;
    for (const RECT& rect : empty) {
        const ScreenPicture picture = GrabScreenRect(rect);
        EXPECT_FALSE(picture.bitmap) << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom;
        EXPECT_EQ(picture.outcome.kind, Outcome::Kind::Nothing);
    }
    EXPECT_FALSE(watcher.Wait(500)) << "a message was shown: " << watcher.m_text;
}

TEST_F(ScreenGrab, ACutOfASnapshotEqualsAGrabOfTheSameRectangle)
{
    CPaintedWindow window(RECT{400, 500, 600, 600}, CPaintedWindow::Quadrants);
    const RECT screen = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    const ScreenPicture snapshot = GrabScreenRect(screen);
    ASSERT_TRUE(snapshot.bitmap);
    const CPixels cut = ReadBitmap(CropBitmap(snapshot, RECT{620, 620, 380, 480}).bitmap);
    ASSERT_EQ(cut.width, 240);
    ASSERT_EQ(cut.height, 140);
    ExpectQuadrants(cut, 20, 20, "cut");
    EXPECT_EQ(cut.data, Grab(RECT{380, 480, 620, 620}).data);
    EXPECT_FALSE(CropBitmap(snapshot, RECT{10, 10, 10, 50}).bitmap);
    // The snapshot is left as it was.
    EXPECT_EQ(ReadBitmap(snapshot.bitmap).width, screen.right);

    // A snapshot of a screen that starts left of and above the primary monitor: its pixel (0, 0)
    // is the screen's (-380, -480), and a cut is taken from where the rectangle lies on it.
    ScreenPicture shifted;
    shifted.bitmap = GrabScreenRect(screen).bitmap;
    shifted.area = RECT{-380, -480, screen.right - 380, screen.bottom - 480};
    EXPECT_EQ(ReadBitmap(CropBitmap(shifted, RECT{0, 0, 240, 140}).bitmap).data, cut.data);
    const ScreenPicture clipped = CropBitmap(shifted, RECT{-500, -600, -370, -470});
    EXPECT_EQ(clipped.area.left, -380) << "cut to the snapshot";
    EXPECT_EQ(clipped.area.bottom, -470);
}

TEST_F(ScreenGrab, AWindowPartlyOffTheScreenIsGrabbedFromTheScreensEdge)
{
    CPaintedWindow window(RECT{-30, 600, 170, 700}, CPaintedWindow::Quadrants);
    const CPixels pixels = ReadBitmap(GrabWindow(window).bitmap);
    ASSERT_EQ(pixels.width, 170);
    ASSERT_EQ(pixels.height, 100);
    EXPECT_EQ(pixels.At(0, 0), kQuadrants[0]);
    EXPECT_EQ(pixels.At(169, 99), kQuadrants[3]);
    EXPECT_EQ(pixels.At(69, 49), kQuadrants[0]);
    EXPECT_EQ(pixels.At(70, 49), kQuadrants[1]);
    EXPECT_FALSE(GrabWindow(nullptr).bitmap);
}

TEST_F(ScreenGrab, TheCursorIsDrawnAtItsHotSpotOnlyWhenAskedFor)
{
    CPaintedWindow window(RECT{600, 300, 800, 400}, CPaintedWindow::Quadrants);
    const RECT area = {600, 300, 800, 400};
    const POINT at = {650, 325};  // in the red quadrant
    m_state.m_cursorInfo.cbSize = sizeof(CURSORINFO);
    m_state.m_cursorInfo.hCursor = ::LoadCursorA(nullptr, IDC_CROSS);
    m_state.m_cursorInfo.ptScreenPos = at;
    ICONINFO cross = {};
    ASSERT_TRUE(::GetIconInfo(m_state.m_cursorInfo.hCursor, &cross));
    ::DeleteObject(cross.hbmMask);
    ::DeleteObject(cross.hbmColor);

    const CPixels without = Grab(area, Cursor());
    m_settings.m_bIncludeCursor = TRUE;
    const CPixels with = Grab(area, Cursor());
    m_settings.m_bIncludeCursor = FALSE;
    EXPECT_EQ(Grab(area, Cursor()).data, without.data) << "no cursor when it is not asked for";

    // Every changed pixel lies in the cursor's square placed by its hot spot, and the hot spot
    // itself is painted.
    const int left = at.x - area.left - static_cast<int>(cross.xHotspot);
    const int top = at.y - area.top - static_cast<int>(cross.yHotspot);
    EXPECT_GT(CountChangesInCursorSquare(without, with, left, top), 10);
    EXPECT_NE(with.At(at.x - area.left, at.y - area.top), kQuadrants[0]) << "the hot spot is not on the cursor";

    // No snapshot (no cursor handle): nothing is drawn.
    m_settings.m_bIncludeCursor = TRUE;
    m_state.m_cursorInfo.hCursor = nullptr;
    EXPECT_EQ(Grab(area, Cursor()).data, without.data);
}

TEST_F(ScreenGrab, ACursorThatCannotBeDrawnIsShownAsTheArrowAtItsPlace)
{
    CPaintedWindow window(RECT{600, 300, 800, 400}, CPaintedWindow::Quadrants);
    const RECT area = {600, 300, 800, 400};
    const CPixels without = Grab(area, Cursor());
    // A handle that is no cursor here, as another process's cursor is under Wine.
    m_settings.m_bIncludeCursor = TRUE;
    m_state.m_cursorInfo.hCursor = reinterpret_cast<HCURSOR>(static_cast<ULONG_PTR>(0xBAD0));
    m_state.m_cursorInfo.ptScreenPos = POINT{700, 350};
    const CPixels with = Grab(area, Cursor());

    ICONINFO arrow = {};
    ASSERT_TRUE(::GetIconInfo(::LoadCursorA(nullptr, IDC_ARROW), &arrow));
    ::DeleteObject(arrow.hbmMask);
    ::DeleteObject(arrow.hbmColor);
    const int left = 100 - static_cast<int>(arrow.xHotspot), top = 50 - static_cast<int>(arrow.yHotspot);
    EXPECT_GT(CountChangesInCursorSquare(without, with, left, top), 10);
}
