// A long reading of another program's list (20,000 rows, each text answered 1 ms late, longer
// than the time limit of one reading), taken with Ctrl on the frozen screen and with the tray
// picker: how far it has come shows within moments, Esc or Stop ends it, and the whole rows read
// so far are delivered with a note. Meanwhile no other action starts; afterwards the next does.
#include "support/Clipboard.h"
#include "support/ControlHost.h"
#include "support/Desktop.h"
#include "support/Picker.h"
#include "support/PixletTest.h"
#include "support/Screen.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>

using namespace testing_support;

namespace {
using LongReading = CPixletTest;

// The program's progress window, once it says how far the reading of the list has come.
HWND WaitForProgress(DWORD pid)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND hwnd : TopLevelWindows(pid, "#32770"))
                if (::IsWindowVisible(hwnd) &&
                    TextOf(hwnd, IDC_READING_HOW_FAR).find(" of 20,000 rows") != std::string::npos)
                    found = hwnd;
            return found != nullptr;
        },
        5000);
    return found;
}

// How many of the list's first rows the text is, each whole ("r<row>c0<TAB>r<row>c1<TAB>r<row>c2"
// and CR LF); -1 where it is anything else.
int FirstWholeRows(const std::string& text)
{
    int rows = 0;
    for (size_t at = 0; at < text.size(); ++rows) {
        const std::string r = "r" + std::to_string(rows);
        const std::string row = r + "c0\t" + r + "c1\t" + r + "c2\r\n";
        if (text.compare(at, row.size(), row) != 0)
            return -1;
        at += row.size();
    }
    return rows;
}

std::string Grouped(int number)
{
    std::string digits = std::to_string(number);
    return digits.size() > 3 ? digits.insert(digits.size() - 3, ",") : digits;  // under a million
}
}  // namespace

TEST_F(LongReading, ShowsHowFarItHasComeAndEscOrStopEndsItWithTheWholeRowsRead)
{
    CPixlet app;
    ASSERT_TRUE(Start(app));
    CControlHost host("slowlist");
    ASSERT_TRUE(host.Window() && host.InFrontAtLowerLeft());
    const POINT list = Centre(host.Control(kListTarget));
    HWND progress = nullptr;
    // The reading ended by `stop`: the progress window goes at once, and the first rows, whole,
    // are on the clipboard, with the note that says so.
    auto stoppedBy = [&](const std::function<void()>& stop) {
        stop();
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(progress); }, 2000)) << "the reading goes on";
        const std::string note = AnswerMessageBox(Pid()).text;
        const int rows = FirstWholeRows(ClipboardText());
        EXPECT_GT(rows, 0) << ClipboardText().substr(0, 200);
        EXPECT_EQ(note, "Only the first " + Grouped(rows) + " of 20,000 rows were copied: you stopped the reading.");
        EXPECT_TRUE(Idle());
    };

    Step("Ctrl and a press on the list on the frozen screen: within 2.5 s a window tells how far "
         "the reading has come");
    PutOnClipboard("none");
    ASSERT_TRUE(OpenSelector());
    MoveMouseInSteps(POINT{list.x - 10, list.y}, list, 2);
    ASSERT_TRUE(PressWithCtrl());
    const DWORD pressed = ::GetTickCount();
    ASSERT_TRUE(progress = WaitForProgress(Pid())) << "no progress shown";
    EXPECT_LE(::GetTickCount() - pressed, 2500u);
    EXPECT_EQ(TextOf(progress, IDC_READING_WHAT), "Reading the rows of a list view...");
    SaveScreenshotIfAsked("reading-progress");

    Step("a bar of 20,000 beside the count stands where the count does");
    const HWND bar = ::GetDlgItem(progress, IDC_READING_BAR);
    std::string shown;
    LRESULT at = -1;
    EXPECT_TRUE(WaitUntil([&] {
        at = ::SendMessageA(bar, PBM_GETPOS, 0, 0);
        shown = TextOf(progress, IDC_READING_HOW_FAR);
        return ::SendMessageA(bar, PBM_GETPOS, 0, 0) == at && ::SendMessageA(bar, PBM_GETRANGE, FALSE, 0) == 20000;
    }, 2000)) << "no bar of 20,000";
    EXPECT_EQ(shown, Grouped(static_cast<int>(at)) + " of 20,000 rows");

    Step("a PrintScreen during the reading takes nothing; the count goes on");
    const std::string before = TextOf(progress, IDC_READING_HOW_FAR);
    PressHotKey({VK_SNAPSHOT});
    EXPECT_FALSE(WaitUntil(HasBitmap, 1500)) << "a second action ran during the reading";
    EXPECT_NE(TextOf(progress, IDC_READING_HOW_FAR), before) << "the window does not follow the reading";

    Step("Esc stops the reading");
    stoppedBy([] { PressKeys({VK_ESCAPE}); });

    Step("the next PrintScreen is taken");
    PressHotKey({VK_SNAPSHOT});
    EXPECT_TRUE(WaitUntil(HasBitmap, 5000)) << "the program stayed busy";

    Step("with Ctrl through the tray picker: the same window; neither the tray menu nor the picker "
         "starts another action meanwhile");
    PutOnClipboard("none");
    const HWND main = app.MainWindow();
    ASSERT_TRUE(PickText(main, POINT{300, 300}, list));
    ASSERT_TRUE(progress = WaitForProgress(Pid())) << "no progress shown";
    ::PostMessageA(main, kTrayMessage, kTrayId, WM_RBUTTONUP);
    ::PostMessageA(main, kTrayMessage, kTrayId, WM_LBUTTONDOWN);
    auto menuShown = [&] {
        for (HWND menu : TopLevelWindows(Pid(), "#32768"))
            if (::IsWindowVisible(menu))
                return true;
        return false;
    };
    // As a menu opened before the reading would send its command.
    ::PostMessageA(main, WM_COMMAND, ID_OPTION, 0);
    auto opened = [&] { return ::IsWindowVisible(main) || menuShown() || WaitForDialog(Pid(), "Option", 0); };
    EXPECT_FALSE(WaitUntil(opened, 1000)) << "the tray menu, the picker or the Option dialog opened during the reading";

    Step("the Stop button stops the reading; then the Option dialog chosen meanwhile opens");
    stoppedBy([&] { ClickAt(CentreOf(progress, IDCANCEL)); });
    const HWND option = WaitForDialog(Pid(), "Option");
    ASSERT_TRUE(option) << "the command was lost";
    Press(option, IDCANCEL);
    EXPECT_TRUE(WaitUntilClosed(option));
}
