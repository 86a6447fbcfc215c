// The program's shell as a user meets it: one instance, the tray icon and its menu, the hot
// keys it holds, the picker window, and its end. Pixlet32.exe runs in its own process; these
// tests watch it from outside.
#include "support/Desktop.h"
#include "support/Dialogs.h"
#include "support/PixletTest.h"
#include "support/Process.h"

#include <gtest/gtest.h>
#include <shellapi.h>

using namespace testing_support;

namespace {
const UINT kTrayMessage = WM_USER + 10;
const UINT kTrayId = 129;
const UINT kCtrlShift = MOD_CONTROL | MOD_SHIFT;

class AppShell : public CPixletProfileTest
{
protected:

    static HWND VisibleMenuOf(const CPixlet& app)
    {
        for (HWND hwnd : TopLevelWindows(app.Pid(), "#32768"))
            if (::IsWindowVisible(hwnd))
                return hwnd;
        return nullptr;
    }

    static HWND OpenTrayMenu(const CPixlet& app, POINT at)
    {
        ::SetCursorPos(at.x, at.y);
        ::PostMessageA(app.MainWindow(), kTrayMessage, kTrayId, WM_RBUTTONUP);
        HWND menu = nullptr;
        WaitUntil([&] { return (menu = VisibleMenuOf(app)) != nullptr; }, 5000);
        return menu;
    }
};
}  // namespace

