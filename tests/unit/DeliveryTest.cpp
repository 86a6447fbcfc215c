// Where a captured picture goes: the clipboard, or files, with the shutter sound; and what the
// user sees when it cannot get there.
#include "ImageTestSupport.h"
#include "app/Report.h"
#include "capture/CaptureSettings.h"
#include "capture/Delivery.h"
#include "framework/App.h"
#include "framework/Wnd.h"
#include "support/Clipboard.h"
#include "support/Files.h"
#include "support/MessageBoxWatcher.h"
#include "support/SoundCapture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <thread>

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
        m_settings.m_bSaveToFile = TRUE;
        m_settings.m_nSaveMode = 0;
        std::strcpy(m_settings.m_szTargetFile, target.c_str());
    }
    // Delivered as an action delivers it: the user is told what became of it.
    void Deliver(HBITMAP picture)
    {
        Report(DeliverBitmap(CBitmapHandle(picture), m_settings, m_state.m_nLastNumber, m_main.m_hWnd));
    }
    static void ExpectShutter()
    {
        if (SoundCaptureAvailable()) {
            EXPECT_EQ(CapturedSound(), ShutterSamples()) << "the shutter sound was not played";
        }
    }

    CWinApp m_app;
    CWnd m_main;
    CaptureSettings m_settings;
    CaptureState m_state;
};
}  // namespace

