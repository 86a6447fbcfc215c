// "Copy automatically" with the choices that only the Option dialog makes: a preset rectangle
// (also a stripe of zero width), numbered PNG files, the cursor drawn in. The files are read back
// by ImageMagick and compared with what a window of this test painted.
#include "app/MainDlg.h"
#include "app/StillActions.h"
#include "support/Clipboard.h"
#include "support/Files.h"
#include "support/MessageBoxWatcher.h"
#include "support/Screen.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace testing_support;

namespace {
CPixels DecodePng(const std::string& name, int width, int height)
{
    return DecodeImageFile(CScratch::Host(name), width, height);
}
}  // namespace

TEST(CopyAutomatically, APresetRectangleGoesIntoNumberedPngFilesWithTheCursor)
{
    const RECT window = {400, 300, 600, 400};
    CPaintedWindow painted(window, CPaintedWindow::Quadrants);
    const COLORREF* quadrants = CPaintedWindow::kQuadrants;
    PutOnClipboard("kept");

    CaptureSettings settings;
    settings.m_rcCapture = RECT{600, 400, 400, 300};  // dragged to the upper left
    settings.m_bSaveToFile = TRUE;
    settings.m_nSaveMode = 1;
    std::strcpy(settings.m_szDirectory, CScratch::WindowsDir().c_str());
    std::strcpy(settings.m_szPrefix, "auto");
    CaptureState state;
    state.m_nLastNumber = settings.m_nBaseNumber - 1;
    state.m_cursorInfo.cbSize = sizeof(CURSORINFO);
    state.m_cursorInfo.hCursor = ::LoadCursorA(nullptr, IDC_CROSS);  // this process's: it can be drawn
    state.m_cursorInfo.ptScreenPos = POINT{450, 325};                 // in the red quadrant

    CopyAutomatically(nullptr, settings, state);  // without the cursor
    settings.m_bIncludeCursor = TRUE;
    CopyAutomatically(nullptr, settings, state);
    EXPECT_EQ(state.m_nLastNumber, 2);
    EXPECT_EQ(ClipboardText(), "kept") << "a capture into files touched the clipboard";

    const CPixels without = DecodePng("auto001.png", 200, 100);
    const CPixels with = DecodePng("auto002.png", 200, 100);
    ASSERT_FALSE(without.Empty()) << "auto001.png is no 200 x 100 PNG";
    ASSERT_FALSE(with.Empty()) << "auto002.png is no 200 x 100 PNG";
    EXPECT_EQ(without.At(0, 0), quadrants[0]);
    EXPECT_EQ(without.At(199, 0), quadrants[1]);
    EXPECT_EQ(without.At(0, 99), quadrants[2]);
    EXPECT_EQ(without.At(199, 99), quadrants[3]);
    EXPECT_EQ(without.At(50, 25), quadrants[0]) << "the cursor was drawn though not asked for";
    EXPECT_NE(with.At(50, 25), quadrants[0]) << "no cursor at its hot spot";
    EXPECT_EQ(with.At(199, 99), quadrants[3]);
}

TEST(CopyAutomatically, AStripeOfZeroWidthTakesTheWholeWidthOfTheScreen)
{
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    CPaintedWindow painted(RECT{0, 500, width, 540}, CPaintedWindow::Solid, RGB(10, 120, 230));
    CaptureSettings settings;
    settings.m_rcCapture = RECT{300, 505, 300, 535};
    CaptureState state;
    CopyAutomatically(nullptr, settings, state);
    const CPixels picture = ClipboardBitmap();
    ASSERT_EQ(picture.width, width);
    ASSERT_EQ(picture.height, 30);
    EXPECT_EQ(picture.At(0, 0), RGB(10, 120, 230));
    EXPECT_EQ(picture.At(width - 1, 29), RGB(10, 120, 230));
}

TEST(CopyAutomatically, ARectangleOnNoMonitorNowIsSaidAndTakesNothing)
{
    // Chosen on a monitor that is gone: right of the only one there is.
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    CaptureSettings settings;
    settings.m_rcCapture = RECT{width + 10, 0, width + 110, 100};
    settings.m_rcAvi = settings.m_rcCapture;
    std::strcpy(settings.m_szAviFile, CScratch::Windows("gone.avi").c_str());
    PutOnClipboard("kept");
    CaptureState state;
    CMessageBoxWatcher still;
    CopyAutomatically(nullptr, settings, state);
    ASSERT_TRUE(still.Wait());
    const std::string said = "The rectangle (" + std::to_string(width + 10) + ", 0) - (" + std::to_string(width + 110) +
                             ", 100) lies on no screen now. Please choose it again in the Option dialog.";
    EXPECT_EQ(still.m_text, said);
    EXPECT_EQ(ClipboardText(), "kept");

    // A recording of it says the same and makes no file.
    CMainDlg main;
    ASSERT_TRUE(main.Create());
    main.m_settings = settings;
    CMessageBoxWatcher recording;
    main.StartRecording(true);
    ASSERT_TRUE(recording.Wait());
    EXPECT_EQ(recording.m_text, said);
    EXPECT_FALSE(FileExists(settings.m_szAviFile));
}
