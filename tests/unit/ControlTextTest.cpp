// Reading the text of controls that live in another process (control_host.exe), and putting
// it on the clipboard.
#include "app/Report.h"
#include "app/StillActions.h"
#include "text/ControlReaders.h"
#include "capture/Delivery.h"
#include "text/ProcessMemory.h"
#include "framework/App.h"
#include "support/Clipboard.h"
#include "support/ControlHost.h"
#include "support/Files.h"
#include "support/MessageBoxWatcher.h"
#include "support/Process.h"
#include "support/SoundCapture.h"
#include "support/TextSink.h"
#include "text/ReadingWatch.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <thread>

using namespace testing_support;

namespace {
// control_host.exe (or its 64-bit twin) running one case, until the object goes.
class CHost : public CControlHost
{
public:
    using CControlHost::CControlHost;
    std::string TextOf(int id) const
    {
        std::string text;
        GetControlText(Control(id), text);
        return text;
    }
};

const char kWorld[] = "café Ελληνικά 日本語 Привет 😀";
const char kOwnerDataRefusal[] = "This control is having OwnerData style!\r\nSo the contents cannot be captured.";

// The host's Unicode windows, read as UTF-8 from every kind of control.
void ExpectUnicodeTexts(const CHost& host)
{
    const std::string world = kWorld;
    EXPECT_EQ(host.TextOf(kUnicodeListBox), world + "\r\nЖ\r\n");
    EXPECT_EQ(host.TextOf(kUnicodeCombo), world + "\r\n");
    EXPECT_EQ(host.TextOf(kUnicodeList), world + "\tПривет\r\n");
    std::string titles;
    GetControlText(ListView_GetHeader(host.Control(kUnicodeList)), titles);
    EXPECT_EQ(titles, "Ελληνικά\r\n日本語\r\n");
    EXPECT_EQ(host.TextOf(kUnicodeTree), world + "\r\n\t日本語\r\n");
    EXPECT_EQ(host.TextOf(kUnicodeEdit), world);
}

std::string DeepTreeText(int levels)
{
    std::string text;
    for (int depth = 0; depth < levels; ++depth)
        text += std::string(static_cast<size_t>(depth), '\t') + "L" + std::to_string(depth) + "\r\n";
    return text;
}

class ControlText : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_pHost = new CHost("controls"); }
    static void TearDownTestSuite()
    {
        delete s_pHost;
        s_pHost = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(s_pHost->Window()) << "control_host.exe did not come up"; }
    static CHost* s_pHost;
};
CHost* ControlText::s_pHost = nullptr;
}  // namespace

TEST_F(ControlText, ListViewsAreReadRowByRowAndCellByCell)
{
    EXPECT_EQ(s_pHost->TextOf(kListView), Golden("listview_3x2.txt"));
    EXPECT_EQ(s_pHost->TextOf(kListNoHeader), Golden("listview_no_header.txt")) << "no header: one column";
    EXPECT_EQ(s_pHost->TextOf(kListNoColumns), Golden("listview_no_columns.txt")) << "0 columns: CR LF per row";
    EXPECT_EQ(s_pHost->TextOf(kListEmpty), "");
    EXPECT_EQ(s_pHost->TextOf(kListLongCell), Golden("listview_long_cell.txt")) << "cells are cut to 1023 characters";
}

TEST_F(ControlText, TextBeyondAnyCodePageIsReadExactlyAndCutAtWholeCharacters)
{
    ExpectUnicodeTexts(*s_pHost);
    // "café " takes 6 bytes; the next character, 2 more, would pass 7.
    const ReadLimits seven = {kMaxColumns, kMaxItems, 7, 60000};
    std::string text;
    Outcome result = GetControlText(s_pHost->Control(kUnicodeEdit), text, seven);
    EXPECT_EQ(text, "café ");
    EXPECT_EQ(result.message, "Only the first 5 of 27 characters were copied: the text would have grown past 7 bytes.");
    // A surrogate pair is one character: never half of it.
    const ReadLimits all = {kMaxColumns, kMaxItems, std::string(kWorld).size() - 1, 60000};
    result = GetControlText(s_pHost->Control(kUnicodeEdit), text, all);
    EXPECT_EQ(text, std::string(kWorld).substr(0, std::string(kWorld).size() - 4));
    EXPECT_EQ(result.message, "Only the first 25 of 27 characters were copied: the text would have grown past 49 bytes.");
}

