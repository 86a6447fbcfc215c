// What the end-to-end walk of the About box cannot reach: a link target too long for the
// fallback command, an error code no program gives, the alignments a label may have, and the
// picture of the pointer over a link.
#include "capture/CaptureSettings.h"
#include "res/resource.h"
#include "support/MessageBoxWatcher.h"
#include "ui/AboutDlg.h"

#include <gtest/gtest.h>

using testing_support::CMessageBoxWatcher;

namespace {
std::vector<BYTE> MaskBits(HCURSOR cursor)
{
    ICONINFO info = {};
    std::vector<BYTE> bits(32 * 32 / 8 * 2);
    if (::GetIconInfo(cursor, &info)) {
        ::GetBitmapBits(info.hbmMask, static_cast<LONG>(bits.size()), bits.data());
        ::DeleteObject(info.hbmMask);
        ::DeleteObject(info.hbmColor);
    }
    return bits;
}
}  // namespace

TEST(LinkLabel, TheFallbackCommandIsCutBeforeItsPlaceholderAndRefusedWhenTooLong)
{
    std::string command;
    EXPECT_TRUE(BuildOpenCommand("C:\\b.exe -url %1 -new", "x", command));
    EXPECT_EQ(command, "C:\\b.exe -url  x");
    EXPECT_TRUE(BuildOpenCommand("C:\\b.exe", "x", command));
    EXPECT_EQ(command, "C:\\b.exe x");
    EXPECT_TRUE(BuildOpenCommand("C:\\\x81%1\\b.exe %1", "x", command, 932));  // 0x81 0x25 is one character
    EXPECT_EQ(command, "C:\\\x81%1\\b.exe  x");
    // 519 characters and the terminator fit the command's 520.
    EXPECT_TRUE(BuildOpenCommand(std::string(300, 'p'), std::string(218, 't'), command));
    EXPECT_FALSE(BuildOpenCommand(std::string(300, 'p'), std::string(219, 't'), command));
    EXPECT_EQ(command, "");
}

TEST(LinkLabel, AnUnknownErrorCodeIsReportedByNumber)
{
    CMessageBoxWatcher watcher;
    ReportOpenError(4);
    ASSERT_TRUE(watcher.Wait());
    EXPECT_EQ(watcher.m_text, "Unable to open hyperlink:\n\nUnknown Error (4) occurred.");
    EXPECT_EQ(watcher.m_hIcon, ::LoadIconA(nullptr, IDI_EXCLAMATION));
    EXPECT_EQ(OpenErrorText(26), "A sharing violation occurred. ");
}

TEST(LinkLabel, ALabelFitsItsTextKeepingItsAlignmentAndShowsTheHand)
{
    const RECT rect = {10, 20, 110, 40};
    EXPECT_EQ(FormatRect(FitRectToText(rect, SIZE{40, 13}, SS_RIGHT)), "(70, 20) - (110, 33)");
    EXPECT_EQ(FormatRect(FitRectToText(rect, SIZE{40, 13}, SS_CENTER | SS_CENTERIMAGE)), "(40, 23) - (80, 37)");
    CAboutDlg about;
    ASSERT_TRUE(about.Create());
    const HWND email = ::GetDlgItem(about.m_hWnd, IDC_EMAIL);
    EXPECT_TRUE(::SendMessageA(email, WM_SETCURSOR, reinterpret_cast<WPARAM>(email), HTCLIENT));
    EXPECT_EQ(MaskBits(::GetCursor()), MaskBits(::LoadCursorA(nullptr, IDC_HAND)));
}
