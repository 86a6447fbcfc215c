// The program's shell as a user meets it: one instance, the tray icon and its menu, the hot
// keys it holds (the letters of its profile), and its end. Pixlet32.exe runs in its own
// process; these tests watch it from outside.
#include "support/Desktop.h"
#include "support/Dialogs.h"
#include "support/PixletTest.h"
#include "support/Process.h"

#include "resource.h"

#include <gtest/gtest.h>
#include <shellapi.h>

using namespace testing_support;

namespace {
class TrayShell : public CPixletProfileTest
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

TEST_F(TrayShell, SecondStartEndsAtOnceWithoutWindowOrRegistryAndTheFirstRuns)
{
    CPixlet first;
    ASSERT_TRUE(StartAndWaitForIcon(first));

    const CShortRun second = RunToItsEnd(PixletPath());
    ASSERT_TRUE(second.ended) << "the second instance did not end";
    EXPECT_EQ(second.exitCode, 0u);
    EXPECT_FALSE(second.sawWindow) << "the second instance made a window";
    EXPECT_FALSE(CompanyKeyExists()) << "something was written to the registry";

    EXPECT_TRUE(first.IsRunning());
    EXPECT_TRUE(::IsWindow(first.MainWindow()));
    EXPECT_FALSE(::IsWindowVisible(first.MainWindow()));
    EXPECT_EQ(TrayIconCount(), 1);
}

TEST_F(TrayShell, ExitFromTheTrayMenuEndsTheProgramAndItsIconAndAllowsANewStart)
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

TEST_F(TrayShell, TrayMenuOpensAtTheCursorAndItsOtherCommandsKeepTheProgramRunning)
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

TEST_F(TrayShell, TheMenuResourceHoldsOptionAboutExitWithTwoSeparators)
{
    // Other processes cannot read a live menu under Wine, so the menu the program loads is read
    // from its file.
    const HMODULE exe = ::LoadLibraryExA(PixletPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(exe);
    const HMENU bar = ::LoadMenuA(exe, MAKEINTRESOURCEA(IDR_TRAY_MENU));
    ASSERT_TRUE(bar);
    const HMENU popup = ::GetSubMenu(bar, 0);
    ASSERT_TRUE(popup);
    struct Item {
        const char* text;
        UINT id;
    };
    const Item expected[] = {{"Option", ID_OPTION}, {nullptr, 0}, {"About", ID_ABOUT}, {nullptr, 0}, {"Exit", ID_EXIT}};
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

TEST_F(TrayShell, DefaultHotKeysAreHeldWhileTheProgramRuns)
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

TEST_F(TrayShell, LettersInTheProfileChooseTheAviHotKeysAndValuesOfAnotherTypeKeepTheDefaults)
{
    // Each round starts the program on these values: numbers are letters; a text or binary
    // value, even of a number's size, is no number, and the default letter holds.
    const struct {
        DWORD beginType, endType;
        const char *held, *free;
    } rounds[] = {{REG_DWORD, REG_DWORD, "DFG", "BEC"}, {REG_SZ, REG_BINARY, "BEG", "DFC"}};
    for (const auto& round : rounds) {
        SCOPED_TRACE(std::string("letters held ") + round.held);
        SetHotKeyValue("AVIB", round.beginType, std::string("D\0\0\0", 4));
        SetHotKeyValue("AVIE", round.endType, std::string("F\0\0\0", 4));
        SetHotKeyValue("AVIAB", 'G');
        CPixlet app;
        ASSERT_TRUE(StartAndWaitForIcon(app));
        for (const char* letter = round.held; *letter; ++letter)
            EXPECT_FALSE(IsHotKeyFree(kCtrlShift, static_cast<UINT>(*letter))) << *letter << " is not held";
        for (const char* letter = round.free; *letter; ++letter)
            EXPECT_TRUE(IsHotKeyFree(kCtrlShift, static_cast<UINT>(*letter))) << *letter << " is held";
        EXPECT_FALSE(IsHotKeyFree(0, VK_SNAPSHOT));
        ASSERT_TRUE(app.Exit());
    }
}

TEST_F(TrayShell, TaskbarCreatedBringsTheIconBack)
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