TEST_F(AppShell, SecondStartEndsAtOnceWithoutWindowOrRegistryAndTheFirstRuns)
{
    CPixlet first;
    ASSERT_TRUE(StartAndWaitForIcon(first));

    CProcess second;
    ASSERT_TRUE(second.Start(PixletPath()));
    bool sawWindow = false;
    const bool ended = WaitUntil(
        [&] {
            for (HWND hwnd : TopLevelWindows(second.Pid()))
                sawWindow = sawWindow || ::IsWindowVisible(hwnd) || ClassNameOf(hwnd) == "#32770";
            return !second.IsRunning();
        },
        10000, 1);
    ASSERT_TRUE(ended) << "the second instance did not end";
    DWORD exitCode = 1;
    second.WaitForExit(0, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_FALSE(sawWindow) << "the second instance made a window";
    EXPECT_FALSE(CompanyKeyExists()) << "something was written to the registry";

    EXPECT_TRUE(first.IsRunning());
    EXPECT_TRUE(::IsWindow(first.MainWindow()));
    EXPECT_FALSE(::IsWindowVisible(first.MainWindow()));
    EXPECT_EQ(TrayIconCount(), 1);
}

TEST_F(AppShell, ExitFromTheTrayMenuEndsTheProgramAndItsIconAndAllowsANewStart)
{
    {
        CPixlet app;
        ASSERT_TRUE(StartAndWaitForIcon(app));
        const HWND menu = OpenTrayMenu(app, POINT{300, 300});
        ASSERT_TRUE(menu) << "no menu";
        // Option, About and Exit are the menu's three commands; Exit is the last.
        PressKeys({VK_DOWN});
        PressKeys({VK_DOWN});
        PressKeys({VK_DOWN});
        PressKeys({VK_RETURN});
        DWORD exitCode = 1;
        ASSERT_TRUE(app.WaitForExit(10000, &exitCode)) << "Exit did not end the program";
        EXPECT_EQ(exitCode, 0u);
        EXPECT_EQ(TrayIconCount(), 0);
    }
    CPixlet again;
    ASSERT_TRUE(StartAndWaitForIcon(again));
    EXPECT_TRUE(again.IsRunning());
}

TEST_F(AppShell, TrayMenuOpensAtTheCursorAndItsOtherCommandsKeepTheProgramRunning)
{
    CPixlet app;
    ASSERT_TRUE(StartAndWaitForIcon(app));
    // The menu opens where the cursor is (repeated: under Wine the program may see the cursor's
    // previous position for a moment after another process moved it).
    RECT rect = {};
    bool atCursor = false;
    for (int attempt = 0; attempt < 5 && !atCursor; ++attempt) {
        const HWND menu = OpenTrayMenu(app, POINT{400, 350});
        ASSERT_TRUE(menu) << "no menu";
        ::GetWindowRect(menu, &rect);
        atCursor = rect.left == 400 && rect.top == 350;
        PressKeys({VK_ESCAPE});
        EXPECT_TRUE(WaitUntil([&] { return VisibleMenuOf(app) == nullptr; }, 5000)) << "Escape left the menu open";
    }
    EXPECT_TRUE(atCursor) << "menu at " << rect.left << "," << rect.top;

    // The first and the second command open the Option dialog and the About box; closed, they
    // leave the program as it was: running, its icon in the tray, its hot keys held, its window
    // answering.
    for (int downs = 1; downs <= 2; ++downs) {
        const char* caption = downs == 1 ? "Option" : "About";
        SCOPED_TRACE(caption);
        ASSERT_TRUE(OpenTrayMenu(app, POINT{400, 350}));
        for (int i = 0; i < downs; ++i)
            PressKeys({VK_DOWN});
        PressKeys({VK_RETURN});
        EXPECT_TRUE(WaitUntil([&] { return VisibleMenuOf(app) == nullptr; }, 5000));
        const HWND dialog = WaitForDialog(app.Pid(), caption);
        EXPECT_TRUE(dialog) << "the command opened nothing";
        if (dialog) {
            Press(dialog, downs == 1 ? IDCANCEL : IDOK);
            EXPECT_TRUE(WaitUntilClosed(dialog));
        }
        EXPECT_FALSE(app.WaitForExit(300));
        EXPECT_EQ(TrayIconCount(), 1);
        EXPECT_FALSE(IsHotKeyFree(0, VK_SNAPSHOT));
        EXPECT_FALSE(IsHotKeyFree(kCtrlShift, 'B'));
        DWORD_PTR result = 0;
        EXPECT_TRUE(::SendMessageTimeoutA(app.MainWindow(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result))
            << "the main window does not answer";
    }
    EXPECT_TRUE(app.Exit());
}

TEST_F(AppShell, TheMenuResourceHoldsOptionAboutExitWithTwoSeparators)
{
    // Other processes cannot read a live menu under Wine, so the menu the program loads is read
    // from its file.
    const HMODULE exe = ::LoadLibraryExA(PixletPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(exe);
    const HMENU bar = ::LoadMenuA(exe, MAKEINTRESOURCEA(129));
    ASSERT_TRUE(bar);
    const HMENU popup = ::GetSubMenu(bar, 0);
    ASSERT_TRUE(popup);
    struct Item {
        const char* text;
        UINT id;
    };
    const Item expected[] = {{"Option", 32772}, {nullptr, 0}, {"About", 32773}, {nullptr, 0}, {"Exit", 32771}};
    ASSERT_EQ(::GetMenuItemCount(popup), 5);
    for (int i = 0; i < 5; ++i) {
        char text[64] = "";
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        ASSERT_TRUE(::GetMenuItemInfoA(popup, static_cast<UINT>(i), TRUE, &info));
        if (expected[i].text) {
            EXPECT_STREQ(text, expected[i].text);
            EXPECT_EQ(info.wID, expected[i].id);
        } else {
            EXPECT_TRUE(info.fType & MFT_SEPARATOR) << "item " << i;
        }
    }
    ::DestroyMenu(bar);
    ::FreeLibrary(exe);
}

TEST_F(AppShell, DefaultHotKeysAreHeldWhileTheProgramRuns)
{
    const struct {
        UINT modifiers;
        UINT vk;
    } keys[] = {{kCtrlShift, 'B'}, {kCtrlShift, 'E'}, {kCtrlShift, 'C'}, {0, VK_SNAPSHOT}, {MOD_CONTROL, VK_SNAPSHOT}};
    {
        CPixlet app;
        ASSERT_TRUE(StartAndWaitForIcon(app));
        for (const auto& key : keys)
            EXPECT_FALSE(IsHotKeyFree(key.modifiers, key.vk)) << "key " << key.vk << " mods " << key.modifiers;
        EXPECT_TRUE(IsHotKeyFree(kCtrlShift, 'D'));
        ASSERT_TRUE(app.Exit());
    }
    for (const auto& key : keys)
        EXPECT_TRUE(IsHotKeyFree(key.modifiers, key.vk)) << "key " << key.vk << " still held after exit";
}

TEST_F(AppShell, LettersInTheProfileChooseTheAviHotKeys)
{
    SetHotKeyValue("AVIB", 68);
    SetHotKeyValue("AVIE", 70);
    SetHotKeyValue("AVIAB", 71);
    CPixlet app;
    ASSERT_TRUE(StartAndWaitForIcon(app));
    for (UINT letter : {'D', 'F', 'G'})
        EXPECT_FALSE(IsHotKeyFree(kCtrlShift, letter)) << static_cast<char>(letter);
    for (UINT letter : {'B', 'E', 'C'})
        EXPECT_TRUE(IsHotKeyFree(kCtrlShift, letter)) << static_cast<char>(letter);
    EXPECT_FALSE(IsHotKeyFree(0, VK_SNAPSHOT));
}

TEST_F(AppShell, TrayLeftPressShowsThePickerTopmostAndCentredOnTheCursor)
{
    CPixlet app;
    ASSERT_TRUE(StartAndWaitForIcon(app));
    const HWND picker = app.MainWindow();
    RECT rect = {};
    ::GetWindowRect(picker, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    // Presses the tray icon with the cursor at (x, y); true once the picker's top-left corner
    // is at (left, top). Under Wine another process may still see the old cursor position for a
    // moment after SetCursorPos, so the press is repeated until it lands.
    auto pressAt = [&](int x, int y, int left, int top) {
        for (int attempt = 0; attempt < 10; ++attempt) {
            ::SetCursorPos(x, y);
            ::PostMessageA(picker, kTrayMessage, kTrayId, WM_LBUTTONDOWN);
            if (WaitUntil(
                    [&] {
                        ::GetWindowRect(picker, &rect);
                        return ::IsWindowVisible(picker) && rect.left == left && rect.top == top;
                    },
                    500))
                return true;
        }
        return false;
    };

    EXPECT_TRUE(pressAt(500, 400, 500 - width / 2, 400 - height / 2))
        << "picker at " << rect.left << "," << rect.top;
    EXPECT_EQ(rect.right - rect.left, width);
    EXPECT_TRUE(::GetWindowLongA(picker, GWL_EXSTYLE) & WS_EX_TOPMOST);

    // Near the bottom-right corner it is pushed back onto the screen...
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN), screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    EXPECT_TRUE(pressAt(screenWidth - 3, screenHeight - 2, screenWidth - width, screenHeight - height))
        << "picker at " << rect.left << "," << rect.top;
    // ...near the top-left corner it is not: it may start off the screen.
    EXPECT_TRUE(pressAt(2, 1, 2 - width / 2, 1 - height / 2)) << "picker at " << rect.left << "," << rect.top;

    // Callbacks for another icon id are not ours.
    EXPECT_EQ(::SendMessageA(picker, kTrayMessage, kTrayId + 1, WM_LBUTTONDOWN), 0);
}

TEST_F(AppShell, TaskbarCreatedBringsTheIconBack)
{
    CPixlet app;
    ASSERT_TRUE(StartAndWaitForIcon(app));
    // As if the taskbar had been restarted: the icon is gone, then the shell announces itself.
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = app.MainWindow();
    data.uID = kTrayId;
    ASSERT_TRUE(::Shell_NotifyIconA(NIM_DELETE, &data));
    ASSERT_TRUE(WaitUntil([] { return TrayIconCount() == 0; }, 5000));
    ::PostMessageA(HWND_BROADCAST, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitUntil([] { return TrayIconCount() == 1; }, 5000)) << "the icon did not come back";
}