TEST_F(ControlText, AnOwnerDataListWhoseOwnerAnswersNothingIsRefusedWithAMessage)
{
    std::string text = "";
    const Outcome result = GetControlText(s_pHost->Control(kListOwnerData), text);
    EXPECT_EQ(result.kind, Outcome::Kind::Refused);
    EXPECT_EQ(result.message, kOwnerDataRefusal);
    EXPECT_EQ(text, "");

    CClipboardOwner owner;
    PutOnClipboard("kept");
    CMessageBoxWatcher watcher;
    CopyControlText(s_pHost->Control(kListOwnerData), owner);
    ASSERT_TRUE(watcher.Wait());
    EXPECT_EQ(watcher.m_text, std::string(kOwnerDataRefusal) + "\r\nThe clipboard was left as it was.");
    EXPECT_EQ(ClipboardText(), "kept");
}

TEST_F(ControlText, HeadersListTheirColumnTitles)
{
    EXPECT_EQ(s_pHost->TextOf(kHeader), Golden("header.txt"));
}

TEST_F(ControlText, TreesGiveTheirExpandedPartIndentedByDepth)
{
    EXPECT_EQ(s_pHost->TextOf(kTreeCollapsed), Golden("tree_collapsed.txt"));
    EXPECT_EQ(s_pHost->TextOf(kTreeThreeLevels), Golden("tree_three_levels.txt"));
    EXPECT_EQ(s_pHost->TextOf(kTreeRoots), Golden("tree_roots.txt"));
}

TEST_F(ControlText, ATreeOfTheDeepestReadableDepthIsReadWhole)
{
    EXPECT_EQ(s_pHost->TextOf(kTreeDeepFull), DeepTreeText(1025));
}

TEST_F(ControlText, ATreeOneLevelDeeperIsAbortedWithAMessageAndItsTextSoFar)
{
    std::string text;
    const Outcome result = GetControlText(s_pHost->Control(kTreeDeepOverflow), text);
    EXPECT_EQ(result.kind, Outcome::Kind::Aborted) << "the reading itself shows nothing";
    EXPECT_EQ(text, DeepTreeText(1025));

    CClipboardOwner owner;
    CMessageBoxWatcher watcher;
    CopyControlText(s_pHost->Control(kTreeDeepOverflow), owner);
    ASSERT_TRUE(watcher.Wait());
    EXPECT_EQ(watcher.m_text, "Stack overfloaw!\r\nAborting...");
    EXPECT_EQ(watcher.m_hIcon, ::LoadIconA(nullptr, IDI_HAND));
    EXPECT_EQ(ClipboardText(), DeepTreeText(1025)) << "the text so far is delivered";
}

TEST_F(ControlText, ListBoxesComboBoxesAndOtherWindows)
{
    EXPECT_EQ(s_pHost->TextOf(kCombo), Golden("combo.txt"));
    EXPECT_EQ(s_pHost->TextOf(kListBox), Golden("listbox.txt"));
    EXPECT_EQ(s_pHost->TextOf(kEdit), Golden("edit.txt"));
    EXPECT_EQ(s_pHost->TextOf(0), "") << "no such window";
    std::string title;
    GetControlText(s_pHost->Window(), title);
    EXPECT_EQ(title, "Pixlet32 test controls");
}

