#include "support/PixletTest.h"

#include "support/Desktop.h"
#include "support/Files.h"
#include "support/Screen.h"

#include <dlgs.h>

#include <cstdio>

namespace testing_support {

void CPixletTest::SetUp()
{
    const int ended = EndRunningPixlets();
    ASSERT_GE(ended, 0) << "a Pixlet32 left running by an earlier test could not be ended";
    if (ended > 0) {
        std::printf("Ended %d Pixlet32.exe or Pixlet64.exe left running by an earlier test.\n", ended);
        std::fflush(stdout);
    }
    // Its icon goes with its window.
    ASSERT_TRUE(WaitUntil([] { return TrayIconCount() == 0; }, 5000)) << "a tray icon was left behind";
}

void CPixletTest::TearDown()
{
    m_step.reset();
    // Whatever the test started has ended with its objects by now.
    const auto noneRunning = [] {
        return ProcessesNamed("Pixlet32.exe").empty() && ProcessesNamed("Pixlet64.exe").empty();
    };
    EXPECT_TRUE(WaitUntil(noneRunning, 2000)) << "the test left Pixlet32 running";
    EndRunningPixlets();
}

::testing::AssertionResult CPixletTest::Start(CPixlet& app)
{
    m_app = &app;
    const ::testing::AssertionResult started = StartAndWaitForIcon(app);
    // The program takes its start for the last action when its main window is made, before
    // its icon shows: counted from here, no action comes too early.
    m_pacer.Accepted();
    return started;
}

std::vector<HWND> CPixletTest::Selectors()
{
    std::vector<HWND> shown;
    const RECT screen = Screen();
    for (HWND hwnd : TopLevelWindows(Pid(), "#32770")) {
        const RECT rect = WindowRect(hwnd);
        if (::IsWindowVisible(hwnd) && ::EqualRect(&rect, &screen))
            shown.push_back(hwnd);
    }
    return shown;
}

void COptionTest::SaveAs(HWND dialog, int id, const std::string& name)
{
    Press(dialog, id);
    const HWND saveAs = WaitForDialog(Pid(), kSaveAs);
    ASSERT_TRUE(saveAs) << "no Save As dialog";
    SetText(saveAs, cmb13, name);
    PressFor(saveAs, IDOK, IDYES, kSaveAs);
    EXPECT_TRUE(Settled(saveAs));
}

void COptionTest::CancelBrowse(HWND dialog, int id, const char* caption)
{
    Press(dialog, id);
    const HWND browser = WaitForDialog(Pid(), caption);
    ASSERT_TRUE(browser) << "no dialog " << caption;
    EXPECT_EQ(PressFor(browser, IDCANCEL), "");
}

::testing::AssertionResult COptionTest::Records(const std::string& file, const std::vector<WORD>& begin,
                                                const std::vector<WORD>& end)
{
    PressHotKey(begin);
    if (!WaitUntil([&] { return IsInUse(file); }, 15000))
        return ::testing::AssertionFailure() << "no recording began";
    if (!end.empty())
        PressHotKey(end);
    // Not in use is not yet ended: a name in another script is made (and let go) before the
    // library opens it.
    if (!WaitUntil([&] { return !IsInUse(file) && IsCompleteRiff(file); }, 20000))
        return ::testing::AssertionFailure() << "the recording did not end";
    return ::testing::AssertionSuccess();
}

void CPixletProfileTest::SetUp()
{
    ASSERT_NO_FATAL_FAILURE(CPixletTest::SetUp());
    DeleteCompanyKey();
}

void CPixletProfileTest::TearDown()
{
    DeleteCompanyKey();
    CPixletTest::TearDown();
}

::testing::AssertionResult StartAndWaitForIcon(CPixlet& app, const std::string& exePath)
{
    if (!app.Start(exePath))
        return ::testing::AssertionFailure() << "Pixlet32 did not start: error " << ::GetLastError();
    if (!app.WaitForMainWindow())
        return ::testing::AssertionFailure() << "Pixlet32 made no main window";
    if (!WaitUntil([] { return TrayIconCount() == 1; }, 10000))
        return ::testing::AssertionFailure() << "Pixlet32 showed no tray icon (" << TrayIconCount() << " icons)";
    return ::testing::AssertionSuccess();
}

}  // namespace testing_support