TEST_F(Delivery, OnTheClipboardThePictureReplacesWhatWasThere)
{
    Deliver(SolidBitmap(40, 30));
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

TEST_F(Delivery, TextGoesOnTheClipboardWholeInUnicodeAndAsTheSystemsAnsiForm)
{
    // Every script reaches programs that read Unicode; programs that read only CF_TEXT get what
    // the system's conversion gives, look-alike letters and question marks included.
    const struct {
        const char* utf8;
        const wchar_t* unicode;
        const char* ansi;
    } cases[] = {
        {"caf\xC3\xA9 \xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC "
         "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\r\n",
         L"caf\u00E9 \u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC \u65E5\u672C\u8A9E "
         L"\u041F\u0440\u0438\u0432\u0435\u0442\r\n",
         "caf\xE9 ???????? ??? ??????\r\n"},
        {"\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1", L"\u03A9\u03BC\u03AD\u03B3\u03B1", "O\xB5??a"},
        {"plain\tASCII", L"plain\tASCII", "plain\tASCII"},
        {"", L"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ansi);
        ASSERT_TRUE(DeliverText(c.utf8, m_main.m_hWnd).IsDone());
        EXPECT_EQ(ClipboardUnicodeText(), c.unicode);
        EXPECT_EQ(ClipboardText(), c.ansi);
    }
}

TEST_F(Delivery, TheTargetFilesExtensionChoosesTheFormatAndTheClipboardIsLeftAlone)
{
    SaveTo(CScratch::Windows("shot.BMP"));
    Deliver(SolidBitmap(5, 3));
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
    Deliver(SolidBitmap(5, 3));
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
    m_settings.m_bSaveToFile = TRUE;
    m_settings.m_nSaveMode = 1;
    const std::string dir = CScratch::WindowsDir();  // with its trailing backslash
    std::strcpy(m_settings.m_szDirectory, dir.c_str());
    std::strcpy(m_settings.m_szPrefix, "p");
    m_settings.m_nBaseNumber = 9;
    m_settings.m_nDigits = 1;
    m_state.m_nLastNumber = 8;
    for (int i = 0; i < 3; ++i)
        Deliver(SolidBitmap(4, 4));
    EXPECT_TRUE(FileExists(dir + "p9.png"));
    EXPECT_TRUE(FileExists(dir + "p10.png"));
    EXPECT_TRUE(FileExists(dir + "p11.png"));
    EXPECT_FALSE(FileExists(dir + "p12.png"));

    // The same directory without its trailing backslash, a bitmap type, a base number of 0.
    std::strcpy(m_settings.m_szDirectory, dir.substr(0, dir.size() - 1).c_str());
    std::strcpy(m_settings.m_szExtension, ".bmp");
    m_settings.m_nBaseNumber = 0;
    m_settings.m_nDigits = 3;
    m_state.m_nLastNumber = -1;
    Deliver(SolidBitmap(4, 4));
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
    Deliver(SolidBitmap(64, 64));
    ASSERT_TRUE(watcher.Wait());
    EXPECT_EQ(watcher.m_caption, GetAppName());
    EXPECT_EQ(watcher.m_text, "Disk full while accessing " + path + ".");
    EXPECT_EQ(watcher.m_hIcon, ::LoadIconA(nullptr, IDI_HAND));
    EXPECT_TRUE(CapturedSound().empty()) << "the sound was played for a file that was not written";
    EXPECT_EQ(ClipboardText(), "before");
}

TEST_F(Delivery, ANameTooLongForWindowsIsReportedAndItsNumberUsedUp)
{
    m_settings.m_bSaveToFile = TRUE;
    m_settings.m_nSaveMode = 1;
    std::string dir = CScratch::WindowsDir();
    while (dir.size() < MAX_PATH - 6)
        dir += "d\\";
    std::strcpy(m_settings.m_szDirectory, dir.c_str());
    std::strcpy(m_settings.m_szPrefix, "cap");
    m_state.m_nLastNumber = 0;
    CMessageBoxWatcher watcher;
    Deliver(SolidBitmap(4, 4));
    ASSERT_TRUE(watcher.Wait());
    EXPECT_EQ(watcher.m_text, dir + "cap001.png contains an invalid path.");
    EXPECT_EQ(watcher.m_hIcon, ::LoadIconA(nullptr, IDI_HAND));
    EXPECT_EQ(m_state.m_nLastNumber, 1);
    EXPECT_TRUE(CapturedSound().empty());
    EXPECT_EQ(ClipboardText(), "before");
}

namespace {
// Holds the clipboard open from another thread, as a busy program would.
class CClipboardHolder
{
public:
    CClipboardHolder()
        : m_hOpened(::CreateEventA(nullptr, TRUE, FALSE, nullptr)), m_hDone(::CreateEventA(nullptr, TRUE, FALSE, nullptr))
    {
        m_thread = std::thread([this] {
            // Others of the session (the clipboard's bridge to X) may hold it for a moment too.
            // Under load that moment can be long: without the clipboard held there is no case.
            for (const DWORD start = ::GetTickCount(); !m_bHeld && ::GetTickCount() - start < 30000; ::Sleep(10))
                m_bHeld = ::OpenClipboard(nullptr);
            ::SetEvent(m_hOpened);
            ::WaitForSingleObject(m_hDone, 60000);
            if (m_bHeld)
                ::CloseClipboard();
        });
        ::WaitForSingleObject(m_hOpened, INFINITE);
    }
    bool Held() const { return m_bHeld; }
    ~CClipboardHolder()
    {
        ::SetEvent(m_hDone);
        m_thread.join();
        ::CloseHandle(m_hOpened);
        ::CloseHandle(m_hDone);
    }

private:
    HANDLE m_hOpened, m_hDone;
    BOOL m_bHeld = FALSE;
    std::thread m_thread;
};
}  // namespace

TEST_F(Delivery, APictureThatGoesNowhereIsReportedWithoutTheShutter)
{
    ASSERT_EQ(RunOnHost("ln -sf /dev/full '" + CScratch::Host("full.png") + "'"), 0);
    ASSERT_TRUE(::CreateDirectoryA(CScratch::Windows("taken.bmp").c_str(), nullptr) ||
                ::GetLastError() == ERROR_ALREADY_EXISTS);
    const std::string missing = CScratch::Windows("missing\\shot.png");
    struct Case {
        const char* what;
        const char* target;  // null: to the clipboard
        bool validBitmap;
        std::string expected;
    };
    const Case cases[] = {
        {"the clipboard is held by another program", nullptr, true, "Clipboard operation failed!"},
        {"a PNG file in a directory that does not exist", "missing\\shot.png", true,
         missing + " contains an invalid path."},
        {"a bitmap file whose name is taken by a directory", "taken.bmp", true,
         "Access to " + CScratch::Windows("taken.bmp") + " was denied."},
        {"a PNG file on a full device", "full.png", true, "Disk full while accessing " + CScratch::Windows("full.png") + "."},
        // Said as every "Out of Memory" is: the system's box, above every window.
        {"a picture that cannot be made into an image", "none.png", false, "Out of Memory"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        ClearSoundCapture();
        m_settings = CaptureSettings{};
        std::optional<CClipboardHolder> holder;
        if (test.target)
            SaveTo(CScratch::Windows(test.target));
        else
            ASSERT_TRUE(holder.emplace().Held()) << "no other thread could hold the clipboard";
        CMessageBoxWatcher watcher;
        Deliver(test.validBitmap ? SolidBitmap(8, 8) : nullptr);
        holder.reset();
        ASSERT_TRUE(watcher.Wait());
        EXPECT_EQ(watcher.m_text, test.expected);
        EXPECT_EQ(watcher.m_caption, test.validBitmap ? GetAppName() : "Error");
        EXPECT_EQ(watcher.m_hIcon, ::LoadIconA(nullptr, IDI_HAND));
        EXPECT_TRUE(CapturedSound().empty()) << "the shutter sounded for a picture that went nowhere";
        EXPECT_EQ(ClipboardText(), "before");
    }

    // Numbered files: a number is used up by a file that could not be written.
    m_settings = CaptureSettings{};
    m_settings.m_bSaveToFile = TRUE;
    m_settings.m_nSaveMode = 1;
    std::strcpy(m_settings.m_szDirectory, CScratch::Windows("missing").c_str());
    std::strcpy(m_settings.m_szPrefix, "n");
    CMessageBoxWatcher watcher;
    Deliver(SolidBitmap(4, 4));
    ASSERT_TRUE(watcher.Wait());
    EXPECT_EQ(watcher.m_text, CScratch::Windows("missing\\n001.png contains an invalid path."));
    EXPECT_EQ(m_state.m_nLastNumber, 1);
}
