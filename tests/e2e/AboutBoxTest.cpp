// The About box as a user meets it, from the tray menu and from the program's icon in the Option
// dialog: its texts, its two links (colours, tooltips, the hand, what a click starts), and the
// message of a link nothing can open. The shell's programs for web pages and e-mail are replaced
// for the test, so that no browser of the host ever starts.
#include "support/Desktop.h"
#include "support/Dialogs.h"
#include "support/Files.h"
#include "support/PixletTest.h"
#include "support/Screen.h"

#include "resource.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {
const char kNowhere[] = "\"C:\\nowhere\\browser.exe\" \"%1\"";

// A default value under HKEY_CLASSES_ROOT set for the test and given back afterwards.
class CClassesOverride
{
public:
    CClassesOverride(const char* key, const std::string& value) : m_key(key)
    {
        char old[1024] = "";
        DWORD size = sizeof old;
        m_bHad = ::RegGetValueA(HKEY_CLASSES_ROOT, key, nullptr, RRF_RT_REG_SZ, nullptr, old, &size) == ERROR_SUCCESS;
        m_old = old;
        Set(value);
    }
    ~CClassesOverride()
    {
        if (m_bHad)
            Set(m_old);
        else
            ::RegDeleteTreeA(HKEY_CLASSES_ROOT, m_key.c_str());
    }
    void Set(const std::string& value)
    {
        ::RegSetKeyValueA(HKEY_CLASSES_ROOT, m_key.c_str(), nullptr, REG_SZ, value.c_str(),
                          static_cast<DWORD>(value.size() + 1));
    }

private:
    std::string m_key, m_old;
    bool m_bHad = false;
};

// How many pixels of the control have the colour, and whether its lowest rows hold a line of
// it (the underline) across most of its width.
std::pair<int, bool> InkOf(HWND dialog, int id, COLORREF colour)
{
    RECT rect = {};
    ::GetWindowRect(::GetDlgItem(dialog, id), &rect);
    const CPixels pixels = ScreenPixels(rect);
    int count = 0;
    bool underlined = false;
    for (int y = 0; y < pixels.height; ++y) {
        int inRow = 0;
        for (int x = 0; x < pixels.width; ++x)
            inRow += pixels.At(x, y) == colour;
        count += inRow;
        underlined = underlined || (y >= pixels.height - 3 && inRow > pixels.width * 3 / 4);
    }
    return {count, underlined};
}

bool Shows(HWND dialog, int id, COLORREF colour)
{
    return WaitUntil([&] { return InkOf(dialog, id, colour).first > 20; }, 2000);
}

HCURSOR CursorNow()
{
    CURSORINFO info = {};
    info.cbSize = sizeof info;
    ::GetCursorInfo(&info);
    return info.hCursor;
}

// The mouse moved onto the control from a point beside it: whether the pointer changed, and the
// text of the tooltip that shows.
std::pair<bool, std::string> Hover(DWORD pid, HWND dialog, int id, POINT beside)
{
    MoveMouseTo(beside);
    const HCURSOR before = CursorNow();
    MoveMouseTo(CentreOf(dialog, id));
    HWND tip = nullptr;
    WaitUntil(
        [&] {
            for (HWND hwnd : TopLevelWindows(pid, "tooltips_class32"))
                if (::IsWindowVisible(hwnd))
                    tip = hwnd;
            return tip != nullptr;
        },
        3000);
    return {CursorNow() != before, tip ? WindowText(tip) : "<no tooltip>"};
}

using AboutBox = CPixletTest;
}  // namespace

