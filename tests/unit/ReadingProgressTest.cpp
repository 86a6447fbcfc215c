// What the progress window of a long reading says; and a reading on its own thread of a window
// that the very thread waiting for it answers.
#include "app/ReadingThread.h"
#include "text/ReadingWatch.h"

#include <gtest/gtest.h>

#include <commctrl.h>

TEST(ReadingProgress, SaysHowFarTheReadingHasComeInItsUnits)
{
    const struct {
        ReadingProgress progress;
        const char* howFar;
    } cases[] = {
        {{false, CutUnit::Rows, 0, -1}, ""},
        {{true, CutUnit::Rows, 1234, 20000}, "1,234 of 20,000 rows"},
        {{true, CutUnit::Rows, 1, 1}, "1 of 1 row"},
        {{true, CutUnit::TreeItems, 1234, -1}, "1,234 items"},
        {{true, CutUnit::TreeItems, 1, -1}, "1 item"},
        {{true, CutUnit::Columns, 3, 1024}, "3 of 1,024 columns"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadingHowFar(c.progress), c.howFar);

    CReadingWatch watch;
    watch.Counted(CutUnit::Rows, 12, 40);
    EXPECT_EQ(ReadingHowFar(watch.Now()), "12 of 40 rows");
    EXPECT_TRUE(watch.Grew("a\r\n"));
    watch.Stop();
    EXPECT_FALSE(watch.Grew("a\r\nb\r\n")) << "a stop asked is not passed on to the reading";
}

TEST(ReadingProgress, AWindowOfTheThreadThatWaitsForTheReadingIsReadWhole)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    const HWND list = ::CreateWindowExA(0, WC_LISTVIEWA, "", WS_POPUP | LVS_REPORT, 0, 0, 200, 100, nullptr, nullptr,
                                        ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(list);
    LVCOLUMNA column = {};
    ::SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    for (const char* row : {"two", "one"}) {
        item.pszText = const_cast<char*>(row);
        ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    // A character typed meanwhile into a window of this thread (the Option dialog, say) reaches it
    // whole, whatever the code page holds.
    const HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr,
                                        ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(edit);
    ::PostMessageW(edit, WM_CHAR, 0x65E5, 1);
    // Every query of the reading is a message that this thread must answer while it waits.
    std::string text;
    const Outcome result = ReadShowingProgress(list, text, nullptr);
    EXPECT_EQ(result.kind, Outcome::Kind::Done) << result.message;
    EXPECT_EQ(text, "one\r\ntwo\r\n");
    wchar_t typed[8] = L"";
    ::GetWindowTextW(edit, typed, 8);
    EXPECT_STREQ(typed, L"\x65E5");
    ::DestroyWindow(edit);
    ::DestroyWindow(list);
}
