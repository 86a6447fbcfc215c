// What the progress window of a long reading says, and where it goes.
#include "capture/ReadingWatch.h"
#include "ui/ReadingProgressDlg.h"

#include <gtest/gtest.h>

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