TEST_F(ControlText, TheTextGoesToTheClipboardAloneWithTheShutterSound)
{
    CClipboardOwner owner;
    PutOnClipboard("before");
    ClearSoundCapture();
    CopyControlText(s_pHost->Control(kListView), owner);
    EXPECT_EQ(ClipboardText(), Golden("listview_3x2.txt"));
    // Only the text, and the forms the system derives from it, is left on the clipboard.
    ASSERT_TRUE(::OpenClipboard(nullptr));
    for (UINT format = ::EnumClipboardFormats(0); format; format = ::EnumClipboardFormats(format))
        EXPECT_TRUE(format == CF_TEXT || format == CF_OEMTEXT || format == CF_UNICODETEXT || format == CF_LOCALE)
            << "format " << format;
    ::CloseClipboard();
    if (SoundCaptureAvailable()) {
        EXPECT_EQ(CapturedSound(), ShutterSamples());
    }

    // A window that is gone: why, and the clipboard as it was, without the shutter.
    ClearSoundCapture();
    CMessageBoxWatcher watcher;
    CopyControlText(nullptr, owner);
    ASSERT_TRUE(watcher.Wait());
    EXPECT_EQ(watcher.m_text, "The text of this window could not be read: the window was closed.\r\nThe clipboard was "
                              "left as it was.");
    EXPECT_EQ(ClipboardText(), Golden("listview_3x2.txt"));
    EXPECT_TRUE(CapturedSound().empty());
}

TEST(ControlTextClipboard, AClipboardHeldByAnotherProgramFailsWithAMessageAndNoSound)
{
    PutOnClipboard("kept");
    ClearSoundCapture();
    {
        CHost holder("clipboard");
        ASSERT_TRUE(holder.Window());
        CClipboardOwner owner;
        CMessageBoxWatcher watcher;
        Report(DeliverText("lost", owner));
        ASSERT_TRUE(watcher.Wait());
        EXPECT_EQ(watcher.m_text, "Clipboard operation failed!");
        EXPECT_EQ(watcher.m_hIcon, ::LoadIconA(nullptr, IDI_HAND));
    }
    EXPECT_TRUE(CapturedSound().empty()) << "a failed capture plays no sound";
    EXPECT_EQ(ClipboardText(), "kept");

    // Text the clipboard would not take (open, but refusing the data) is the same failure: only
    // its message, neither the shutter nor what the reading left out.
    CMessageBoxWatcher refused;
    const Outcome cut = Outcome::Of(Outcome::Kind::Cut, "left out");
    Report(TextCaptureOutcome(cut, Outcome::Of(Outcome::Kind::ClipboardFailed)));
    ASSERT_TRUE(refused.Wait());
    EXPECT_EQ(refused.m_text, "Clipboard operation failed!");
    EXPECT_TRUE(CapturedSound().empty()) << "the shutter sounded for text that went nowhere";
}

TEST(ControlTextTargets, AProgramThatCannotBeOpenedIsNamedAndTheClipboardKeptWithoutTheShutter)
{
    CHost host("locked");
    ASSERT_TRUE(host.Window());
    const std::string why = "The text of this window cannot be read: its program runs with higher rights than "
                            "Pixlet32, or as another user.";
    for (int id : {kListView, kHeader, kTreeRoots}) {
        std::string text;
        const Outcome result = GetControlText(host.Control(id), text);
        EXPECT_EQ(result.kind, Outcome::Kind::Refused) << id;
        EXPECT_EQ(result.message, why) << id;
    }
    CClipboardOwner owner;
    PutOnClipboard("kept");
    ClearSoundCapture();
    CMessageBoxWatcher watcher;
    CopyControlText(host.Control(kListView), owner);
    ASSERT_TRUE(watcher.Wait());
    EXPECT_EQ(watcher.m_text, why + "\r\nThe clipboard was left as it was.");
    EXPECT_EQ(watcher.m_hIcon, ::LoadIconA(nullptr, IDI_HAND));
    EXPECT_EQ(ClipboardText(), "kept");
    EXPECT_TRUE(CapturedSound().empty());
    // What needs no memory in its process is read as ever.
    EXPECT_EQ(host.TextOf(kListBox), Golden("listbox.txt"));
}

