// Where a captured picture goes: the clipboard, or files, with the shutter sound; and what the
// user sees when a file cannot be written.
#include "ImageTestSupport.h"
#include "app/Settings.h"
#include "capture/Delivery.h"
#include "framework/App.h"
#include "framework/Wnd.h"
#include "support/Clipboard.h"
#include "support/Files.h"
#include "support/MessageBoxWatcher.h"
#include "support/SoundCapture.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace image_testing;
using namespace testing_support;

namespace {
const COLORREF kColor = RGB(200, 30, 90);

// A picture of one colour, as a screen grab would give it.
HBITMAP SolidBitmap(int width, int height)
{
    HDC screen = ::GetDC(nullptr);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HDC dc = ::CreateCompatibleDC(screen);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    HBRUSH brush = ::CreateSolidBrush(kColor);
    RECT all = {0, 0, width, height};
    ::FillRect(dc, &all, brush);
    ::DeleteObject(brush);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    return bitmap;
}

// The program's main window as the clipboard's owner, with an application object around it.
class Delivery : public ::testing::Test
{
protected:
    void SetUp() override
    {
        theSettings = CaptureSettings{};
        m_main.m_hWnd = ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        m_app.m_pMainWnd = &m_main;
        ASSERT_TRUE(::OpenClipboard(m_main.m_hWnd));
        ::EmptyClipboard();
        HGLOBAL text = ::GlobalAlloc(GMEM_MOVEABLE, 7);
        std::strcpy(static_cast<char*>(::GlobalLock(text)), "before");
        ::GlobalUnlock(text);
        ::SetClipboardData(CF_TEXT, text);
        ::CloseClipboard();
        ClearSoundCapture();
    }
    void TearDown() override
    {
        ::DestroyWindow(m_main.m_hWnd);
        m_main.m_hWnd = nullptr;
    }
    void SaveTo(const std::string& target)
    {
        theSettings.m_bSaveToFile = TRUE;
        theSettings.m_nSaveMode = 0;
        std::strcpy(theSettings.m_szTargetFile, target.c_str());
    }
    static void ExpectShutter()
    {
        if (SoundCaptureAvailable()) {
            EXPECT_EQ(CapturedSound(), ShutterSamples()) << "the shutter sound was not played";
        }
    }

    CWinApp m_app;
    CWnd m_main;
};
}  // namespace

TEST_F(Delivery, OnTheClipboardThePictureReplacesWhatWasThere)
{
    DeliverBitmap(SolidBitmap(40, 30));
    ASSERT_TRUE(::OpenClipboard(nullptr));
    EXPECT_FALSE(::IsClipboardFormatAvailable(CF_TEXT)) << "the earlier text is still there";
    HBITMAP bitmap = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
    ASSERT_TRUE(bitmap);
    BITMAP info = {};
    ::GetObjectA(bitmap, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 40);
    EXPECT_EQ(info.bmHeight, 30);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    EXPECT_EQ(::GetPixel(dc, 0, 0), kColor);
    EXPECT_EQ(::GetPixel(dc, 39, 29), kColor);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::CloseClipboard();
    ExpectShutter();
}

TEST_F(Delivery, TheTargetFilesExtensionChoosesTheFormatAndTheClipboardIsLeftAlone)
{
    SaveTo(CScratch::Windows("shot.BMP"));
    DeliverBitmap(SolidBitmap(5, 3));
    const std::vector<BYTE> bmp = ReadBytes(CScratch::Windows("shot.BMP"));
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(bmp[28], 24) << "24 bits per pixel";
    EXPECT_EQ(bmp.size(), 54u + 16 * 3) << "rows of 15 bytes padded to 16";
    // Bottom-up blue, green, red.
    EXPECT_EQ(bmp[54], GetBValue(kColor));
    EXPECT_EQ(bmp[55], GetGValue(kColor));
    EXPECT_EQ(bmp[56], GetRValue(kColor));
    ExpectShutter();

    ClearSoundCapture();
    SaveTo(CScratch::Windows("shot.jpg"));
    DeliverBitmap(SolidBitmap(5, 3));
    CPngHeader header = {};
    ASSERT_TRUE(ReadPngHeader(ReadBytes(CScratch::Windows("shot.jpg")), header)) << "no PNG data in shot.jpg";
    EXPECT_EQ(header.width, 5u);
    EXPECT_EQ(header.height, 3u);
    EXPECT_EQ(header.colorType, 2);
    ExpectShutter();
    EXPECT_EQ(ClipboardText(), "before");
}

