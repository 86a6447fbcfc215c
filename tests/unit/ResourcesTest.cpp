// The resources the program is built with, as the system loads them.
#include "res/resource.h"
#include "support/Process.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <cstring>
#include <string>

using testing_support::ClassNameOf;

namespace {
HINSTANCE Self()
{
    return ::GetModuleHandleA(nullptr);
}

INT_PTR CALLBACK NoHandling(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}
}  // namespace

TEST(Resources, TheManifestDeclaresThePerMonitorDpiAwareness)
{
    // A DPI-virtualised program would be told a scaled screen and grab the wrong area. Wine
    // treats every program as aware, so what is checked is the manifest that Windows reads:
    // resource 1 of type RT_MANIFEST.
    HRSRC found = ::FindResourceA(Self(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_TRUE(found);
    const char* data = static_cast<const char*>(::LockResource(::LoadResource(Self(), found)));
    const std::string manifest(data, ::SizeofResource(Self(), found));
    EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos);
    EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
}

TEST(Resources, IconsAndTheCursorHaveTheirSizesAndHotSpot)
{
    for (int size : {32, 16}) {
        HICON icon = static_cast<HICON>(::LoadImageA(Self(), MAKEINTRESOURCEA(IDI_TRAY), IMAGE_ICON, size, size, 0));
        ASSERT_TRUE(icon) << size;
        ICONINFO info = {};
        ASSERT_TRUE(::GetIconInfo(icon, &info));
        BITMAP colour = {};
        ::GetObjectA(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, size);
        ::DeleteObject(info.hbmMask);
        ::DeleteObject(info.hbmColor);
        ::DestroyIcon(icon);
    }
    EXPECT_TRUE(::LoadIconA(Self(), MAKEINTRESOURCEA(IDI_PICKER)));
    HCURSOR cursor = ::LoadCursorA(Self(), MAKEINTRESOURCEA(IDC_PICKER));
    ASSERT_TRUE(cursor);
    ICONINFO info = {};
    ASSERT_TRUE(::GetIconInfo(cursor, &info));
    EXPECT_EQ(info.xHotspot, 16u);
    EXPECT_EQ(info.yHotspot, 9u);
    EXPECT_FALSE(info.hbmColor) << "a monochrome cursor";
    ::DeleteObject(info.hbmMask);
}

TEST(Resources, TheShutterSoundIsHalfASecondOf8BitMonoPcm)
{
    HRSRC found = ::FindResourceA(Self(), MAKEINTRESOURCEA(IDR_SHUTTER), "WAVE");
    ASSERT_TRUE(found);
    const BYTE* wave = static_cast<const BYTE*>(::LockResource(::LoadResource(Self(), found)));
    ASSERT_EQ(::SizeofResource(Self(), found), 44u + 5480u);
    EXPECT_EQ(std::memcmp(wave, "RIFF", 4), 0);
    EXPECT_EQ(std::memcmp(wave + 8, "WAVEfmt ", 8), 0);
    PCMWAVEFORMAT format;
    std::memcpy(&format, wave + 20, sizeof format);
    EXPECT_EQ(format.wf.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(format.wf.nChannels, 1);
    EXPECT_EQ(format.wf.nSamplesPerSec, 11025u);
    EXPECT_EQ(format.wBitsPerSample, 8);
    DWORD dataSize = 0;
    std::memcpy(&dataSize, wave + 40, 4);
    EXPECT_EQ(std::memcmp(wave + 36, "data", 4), 0);
    EXPECT_EQ(dataSize, 5480u);
}

TEST(Resources, EveryDialogTemplateMakesItsWindow)
{
    // The hidden main window: a tool window that shows the picker icon, not visible.
    HWND main = ::CreateDialogParamA(Self(), MAKEINTRESOURCEA(IDD_MAIN), nullptr, NoHandling, 0);
    ASSERT_TRUE(main);
    EXPECT_FALSE(::IsWindowVisible(main));
    EXPECT_TRUE(::GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(::GetWindowLongA(main, GWL_STYLE) & WS_CAPTION);
    ::DestroyWindow(main);

    HWND option = ::CreateDialogParamA(Self(), MAKEINTRESOURCEA(IDD_OPTION), nullptr, NoHandling, 0);
    ASSERT_TRUE(option);
    char caption[32] = "";
    ::GetWindowTextA(option, caption, sizeof caption);
    EXPECT_STREQ(caption, "Option");
    for (int spin : {IDC_BASE_NUMBER_SPIN, IDC_DIGITS_SPIN, IDC_AVI_RATE_SPIN, IDC_END_AFTER_SPIN})
        EXPECT_EQ(ClassNameOf(::GetDlgItem(option, spin)), "msctls_updown32") << spin;
    for (int list : {IDC_AVI_BEGIN, IDC_AVI_END, IDC_AVI_AUTO_BEGIN, IDC_FILE_TYPE})
        EXPECT_EQ(ClassNameOf(::GetDlgItem(option, list)), "ComboBox") << list;
    ::GetDlgItemTextA(option, IDC_AUTO_NUMBER, caption, sizeof caption);
    EXPECT_STREQ(caption, "Save into files (auto number)");
    ::DestroyWindow(option);

    HWND selector = ::CreateDialogParamA(Self(), MAKEINTRESOURCEA(IDD_RECT_SELECT), nullptr, NoHandling, 0);
    ASSERT_TRUE(selector);
    EXPECT_FALSE(::GetWindow(selector, GW_CHILD)) << "no controls";
    EXPECT_FALSE(::GetWindowLongA(selector, GWL_STYLE) & (WS_CAPTION | WS_BORDER));
    ::DestroyWindow(selector);

    HWND about = ::CreateDialogParamA(Self(), MAKEINTRESOURCEA(IDD_ABOUT), nullptr, NoHandling, 0);
    ASSERT_TRUE(about);
    char text[64] = "";
    ::GetDlgItemTextA(about, IDC_AUTHOR, text, sizeof text);
    EXPECT_STREQ(text, "Dorvan");
    ::GetDlgItemTextA(about, IDC_HOMEPAGE, text, sizeof text);
    EXPECT_STREQ(text, "My website");
    ::DestroyWindow(about);
}