TEST(ControlTextTargets, A64BitProgramsControlsAreReadWithItsOwnLayouts)
{
    CHost host("controls", "control_host64.exe");
    ASSERT_TRUE(host.Window());
    CProcessMemory memory(host.Window());
    ASSERT_TRUE(memory.IsOpen());
    EXPECT_TRUE(memory.IsTarget64Bit());
    EXPECT_FALSE(IsProcessLargeAddressAware(memory.Process())) << "built so that its tree handles fit 32 bits";
    EXPECT_EQ(host.TextOf(kListView), Golden("listview_3x2.txt"));
    EXPECT_EQ(host.TextOf(kListLongCell), Golden("listview_long_cell.txt"));
    EXPECT_EQ(host.TextOf(kHeader), Golden("header.txt"));
    EXPECT_EQ(host.TextOf(kTreeRoots), Golden("tree_roots.txt"));
    EXPECT_EQ(host.TextOf(kCombo), Golden("combo.txt"));
    EXPECT_EQ(host.TextOf(kListBox), Golden("listbox.txt"));
    ExpectUnicodeTexts(host);
}

TEST(ControlTextTargets, AnOwnerDataListIsReadCellByCellAsItsOwnerAnswers)
{
    CHost host("ownerdata");
    ASSERT_TRUE(host.Window());
    // Even rows are copied into the buffer, odd ones pointed at the owner's own text.
    const ReadLimits limits = {kMaxColumns, 1000, kMaxTextBytes, 60000};
    std::string text;
    const Outcome result = GetControlText(host.Control(kOwnerDataList), text, limits);
    std::string expected;
    for (int row = 0; row < 1000; ++row)
        expected += "o" + std::to_string(row) + "c0\r\n";
    EXPECT_EQ(text, expected);
    EXPECT_EQ(result.message, "Only the first 1,000 of 200,000 rows were copied: at most 1,000 cells are read at a time.");
}

namespace {
// The liars' texts: cells "r<row>c<column>", lines "<prefix><i>".
std::string Cells(size_t rows, int columns)
{
    std::string text;
    for (size_t row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
            text += "r" + std::to_string(row) + "c" + std::to_string(column) + (column + 1 < columns ? "\t" : "\r\n");
    return text;
}

std::string Lines(const char* prefix, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += prefix + std::to_string(i) + "\r\n";
    return text;
}

// The most memory this process has held (Wine's peak of private bytes is no peak).
size_t PeakWorkingSet()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
}

const char kAllColumns[] = "Only the first 4 of 2,147,483,647 columns were copied: at most 4 columns are read.\r\n";

// control_host.exe liars: controls that claim 2^31 - 1 items or texts of 2^30 characters.
class ControlTextLiars : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_pHost = new CHost("liars"); }
    static void TearDownTestSuite()
    {
        delete s_pHost;
        s_pHost = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(s_pHost->Window()) << "control_host.exe did not come up"; }
    static Outcome Read(int id, std::string& text, const ReadLimits& limits = kReadLimits)
    {
        text.clear();
        return GetControlText(s_pHost->Control(id), text, limits);
    }
    static CHost* s_pHost;
};
CHost* ControlTextLiars::s_pHost = nullptr;
}  // namespace