TEST_F(Delivery, NumberedFilesGoIntoTheDirectoryOneAfterAnother)
{
    theSettings.m_bSaveToFile = TRUE;
    theSettings.m_nSaveMode = 1;
    const std::string dir = CScratch::WindowsDir();  // with its trailing backslash
    std::strcpy(theSettings.m_szDirectory, dir.c_str());
    std::strcpy(theSettings.m_szPrefix, "p");
    theSettings.m_nBaseNumber = 9;
    theSettings.m_nDigits = 1;
    theSettings.m_nLastNumber = 8;
    for (int i = 0; i < 3; ++i)
        DeliverBitmap(SolidBitmap(4, 4));
    EXPECT_TRUE(FileExists(dir + "p9.png"));
    EXPECT_TRUE(FileExists(dir + "p10.png"));
    EXPECT_TRUE(FileExists(dir + "p11.png"));
    EXPECT_FALSE(FileExists(dir + "p12.png"));

    // The same directory without its trailing backslash, a bitmap type, a base number of 0.
    std::strcpy(theSettings.m_szDirectory, dir.substr(0, dir.size() - 1).c_str());
    std::strcpy(theSettings.m_szExtension, ".bmp");
    theSettings.m_nBaseNumber = 0;
    theSettings.m_nDigits = 3;
    theSettings.m_nLastNumber = -1;
    DeliverBitmap(SolidBitmap(4, 4));
    EXPECT_EQ(ReadBytes(dir + "p000.bmp").size(), 54u + 12 * 4);
    EXPECT_EQ(ClipboardText(), "before");
}

TEST_F(Delivery, ABitmapFileThatCannotBeWrittenIsReportedAndPlaysNoSound)
{
    // A bitmap file on a full device: it can be made, not written.
    ASSERT_EQ(RunOnHost("ln -sf /dev/full '" + CScratch::Host("full.bmp") + "'"), 0);
    const std::string path = CScratch::Windows("full.bmp");
    SaveTo(path);
    CMessageBoxWatcher watcher;
    DeliverBitmap(SolidBitmap(64, 64));
    ASSERT_TRUE(watcher.Wait());
    EXPECT_EQ(watcher.m_caption, GetAppName());
    EXPECT_EQ(watcher.m_text, "Disk full while accessing " + path + ".");
    EXPECT_EQ(watcher.m_hIcon, ::LoadIconA(nullptr, IDI_HAND));
    EXPECT_TRUE(CapturedSound().empty()) << "the sound was played for a file that was not written";
    EXPECT_EQ(ClipboardText(), "before");
}

TEST_F(Delivery, ANameTooLongForWindowsIsReportedAndItsNumberUsedUp)
{
    theSettings.m_bSaveToFile = TRUE;
    theSettings.m_nSaveMode = 1;
    std::string dir = CScratch::WindowsDir();
    while (dir.size() < MAX_PATH - 6)
        dir += "d\\";
    std::strcpy(theSettings.m_szDirectory, dir.c_str());
    std::strcpy(theSettings.m_szPrefix, "cap");
    theSettings.m_nLastNumber = 0;
    CMessageBoxWatcher watcher;
    DeliverBitmap(SolidBitmap(4, 4));
    ASSERT_TRUE(watcher.Wait());
    EXPECT_EQ(watcher.m_text, dir + "cap001.png contains an invalid path.");
    EXPECT_EQ(watcher.m_hIcon, ::LoadIconA(nullptr, IDI_HAND));
    EXPECT_EQ(theSettings.m_nLastNumber, 1);
    EXPECT_TRUE(CapturedSound().empty());
    EXPECT_EQ(ClipboardText(), "before");
}
