// What one reading of another program's control may take, and the notes that say what was left out.
#include "text/ReadLimits.h"

#include <gtest/gtest.h>

namespace {
ULONGLONG g_fakeNow = 0;
ULONGLONG WINAPI FakeNow()
{
    return g_fakeNow;
}
}  // namespace

TEST(ReadLimits, NotesSayWhatWasLeftOutAndWhyAndTheClockEndsTheReading)
{
    EXPECT_EQ(CutNote(CutUnit::Rows, 976, 2147483647, CutReason::ItemLimit, kReadLimits),
              "Only the first 976 of 2,147,483,647 rows were copied: at most 1,000,000 cells are read at a time.");
    EXPECT_EQ(CutNote(CutUnit::Items, 8400, 2147483647, CutReason::TimeLimit, kReadLimits),
              "Only the first 8,400 of 2,147,483,647 items were copied: reading stopped after 60 seconds.");
    EXPECT_EQ(CutNote(CutUnit::Columns, 1024, 5000, CutReason::ColumnLimit, kReadLimits),
              "Only the first 1,024 of 5,000 columns were copied: at most 1,024 columns are read.");
    EXPECT_EQ(CutNote(CutUnit::Characters, 33554432, 1073741824, CutReason::TextLimit, kReadLimits),
              "Only the first 33,554,432 of 1,073,741,824 characters were copied: the text would have grown past 32 MB.");
    EXPECT_EQ(CutNote(CutUnit::TreeItems, 7, 0, CutReason::TimeLimit, ReadLimits{1, 1, 1, 2500}),
              "Only the first 7 items of the tree were copied: reading stopped after 2,500 ms.");
    EXPECT_EQ(CutNote(CutUnit::Rows, 976, 20000, CutReason::Stopped, kReadLimits),
              "Only the first 976 of 20,000 rows were copied: you stopped the reading.");
    // One item, or none, read well too.
    EXPECT_EQ(CutWhat(CutUnit::Rows, 1, 5), "Only the first of 5 rows was copied");
    EXPECT_EQ(CutWhat(CutUnit::Items, 0, 5), "None of the 5 items were copied");
    EXPECT_EQ(CutWhat(CutUnit::Characters, 0, 1), "The only character was not copied");
    EXPECT_EQ(CutWhat(CutUnit::TreeItems, 1, 0), "Only the first item of the tree was copied");
    EXPECT_EQ(CutWhat(CutUnit::TreeItems, 0, 0), "No item of the tree was copied");

    g_fakeNow = 0xFFFFFFF0ull;  // past where a 32-bit tick count would wrap
    const CReadDeadline deadline(60000, &FakeNow);
    g_fakeNow += 59999;
    EXPECT_FALSE(deadline.Passed());
    g_fakeNow += 1;
    EXPECT_TRUE(deadline.Passed());
}