TEST_F(AboutBox, ShowsItsLinksAndOpensThemWithTheShellOrTheProgramForWebPages)
{
    // The shell fails for both links; the program for web pages is the recorder.
    const std::string recorder = BuildDirectory() + "command_recorder.exe";
    const std::string recorded = recorder + ".txt";
    ::DeleteFileA(recorded.c_str());
    CClassesOverride https("https\\shell\\open\\command", kNowhere);
    CClassesOverride mailto("mailto\\shell\\open\\command", kNowhere);
    CClassesOverride htm(".htm", "PixletTest.Page");
    CClassesOverride page("PixletTest.Page\\shell\\open\\command", "\"" + recorder + "\" \"%1\"");

    CPixlet app;
    ASSERT_TRUE(Start(app));
    MoveMouseTo(POINT{5, 1000});
    const HWND about = Open(ID_ABOUT, "About");
    ASSERT_TRUE(about) << "the tray menu's About opened nothing";
    // The texts in the template's order (the icon last, which has none to read).
    std::string texts;
    for (HWND child = ::GetWindow(about, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
            texts += TextOf(child) + "|";
    EXPECT_EQ(texts, "OK|Pixlet Version 2.00|Author:|dorvan@example.com|Dorvan|Email:|Homepage:|My website|");
    WaitUntilPainted(about);
    SaveScreenshotIfAsked("about-box");

    // Both links blue and underlined, until the mouse is over one: then the highlight colour,
    // the hand and a tooltip with the target.
    const COLORREF blue = RGB(0, 0, 238), highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    for (int link : {IDC_EMAIL, IDC_HOMEPAGE}) {
        std::pair<int, bool> ink;
        EXPECT_TRUE(WaitUntil([&] { return (ink = InkOf(about, link, blue)).first > 20 && ink.second; }, 2000))
            << link << ": " << ink.first << " blue pixels";
    }
    const POINT belowEmail = {CentreOf(about, IDC_EMAIL).x, CentreOf(about, IDOK).y};
    EXPECT_EQ(Hover(app.Pid(), about, IDC_EMAIL, belowEmail), std::make_pair(true, std::string("mailto:dorvan@example.com")));
    EXPECT_TRUE(Shows(about, IDC_EMAIL, highlight)) << "no hover colour";
    MoveMouseTo(CentreOf(about, IDOK));
    EXPECT_TRUE(Shows(about, IDC_EMAIL, blue)) << "the hover stayed";

    // The shell cannot open the home page: the program for web pages gets it, two blanks after
    // its own name (its command's blank before the placeholder, and one more); the link turns
    // purple.
    ClickAt(CentreOf(about, IDC_HOMEPAGE));
    ASSERT_TRUE(WaitUntil([&] { return FileExists(recorded); }, 5000)) << "the program for web pages did not start";
    WaitUntil([&] { return !ReadBytes(recorded).empty(); }, 2000);
    const std::vector<BYTE> line = ReadBytes(recorded);
    EXPECT_EQ(std::string(line.begin(), line.end()), "\"" + recorder + "\"  https://www.example.com/pixlet32/");
    MoveMouseTo(CentreOf(about, IDOK));
    EXPECT_TRUE(Shows(about, IDC_HOMEPAGE, RGB(85, 26, 139))) << "a visited link is not purple";

    // Nothing can open the e-mail: the message says why, and the link stays blue.
    page.Set(kNowhere);
    ClickAt(CentreOf(about, IDC_EMAIL));
    EXPECT_EQ(AnswerMessageBox(app.Pid()).text, "Unable to open hyperlink:\n\nThe specified file was not found.");
    MoveMouseTo(CentreOf(about, IDOK));
    EXPECT_TRUE(Shows(about, IDC_EMAIL, blue));
    Press(about, IDOK);
    ASSERT_TRUE(WaitUntilClosed(about));

    // The program's icon in the Option dialog: the hand, the tooltip "About " (the main window
    // has no title), and a click opens the About box; closed, it leaves the dialog as it was.
    const HWND option = Open(ID_OPTION, "Option");
    ASSERT_TRUE(option);
    TypeText(option, IDC_PREFIX, "kept");
    const POINT belowIcon = {CentreOf(option, IDC_ABOUT_ICON).x, CentreOf(option, IDC_ABOUT_ICON).y + 60};
    EXPECT_EQ(Hover(app.Pid(), option, IDC_ABOUT_ICON, belowIcon), std::make_pair(true, std::string("About ")));
    ClickAt(CentreOf(option, IDC_ABOUT_ICON));
    const HWND second = WaitForDialog(app.Pid(), "About");
    ASSERT_TRUE(second) << "the icon opened nothing";
    // Modal over the Option dialog, which cannot be used meanwhile; the tray menu's Option and
    // About open no second, nested box over them.
    EXPECT_EQ(::GetWindow(second, GW_OWNER), option);
    EXPECT_FALSE(::IsWindowEnabled(option)) << "the Option dialog stays usable under the About box";
    const auto shown = [&](const char* caption) {
        int count = 0;
        for (HWND dialog : TopLevelWindows(app.Pid(), "#32770"))
            count += ::IsWindowVisible(dialog) && WindowText(dialog) == caption;
        return count;
    };
    for (UINT command : {UINT(ID_OPTION), UINT(ID_ABOUT)}) {
        // Sent, so that it has been handled when this returns (or a nested box runs).
        DWORD_PTR result = 0;
        ::SendMessageTimeoutA(app.MainWindow(), WM_COMMAND, command, 0, SMTO_NORMAL, 2000, &result);
    }
    EXPECT_EQ(shown("Option"), 1);
    EXPECT_EQ(shown("About"), 1);
    Press(second, IDOK);
    ASSERT_TRUE(WaitUntilClosed(second));
    EXPECT_TRUE(::IsWindowVisible(option));
    EXPECT_EQ(TextOf(option, IDC_PREFIX), "kept");
    Press(option, IDCANCEL);
    EXPECT_TRUE(WaitUntilClosed(option));
    EXPECT_TRUE(app.Exit());
}

