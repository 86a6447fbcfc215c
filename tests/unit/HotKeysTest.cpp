// The rules that decide which hot-key actions run.
#include "app/HotKeys.h"

#include <gtest/gtest.h>

namespace {
CDateTime At(int year, int month, int day, int hour, int minute, int second)
{
    std::tm tm = {};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    return CDateTime::FromTm(tm);
}
}  // namespace

TEST(DateTime, CountsDaysFromTheLastDayOf1899)
{
    EXPECT_DOUBLE_EQ(At(1899, 12, 30, 0, 0, 0).m_dt, 0.0);
    EXPECT_DOUBLE_EQ(At(1900, 1, 1, 0, 0, 0).m_dt, 2.0);
    EXPECT_DOUBLE_EQ(At(2000, 1, 1, 12, 0, 0).m_dt, 36526.5);
    EXPECT_DOUBLE_EQ(At(2026, 3, 1, 6, 0, 0).m_dt, 46082.25);
    EXPECT_FALSE(At(2026, 13, 1, 0, 0, 0).m_bValid);
}

TEST(Debounce, CountsWholeSecondsAcrossMinutesAndDays)
{
    EXPECT_EQ(ElapsedWholeSeconds(At(2026, 12, 7, 10, 0, 2), At(2026, 12, 7, 10, 0, 0)), 2);
    EXPECT_EQ(ElapsedWholeSeconds(At(2026, 12, 7, 10, 1, 1), At(2026, 12, 7, 10, 0, 59)), 2);
    EXPECT_EQ(ElapsedWholeSeconds(At(2027, 1, 1, 0, 0, 0), At(2026, 12, 31, 23, 59, 59)), 1);
    // Exact differences are not lost to the day fraction's rounding, at any time of the day.
    for (int second = 0; second < 86400 - 2; second += 997) {
        const CDateTime earlier = At(2026, 12, 7, second / 3600, second / 60 % 60, second % 60);
        const int later = second + 2;
        EXPECT_EQ(ElapsedWholeSeconds(At(2026, 12, 7, later / 3600, later / 60 % 60, later % 60), earlier), 2)
            << "at second " << second;
    }
}

TEST(Debounce, AcceptsAnActionOnlyTwoWholeSecondsAfterTheLast)
{
    const CDateTime last = At(2026, 12, 7, 10, 0, 0);
    // One second apart: dropped. 2.5 s apart lands 2 or 3 whole clock seconds later: accepted.
    EXPECT_FALSE(ShouldAcceptAction(FALSE, At(2026, 12, 7, 10, 0, 1), last));
    EXPECT_TRUE(ShouldAcceptAction(FALSE, At(2026, 12, 7, 10, 0, 2), last));
    EXPECT_TRUE(ShouldAcceptAction(FALSE, At(2026, 12, 7, 10, 0, 3), last));
    EXPECT_FALSE(ShouldAcceptAction(FALSE, last, last));
    // Never while another action runs.
    EXPECT_FALSE(ShouldAcceptAction(TRUE, At(2026, 12, 7, 10, 5, 0), last));
}

TEST(Debounce, ClockSetBackDropsActionsUntilItPassesTheLastByTwoSeconds)
{
    const CDateTime last = At(2026, 10, 25, 2, 59, 50);  // before the end of daylight saving time
    EXPECT_FALSE(ShouldAcceptAction(FALSE, At(2026, 10, 25, 2, 0, 10), last));
    EXPECT_FALSE(ShouldAcceptAction(FALSE, At(2026, 10, 25, 2, 59, 49), last));
    EXPECT_FALSE(ShouldAcceptAction(FALSE, At(2026, 10, 25, 2, 59, 51), last));
    EXPECT_TRUE(ShouldAcceptAction(FALSE, At(2026, 10, 25, 2, 59, 52), last));
}