TEST_F(ControlTextLiars, EachBoundEndsTheReadingAfterWholeItemsAndSaysWhatWasLeftOut)
{
    const ReadLimits small = {4, 30, 1 << 20, 60000};
    std::string text;
    Outcome result = Read(kLiarList, text, small);
    EXPECT_EQ(result.kind, Outcome::Kind::Cut);
    EXPECT_EQ(text, Cells(7, 4));
    EXPECT_EQ(result.message,
              kAllColumns + std::string("Only the first 7 of 2,147,483,647 rows were copied: at most 30 cells are read at a time."));
    result = Read(kLiarHeader, text, small);
    EXPECT_EQ(text, Lines("title", 4));
    EXPECT_EQ(result.message + "\r\n", kAllColumns);
    for (int id : {kLiarListBox, kLiarCombo}) {
        result = Read(id, text, small);
        EXPECT_EQ(text, Lines("item", 30)) << id;
        EXPECT_EQ(result.message, "Only the first 30 of 2,147,483,647 items were copied: at most 30 items are read at a time.");
    }
    result = Read(kLiarTree, text, small);  // A, B, A, B... round and round
    std::string circle;
    for (int i = 0; i < 15; ++i)
        circle += "A\r\nB\r\n";
    EXPECT_EQ(text, circle);
    EXPECT_EQ(result.message, "Only the first 30 items of the tree were copied: at most 30 items are read at a time.");

    // The row, item or line that would pass the text's limit is left out whole.
    const ReadLimits tight = {4, 1000, 100, 60000};
    result = Read(kLiarList, text, tight);
    EXPECT_EQ(text, Cells(4, 4));
    EXPECT_EQ(result.message, kAllColumns + std::string("Only the first 4 of 2,147,483,647 rows were copied: the text "
                                                        "would have grown past 100 bytes."));
    result = Read(kLiarListBox, text, tight);
    EXPECT_EQ(text, Lines("item", 13));
    EXPECT_EQ(result.message, "Only the first 13 of 2,147,483,647 items were copied: the text would have grown past 100 bytes.");
    result = Read(kLiarTree, text, tight);
    EXPECT_EQ(text, circle + circle.substr(0, 9));
    EXPECT_EQ(result.message, "Only the first 33 items of the tree were copied: the text would have grown past 100 bytes.");
    result = Read(kLiarEdit, text, tight);
    std::string alphabet;
    for (int i = 0; i < 100; ++i)
        alphabet += static_cast<char>('a' + i % 26);
    EXPECT_EQ(text, alphabet);
    EXPECT_EQ(result.message,
              "Only the first 100 of 1,073,741,824 characters were copied: the text would have grown past 100 bytes.");
}

TEST_F(ControlTextLiars, ASinkThatWantsNoMoreStopsTheReadingAfterWholeItems)
{
    const ReadLimits small = {4, kMaxItems, kMaxTextBytes, 60000};
    CStoppingSink rows(5);
    std::string text;
    Outcome result = GetControlText(s_pHost->Control(kLiarList), text, small, &rows);
    EXPECT_EQ(text, Cells(5, 4));
    EXPECT_EQ(rows.m_last, text);
    EXPECT_EQ(rows.m_done, 5);
    EXPECT_EQ(rows.m_of, kMaxItems / 4);
    EXPECT_EQ(result.message,
              kAllColumns + std::string("Only the first 5 of 2,147,483,647 rows were copied: you stopped the reading."));
    CStoppingSink items(3);
    text.clear();
    result = GetControlText(s_pHost->Control(kLiarTree), text, small, &items);
    EXPECT_EQ(text, "A\r\nB\r\nA\r\n");
    EXPECT_EQ(items.m_of, -1);
    EXPECT_EQ(result.message, "Only the first 3 items of the tree were copied: you stopped the reading.");
}

TEST_F(ControlTextLiars, ClaimedLengthsAreBoundedBeforeAnythingIsMadeForThem)
{
    std::string text;
    Outcome result = Read(kLongItemListBox, text);
    EXPECT_EQ(text, "one\r\ntwo\r\n");
    EXPECT_EQ(result.message, "Only the first 2 of 5 items were copied: the text would have grown past 32 MB.");
    result = Read(kLiarStatic, text);
    EXPECT_EQ(text, "short text");
    EXPECT_EQ(result.kind, Outcome::Kind::Done) << "it claimed more than it had: nothing is left out";
    EXPECT_LT(PeakWorkingSet(), 256u << 20);
}

TEST_F(ControlTextLiars, TheTimeLimitEndsTheReadingAfterWholeRows)
{
    const ReadLimits quick = {4, kMaxItems, kMaxTextBytes, 1000};
    std::string text;
    const DWORD start = ::GetTickCount();
    const Outcome result = Read(kLiarList, text, quick);
    const DWORD elapsed = ::GetTickCount() - start;
    EXPECT_LT(elapsed, 1000 + kControlQueryTimeoutMs) << "the read took " << elapsed << " ms";
    const size_t rows = static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
    EXPECT_GT(rows, 0u);
    EXPECT_EQ(text, Cells(rows, 4));
    EXPECT_EQ(result.message, kAllColumns + ("Only the first " + GroupedNumber(rows) +
                                             " of 2,147,483,647 rows were copied: reading stopped after 1 second."));
}

