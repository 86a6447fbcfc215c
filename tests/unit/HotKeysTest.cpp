// The rules that decide which hot-key actions run.
#include "app/HotKeys.h"

#include <gtest/gtest.h>

TEST(Debounce, AcceptsAnActionTwoWholeSecondsAfterTheLastOnAClockThatOnlyMovesForward)
{
    // Milliseconds since the system started, whatever the clock of the day does (set back an
    // hour at the end of daylight saving time, say: no action is dropped for it).
    const ULONGLONG last = 7200000;  // the start, or the last action accepted
    EXPECT_FALSE(ShouldAcceptAction(FALSE, last + 999, last)) << "in the first second";
    EXPECT_FALSE(ShouldAcceptAction(FALSE, last + 1999, last));
    EXPECT_TRUE(ShouldAcceptAction(FALSE, last + 2000, last));
    EXPECT_TRUE(ShouldAcceptAction(FALSE, last + 2500, last));
    EXPECT_FALSE(ShouldAcceptAction(TRUE, last + 60000, last)) << "never while another action runs";
    // Past the 49.7 days at which a count of 32 bits starts again from zero.
    EXPECT_TRUE(ShouldAcceptAction(FALSE, 0x100000000ull + 1500, 0x100000000ull - 500));
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