TEST(HotKeys, BindsPrintScreenAndThreeCtrlShiftLetters)
{
    CaptureSettings settings;
    settings.m_chAviBeginKey = 'D';
    settings.m_chAviEndKey = 'F';
    settings.m_chAviAutoBeginKey = 'G';
    const auto keys = HotKeyBindings(settings);
    const UINT ctrlShift = MOD_CONTROL | MOD_SHIFT;
    const HotKeyBinding expected[] = {
        {IDH_COPY_AUTOMATICALLY, 0, VK_SNAPSHOT}, {IDH_COPY_MANUALLY, MOD_CONTROL, VK_SNAPSHOT},
        {IDH_AVI_BEGIN, ctrlShift, 'D'},          {IDH_AVI_END, ctrlShift, 'F'},
        {IDH_AVI_AUTO_BEGIN, ctrlShift, 'G'}};
    for (size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(keys[i].id, expected[i].id);
        EXPECT_EQ(keys[i].modifiers, expected[i].modifiers) << keys[i].id;
        EXPECT_EQ(keys[i].virtualKey, expected[i].virtualKey) << keys[i].id;
    }
}

TEST(HotKeys, EachKeyStartsItsActionAndOnlyPrintScreenWaitsHalfASecond)
{
    const struct {
        int id;
        Action action;
        DWORD delayMs;
    } keys[] = {{IDH_COPY_AUTOMATICALLY, Action::CopyAutomatically, 500},
                {IDH_COPY_MANUALLY, Action::CopyManually, 500},
                {IDH_AVI_BEGIN, Action::BeginRecording, 0},
                {IDH_AVI_END, Action::EndRecording, 0},
                {IDH_AVI_AUTO_BEGIN, Action::BeginAutoRecording, 0},
                {IDH_AVI_AUTO_BEGIN + 1, Action::None, 0}};
    for (const auto& key : keys) {
        EXPECT_EQ(ActionForHotKey(key.id).action, key.action) << key.id;
        EXPECT_EQ(ActionForHotKey(key.id).delayMs, key.delayMs) << key.id;
    }
}

TEST(HotKeys, KeysHeldByOthersAreNamedAsTheOptionDialogNamesThem)
{
    const CaptureSettings settings;
    const auto keys = HotKeyBindings(settings);
    EXPECT_EQ(HotKeyName(keys[0]), "PrintScreen");
    EXPECT_EQ(HotKeyName(keys[1]), "Ctrl + PrintScreen");
    EXPECT_EQ(HotKeyName(keys[2]), "Ctrl + Shift + B");

    // Nothing to say when every key is there.
    EXPECT_TRUE(StartNotice({}, false).text.empty());
    EXPECT_EQ(HeldLettersMessage({keys[0]}), "") << "only letters can be chosen again";
    const HotKeyNotice one = StartNotice({keys[0]}, false);
    EXPECT_EQ(one.title, "Hot keys held by another program");
    EXPECT_EQ(one.text, "PrintScreen does nothing here.");
    // Everything at once still fits a balloon.
    const HotKeyNotice all = StartNotice(std::vector<HotKeyBinding>(keys.begin(), keys.end()), true);
    EXPECT_EQ(all.text.rfind("PrintScreen, Ctrl + PrintScreen, Ctrl + Shift + B, Ctrl + Shift + E and Ctrl + Shift + C do "
                             "nothing here. PrintScreen opens Windows' own screen capture: turn off \"Use the Print "
                             "screen key",
                             0),
              0u)
        << all.text;
    EXPECT_LE(all.text.size(), 255u);
    EXPECT_EQ(StartNotice({}, true).title, "PrintScreen opens Windows' own screen capture");
    EXPECT_EQ(HeldLettersMessage({keys[0], keys[4]}),
              "Another program holds Ctrl + Shift + C, so it does nothing here. Please choose another letter.");
    EXPECT_EQ(HeldLettersMessage({keys[2], keys[4]}), "Another program holds Ctrl + Shift + B and Ctrl + Shift + C, so "
                                                      "they do nothing here. Please choose other letters.");
}