TEST_F(ControlTextLiars, ACellEndsAtItsTerminatorWhateverCountItsControlAnswers)
{
    std::string text;
    EXPECT_EQ(Read(kMiscountList, text).kind, Outcome::Kind::Done);
    // The third cell's query failed: it adds nothing, not the second cell's text again.
    EXPECT_EQ(text, "abcdefghij\tklm\t\r\nx\ty\tz\r\n");
}

TEST_F(ControlTextLiars, TheNoteFollowsTheTextOnTheClipboard)
{
    CClipboardOwner owner;
    PutOnClipboard("before");
    ClearSoundCapture();
    CMessageBoxWatcher watcher;
    CopyControlText(s_pHost->Control(kLongItemListBox), owner);
    ASSERT_TRUE(watcher.Wait());
    EXPECT_EQ(watcher.m_text, "Only the first 2 of 5 items were copied: the text would have grown past 32 MB.");
    EXPECT_EQ(watcher.m_caption, GetAppName());
    EXPECT_EQ(watcher.m_hIcon, ::LoadIconA(nullptr, IDI_EXCLAMATION));
    EXPECT_EQ(ClipboardText(), "one\r\ntwo\r\n");
    if (SoundCaptureAvailable()) {
        EXPECT_EQ(CapturedSound(), ShutterSamples());
    }
}

TEST(ControlTextTargets, HostileTargetsEndTheReadingWithWhatTheyGaveAndSayWhy)
{
    const std::string cannot = "The text of this window could not be read: ";
    const ReadLimits twoMegabytes = {kMaxColumns, kMaxItems, 2u << 20, 60000};
    const struct {
        const char* host;  // the case of control_host.exe
        int control;
        DWORD hangMs;      // the program answers nothing for so long first
        DWORD stopAfterMs; // the user stops the reading after so long
        std::string text;  // "?": not known beforehand
        Outcome::Kind kind;
        std::string message;  // "...": ends with the rest
    } cases[] = {
        // It stops answering at its 10th query, for longer than a query waits: 3 rows.
        {"hung", kListTarget, 0, 0, Cells(3, 3), Outcome::Kind::Cut,
         "Only the first 3 of 100 rows were copied: its program stopped responding."},
        {"hung", kListTarget, 20000, 0, "", Outcome::Kind::Refused, cannot + "its program is not responding."},
        // The list destroys itself at its 31st text query: 10 rows of 3 cells were read.
        {"closing", kListTarget, 0, 0, Cells(10, 3), Outcome::Kind::Cut,
         "Only the first 10 of 100 rows were copied: the window was closed."},
        {"closing", 0, 0, 0, "", Outcome::Kind::Refused, cannot + "the window was closed."},
        {"full", kListTarget, 0, 0, "", Outcome::Kind::Refused, cannot + "memory in its program could not be used."},
        {"liars", kOwnerDrawnListBox, 0, 0, "", Outcome::Kind::Refused,
         "The items of this list box cannot be copied: its program draws them itself and keeps no text for them."},
        {"liars", kOwnerDrawnCombo, 0, 0, "", Outcome::Kind::Refused,
         "The items of this combo box cannot be copied: its program draws them itself and keeps no text for them."},
        // Its second item grows between the questions of its length and its text.
        {"liars", kGrowingListBox, 0, 0, "one\r\ntwo" + std::string(2000, '+') + "\r\n", Outcome::Kind::Done, ""},
        {"liars", kSpillingList, 0, 0, "r0c0\tr0c1\r\nr1c0\tr1c1\r\n", Outcome::Kind::Done, ""},
        // The texts asked ahead count: the walk ends long before its depth of 1,025 (1.5 MB).
        {"liars", kDeepTree, 0, 0, "?", Outcome::Kind::Cut, "...: the text would have grown past 2 MB."},
        // Each text answered 100 ms late: a batch of 42 rows would take 12 s.
        {"slowlist 100 200", kListTarget, 0, 500, "?", Outcome::Kind::Cut, "...: you stopped the reading."},
    };
    std::map<std::string, std::unique_ptr<CHost>> hosts;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.host) + " " + std::to_string(c.control));
        if (sizeof(void*) == 8 && !std::strcmp(c.host, "full"))
            continue;  // the host is then a 64-bit program: see its case
        std::unique_ptr<CHost>& host = hosts[c.host];
        if (!host)
            host = std::make_unique<CHost>(c.host);
        ASSERT_TRUE(host->Window());
        if (c.hangMs)
            ASSERT_TRUE(host->Hang(c.hangMs));
        CReadingWatch watch;
        std::thread stopper([&] {
            ::Sleep(c.stopAfterMs);
            if (c.stopAfterMs)
                watch.Stop();
        });
        std::string text;
        const DWORD start = ::GetTickCount();
        const Outcome result =
            GetControlText(host->Control(c.control), text, c.control == kDeepTree ? twoMegabytes : kReadLimits, &watch);
        const DWORD elapsed = ::GetTickCount() - start;
        stopper.join();
        EXPECT_LT(elapsed, c.stopAfterMs + kControlQueryTimeoutMs + 2000) << "the reading went on";
        EXPECT_TRUE(c.text == "?" || text == c.text) << text.substr(0, 200);
        EXPECT_EQ(result.kind, c.kind) << result.message;
        const bool tail = c.message.compare(0, 3, "...") == 0;
        const size_t from = tail ? result.message.size() - std::min(result.message.size(), c.message.size() - 3) : 0;
        EXPECT_EQ(result.message.substr(from), c.message.substr(tail ? 3 : 0));
    }
}

