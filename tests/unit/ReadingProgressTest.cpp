// What the progress window of a long reading says, and where it goes; and a reading on its own
// thread of a window that this very thread answers.
#include "app/ReadingThread.h"
#include "capture/ReadingWatch.h"
#include "ui/ReadingProgressDlg.h"

#include <gtest/gtest.h>

#include <commctrl.h>

TEST(ReadingProgress, SaysHowFarTheReadingHasComeInItsUnits)
{
    const struct {
        ReadingProgress progress;
        const char* howFar;
    } cases[] = {
        {{false, CutUnit::Rows, 0, -1}, ""},
        {{true, CutUnit::Rows, 0, 20000}, "0 of 20,000 rows"},
        {{true, CutUnit::Rows, 1234, 20000}, "1,234 of 20,000 rows"},
        {{true, CutUnit::Rows, 1, 1}, "1 of 1 row"},
        {{true, CutUnit::TreeItems, 1234, -1}, "1,234 items"},
        {{true, CutUnit::TreeItems, 1, -1}, "1 item"},
        {{true, CutUnit::Items, 7, 2147483647}, "7 of 2,147,483,647 items"},
        {{true, CutUnit::Columns, 3, 1024}, "3 of 1,024 columns"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadingHowFar(c.progress), c.howFar);

    CReadingWatch watch;
    EXPECT_EQ(ReadingHowFar(watch.Now()), "") << "before the reader said what it reads";
    watch.Counted(CutUnit::Rows, 12, 40);
    EXPECT_EQ(ReadingHowFar(watch.Now()), "12 of 40 rows");
    EXPECT_EQ(ReadingWhat(watch.Now().unit), "Reading the rows of a list view...");
    EXPECT_TRUE(watch.Grew("a\r\n"));
    watch.Stop();
    EXPECT_FALSE(watch.Grew("a\r\nb\r\n")) << "a stop asked is not passed on to the reading";
}

TEST(ReadingProgress, TheWindowGoesBesideTheCursorOnItsMonitor)
{
    const RECT monitor = {0, 0, 1024, 768};
    const SIZE window = {200, 80};
    const struct {
        POINT cursor;
        POINT origin;
    } cases[] = {
        {{100, 100}, {116, 116}},    // below right
        {{1000, 100}, {784, 116}},   // left of it at the right edge
        {{100, 740}, {116, 644}},    // above it at the bottom
        {{1020, 760}, {804, 664}},   // both in the corner
    };
    for (const auto& c : cases) {
        const POINT origin = ProgressOrigin(c.cursor, window, monitor);
        EXPECT_EQ(origin.x, c.origin.x) << c.cursor.x << "," << c.cursor.y;
        EXPECT_EQ(origin.y, c.origin.y) << c.cursor.x << "," << c.cursor.y;
    }
    // A second monitor left of the primary one: its own edges count.
    const POINT origin = ProgressOrigin(POINT{-10, 100}, window, RECT{-800, 0, 0, 600});
    EXPECT_EQ(origin.x, -226);
}

TEST(ReadingProgress, AWindowOfTheThreadThatWaitsForTheReadingIsReadWhole)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    const HWND list = ::CreateWindowExA(0, WC_LISTVIEWA, "", WS_POPUP | LVS_REPORT, 0, 0, 200, 100, nullptr, nullptr,
                                        ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(list);
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT;
    column.pszText = const_cast<char*>("Name");
    ::SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    for (const char* row : {"one", "two"}) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = 9;  // at the end
        item.pszText = const_cast<char*>(row);
        ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    // Every query of the reading is a message that this thread must answer while it waits.
    std::string text;
    const ReadResult result = ReadShowingProgress(list, text, nullptr);
    EXPECT_EQ(result.outcome, ReadResult::Outcome::Whole) << result.message;
    EXPECT_EQ(text, "one\r\ntwo\r\n");
    ::DestroyWindow(list);
}
