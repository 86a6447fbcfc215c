// The rules of the Option dialog, the folder chooser and the link label, called directly: what
// OK refuses, how a chosen rectangle is kept on the screen, which folder is accepted, the
// command that opens a link when the shell cannot, and what a failure says.
#include "framework/FileDialog.h"
#include "res/resource.h"
#include "support/MessageBoxWatcher.h"
#include "ui/AboutDlg.h"
#include "ui/OptionsDlg.h"
#include "ui/SelectFolderDialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testing_support::CMessageBoxWatcher;

namespace {
// The mask bits of a cursor, to compare cursors by their pictures.
std::vector<BYTE> MaskOf(HCURSOR cursor)
{
    ICONINFO info = {};
    if (!::GetIconInfo(cursor, &info))
        return {};
    BITMAP mask = {};
    ::GetObjectA(info.hbmMask, sizeof mask, &mask);
    std::vector<BYTE> bits(static_cast<size_t>(mask.bmWidthBytes) * mask.bmHeight);
    ::GetBitmapBits(info.hbmMask, static_cast<LONG>(bits.size()), bits.data());
    ::DeleteObject(info.hbmMask);
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    return bits;
}
}  // namespace

TEST(OptionRules, TwoEqualLettersAreRefusedWithTheMessageOfTheirPair)
{
    const std::string manually = "Hot key to copy AVI manually is duplicated with others.  Please correct it.";
    const std::string automatically = "Hot key to copy AVI automatically is duplicated with others.  Please correct it.";
    EXPECT_EQ(LetterClashMessage('B', 'B', 'C'), manually);
    EXPECT_EQ(LetterClashMessage('B', 'B', 'B'), manually);
    EXPECT_EQ(LetterClashMessage('C', 'E', 'C'), manually);
    EXPECT_EQ(LetterClashMessage('B', 'C', 'C'), automatically);
    EXPECT_EQ(LetterClashMessage('B', 'E', 'C'), nullptr);
    // The lists select a letter in either case; anything else selects nothing (and OK then keeps
    // the letter the settings hold).
    EXPECT_EQ(LetterIndex('A'), 0);
    EXPECT_EQ(LetterIndex('z'), 25);
    for (char c : {'\0', '1', '@', '[', '`', '{', static_cast<char>(0xC1)})
        EXPECT_EQ(LetterIndex(c), -1) << static_cast<int>(c);
}

TEST(OptionRules, SavingIntoFilesNeedsWhatItsKindUses)
{
    EXPECT_EQ(MissingFileChoiceMessage(FALSE, 1, "", "", ""), nullptr);
    EXPECT_STREQ(MissingFileChoiceMessage(TRUE, 0, "", "shot", "C:\\"), "Please specify the target file.");
    EXPECT_EQ(MissingFileChoiceMessage(TRUE, 0, "C:\\a.png", "", ""), nullptr);
    // Only the first thing missing is named.
    EXPECT_STREQ(MissingFileChoiceMessage(TRUE, 1, "C:\\a.png", "", ""), "Please specify the prefix of files.");
    EXPECT_STREQ(MissingFileChoiceMessage(TRUE, 1, "", "shot", ""), "Please specify the directory to save files.");
    EXPECT_EQ(MissingFileChoiceMessage(TRUE, 1, "", "shot", "C:\\"), nullptr);
}

TEST(OptionRules, AChosenRectangleIsKeptOnTheScreenButNotOrdered)
{
    const SIZE screen = {1280, 1024};
    auto clamp = [&](RECT rect) { return FormatRect(ClampChosenRect(rect, screen)); };
    EXPECT_EQ(clamp(RECT{-40, -30, 1300, 1100}), "(0, 0) - (1280, 1024)");
    EXPECT_EQ(clamp(RECT{300, 200, 100, 50}), "(300, 200) - (100, 50)");
    EXPECT_EQ(clamp(RECT{1279, 1023, -5, -7}), "(1279, 1023) - (-5, -7)") << "only left, top, right, bottom each";
}

TEST(FolderChooser, AcceptsTheTypedOrElseTheBrowsedFolderWithoutItsTrailingBackslash)
{
    std::string path;
    EXPECT_TRUE(AcceptedFolderPath("D:\\shots\\day1\\", "C:\\", path));
    EXPECT_EQ(path, "D:\\shots\\day1");
    EXPECT_TRUE(AcceptedFolderPath("", "C:\\users", path));
    EXPECT_EQ(path, "C:\\users");
    EXPECT_TRUE(AcceptedFolderPath("", "C:\\", path));
    EXPECT_EQ(path, "C:");
    EXPECT_FALSE(AcceptedFolderPath("", "", path));
    EXPECT_FALSE(AcceptedFolderPath("C:\\a\\\\b", "C:\\", path));
    EXPECT_FALSE(AcceptedFolderPath("\\\\server\\share", "C:\\", path)) << "network paths are refused";
    EXPECT_FALSE(AcceptedFolderPath("C:\\a\\\\", "", path));
    // In Shift-JIS, 0x5C is also the second byte of a character such as 0x95 0x5C: no backslash.
    EXPECT_TRUE(AcceptedFolderPath("C:\\\x95\\\\x", "", path, 932));
    EXPECT_TRUE(AcceptedFolderPath("C:\\\x95\\", "", path, 932));
    EXPECT_EQ(path, "C:\\\x95\\");
}