TEST(ControlTextTargets, A64BitTreeWhoseHandlesMayNotFitIsReadThroughTheCompanion)
{
    CHost host("controls", kLargeAddressAware64BitHost);
    ASSERT_TRUE(host.Window());
    CProcessMemory memory(host.Window());
    ASSERT_TRUE(memory.IsTarget64Bit());
    ASSERT_TRUE(IsProcessLargeAddressAware(memory.Process()));
    std::string text;
    const Outcome result = GetControlText(host.Control(kTreeRoots), text);
    if (sizeof(void*) == 4) {
        // Not walked here: its handles would be cut to 32 bits.
        EXPECT_EQ(result.kind, Outcome::Kind::Refused);
        EXPECT_EQ(result.message, "The items of this tree view cannot be read: it belongs to a 64-bit program, and its "
                                  "item handles do not fit a 32-bit reader.");
        EXPECT_EQ(text, "");
    } else {
        EXPECT_EQ(text, Golden("tree_roots.txt")) << "a 64-bit reader reads the trees of every program";
    }
    // Delivered as every text: on the clipboard, with the shutter sound, and nothing to say.
    CClipboardOwner owner;
    PutOnClipboard("before");
    ClearSoundCapture();
    CMessageBoxWatcher watcher;
    CopyControlText(host.Control(kTreeRoots), owner);
    EXPECT_EQ(ClipboardText(), Golden("tree_roots.txt"));
    if (SoundCaptureAvailable()) {
        EXPECT_EQ(CapturedSound(), ShutterSamples());
    }
    EXPECT_FALSE(watcher.Wait(500)) << "a box said: " << watcher.m_text;
    // Its other controls are read as ever.
    EXPECT_EQ(host.TextOf(kListView), Golden("listview_3x2.txt"));
}

TEST(RemoteItems, ClassNamesMatchInAnyCase)
{
    EXPECT_EQ(ControlKindOf("SysListView32"), ControlKind::ListView);
    EXPECT_EQ(ControlKindOf("syslistview32"), ControlKind::ListView);
    EXPECT_EQ(ControlKindOf("SYSHEADER32"), ControlKind::Header);
    EXPECT_EQ(ControlKindOf("systreeview32"), ControlKind::TreeView);
    EXPECT_EQ(ControlKindOf("combobox"), ControlKind::ComboBox);
    EXPECT_EQ(ControlKindOf("LISTBOX"), ControlKind::ListBox);
    EXPECT_EQ(ControlKindOf("ComboLBox"), ControlKind::Other);
    EXPECT_EQ(ControlKindOf("Edit"), ControlKind::Other);
}