TEST(LinkLabel, TheFallbackCommandIsCutBeforeItsPlaceholderAndAnOverlongOneRefused)
{
    std::string command;
    EXPECT_TRUE(BuildOpenCommand("\"C:\\web\\browser.exe\" \"%1\"", "https://example.com/", command));
    EXPECT_EQ(command, "\"C:\\web\\browser.exe\"  https://example.com/") << "two blanks";
    EXPECT_TRUE(BuildOpenCommand("C:\\web\\browser.exe -url %1 -new", "x", command));
    EXPECT_EQ(command, "C:\\web\\browser.exe -url  x");
    EXPECT_TRUE(BuildOpenCommand("C:\\web\\browser.exe", "x", command));
    EXPECT_EQ(command, "C:\\web\\browser.exe x");
    // Shift-JIS: the "%" of 0x81 0x25 is half a character, not the start of a placeholder.
    EXPECT_TRUE(BuildOpenCommand("C:\\\x81%1\\b.exe %1", "x", command, 932));
    EXPECT_EQ(command, "C:\\\x81%1\\b.exe  x");
    // The command holds 519 characters and its end.
    const std::string program(300, 'p');
    EXPECT_TRUE(BuildOpenCommand(program, std::string(218, 't'), command));
    EXPECT_EQ(command.size(), 519u);
    EXPECT_FALSE(BuildOpenCommand(program, std::string(219, 't'), command));
    EXPECT_EQ(command, "");
}

TEST(LinkLabel, AFailureSaysWhyInAnExclamationBox)
{
    EXPECT_EQ(OpenErrorText(26), "A sharing violation occurred. ");
    EXPECT_EQ(OpenErrorText(0), "The operating system is out\nof memory or resources.");
    EXPECT_EQ(OpenErrorText(-7), "Unknown Error (-7) occurred.");
    CMessageBoxWatcher watcher;
    ReportOpenError(4);
    ASSERT_TRUE(watcher.Wait());
    EXPECT_EQ(watcher.m_text, "Unable to open hyperlink:\n\nUnknown Error (4) occurred.");
    EXPECT_EQ(watcher.m_hIcon, ::LoadIconA(nullptr, IDI_EXCLAMATION));
}

TEST(LinkLabel, AStaticFitsItsTextKeepingItsAlignment)
{
    const RECT rect = {10, 20, 110, 40};
    const SIZE text = {40, 13};
    EXPECT_EQ(FormatRect(FitRectToText(rect, text, SS_LEFT)), "(10, 20) - (50, 33)");
    EXPECT_EQ(FormatRect(FitRectToText(rect, text, SS_RIGHT)), "(70, 20) - (110, 33)");
    EXPECT_EQ(FormatRect(FitRectToText(rect, text, SS_CENTER | SS_CENTERIMAGE)), "(40, 23) - (80, 37)");
    EXPECT_EQ(FormatRect(FitRectToText(rect, SIZE{150, 13}, SS_LEFT)), "(10, 20) - (160, 33)") << "it may grow";
}

TEST(LinkLabel, TheAboutBoxLinksShowTheHandAndTheirTargetsInTheirColours)
{
    CAboutDlg about;
    ASSERT_TRUE(about.Create());
    const HWND email = ::GetDlgItem(about.m_hWnd, IDC_EMAIL);
    auto* link = static_cast<CLinkLabel*>(CWnd::FromSubclassed(email));
    ASSERT_TRUE(link);
    EXPECT_EQ(link->GetUrl(), "mailto:dorvan@example.com");
    EXPECT_EQ(link->GetToolTipText(), "mailto:dorvan@example.com");
    EXPECT_EQ(link->TextColour(), RGB(0, 0, 238));
    link->SetVisited(TRUE);
    EXPECT_EQ(link->TextColour(), RGB(85, 26, 139));
    EXPECT_TRUE(::GetWindowLongA(email, GWL_STYLE) & SS_NOTIFY);
    // Fitted to its text: as wide as the address in its underlined font.
    RECT rect = {};
    ::GetClientRect(email, &rect);
    HDC dc = ::GetDC(email);
    const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(email, WM_GETFONT, 0, 0)));
    SIZE extent = {};
    ::GetTextExtentPoint32A(dc, kAuthorEmail, static_cast<int>(std::string(kAuthorEmail).size()), &extent);
    ::SelectObject(dc, old);
    ::ReleaseDC(email, dc);
    EXPECT_EQ(rect.right, extent.cx);
    // The pointer over it is the hand.
    EXPECT_TRUE(::SendMessageA(email, WM_SETCURSOR, reinterpret_cast<WPARAM>(email), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(MaskOf(::GetCursor()), MaskOf(::LoadCursorA(nullptr, IDC_HAND)));
    about.DestroyWindow();
}

TEST(FileDialog, TheFilterBecomesZeroSeparatedWithTwoZerosAtItsEnd)
{
    EXPECT_EQ(FileDialogFilter("All Files(*.*)|*.*||"), std::string("All Files(*.*)\0*.*\0\0\0\0", 22));
    EXPECT_EQ(FileDialogFilter("A|*.a"), std::string("A\0*.a\0\0", 7));
}
