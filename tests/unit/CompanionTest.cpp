// The 64-bit companion: what the 32-bit program and the reader mode say to each other, and the
// reader mode itself, started as the 32-bit program starts it (on a machine that runs 64-bit
// code only, too: there this test program is 64-bit, and starts Pixlet64.exe all the same).
#include "text/Companion.h"
#include "text/CompanionProtocol.h"
#include "text/ControlQuery.h"
#include "text/ReadingWatch.h"
#include "text/RemoteItems.h"
#include "support/ControlHost.h"
#include "support/Desktop.h"
#include "support/Process.h"
#include "support/TextSink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <thread>

using namespace testing_support;

namespace {
using Kind = StartRequest::Kind;
using Ends = Outcome::Kind;

HWND Handle(ULONG value)
{
    // A handle as the system gives it to a process of either width: sign-extended.
    return reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<LONG>(value)));
}

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

// The reader mode of this build's Pixlet64.exe, started as the 32-bit program starts it.
Outcome ReadThroughTheCompanion(HWND window, std::string& text)
{
    const std::wstring companion = Wide(BuildDirectory() + kCompanionName);
    return ReadThroughCompanion(companion.c_str(), window, CompanionTimeoutMs(kReadLimits), text);
}

Outcome Result(Ends kind, const char* message = "")
{
    return Outcome::Of(kind, message);
}

// The blocks that a reader of `slots` items places, committed in the process of a window.
int ReaderBlocksIn(HWND window, int slots)
{
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    const HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
    const size_t size = (CRemoteItemReader::BlockBytes(slots) + 4095) / 4096 * 4096;
    int count = 0;
    MEMORY_BASIC_INFORMATION region = {};
    // Up to the end of what this process can name: a 32-bit one sees the low 4 GB.
    for (char* at = nullptr; ::VirtualQueryEx(process, at, &region, sizeof region);) {
        count += region.State == MEM_COMMIT && region.Type == MEM_PRIVATE && region.RegionSize == size;
        char* next = static_cast<char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at)
            break;
        at = next;
    }
    ::CloseHandle(process);
    return count;
}

std::string Lines(std::initializer_list<const char*> lines)
{
    std::string text;
    for (const char* line : lines)
        text += std::string(line) + "\r\n";
    return text;
}
}  // namespace

TEST(CompanionProtocol, OnlyTheReaderModesSwitchIsReadAndThenItMustBeExact)
{
    const struct {
        const char* arguments;
        Kind kind;
        ULONG window;
    } cases[] = {
        {"", Kind::Normal, 0},
        {nullptr, Kind::Normal, 0},
        {" \t ", Kind::Normal, 0},
        {"/pixlet-read-text 0001002A", Kind::ReadText, 0x1002A},
        {" /pixlet-read-text 0001002a\t", Kind::ReadText, 0x1002A},
        {"/pixlet-read-text 7FFFFFFF", Kind::ReadText, 0x7FFFFFFF},
        {"/pixlet-read-text 1002A", Kind::Refused, 0},
        {"/pixlet-read-text 000001002A", Kind::Refused, 0},
        {"/pixlet-read-text 00000000", Kind::Refused, 0},
        {"/pixlet-read-text 0001002G", Kind::Refused, 0},
        {"/pixlet-read-text 0x01002A", Kind::Refused, 0},
        {"/pixlet-read-text  0001002A", Kind::Refused, 0},
        {"/pixlet-read-text\t0001002A", Kind::Refused, 0},
        {"/pixlet-read-text 0001002A 0001002B", Kind::Refused, 0},
        {"/pixlet-read-text", Kind::Refused, 0},
        {"/PIXLET-READ-TEXT 0001002A", Kind::Normal, 0},
        {"-pixlet-read-text 0001002A", Kind::Normal, 0},
        {"/?", Kind::Normal, 0},
        {"C:\\Pictures\\shot.png", Kind::Normal, 0},
    };
    for (const auto& c : cases) {
        const StartRequest request = ParseStartArguments(c.arguments);
        EXPECT_EQ(request.kind, c.kind) << (c.arguments ? c.arguments : "(null)");
        if (c.kind == Kind::ReadText) {
            EXPECT_EQ(request.window, Handle(c.window)) << c.arguments;
        }
    }
    EXPECT_EQ(ReaderArguments(Handle(0x1002A)), "/pixlet-read-text 0001002A");
    // What the caller writes, the reader reads back as the same window, whatever its value.
    for (ULONG value : {0x1ul, 0x1002Aul, 0x7FFFFFFFul, 0x80001234ul, 0xFFFFFFFEul}) {
        const StartRequest request = ParseStartArguments(ReaderArguments(Handle(value)).c_str());
        EXPECT_EQ(request.kind, Kind::ReadText) << std::hex << value;
        EXPECT_EQ(request.window, Handle(value)) << std::hex << value;
    }
}

TEST(CompanionProtocol, TheReplyCarriesTheTextAndTheStatusAndACutOneKeepsWholeLines)
{
    const std::string tree = Lines({"One", "\tOne.1", "Two"});
    for (Ends kind : {Ends::Done, Ends::Cut, Ends::Aborted, Ends::Refused, Ends::OutOfMemory}) {
        const CompanionReply reply = ParseReply(tree + ReplyStatus(Result(kind, "first line\r\nsecond line")));
        EXPECT_TRUE(reply.complete);
        EXPECT_EQ(reply.text, tree);
        EXPECT_EQ(reply.result.kind, kind);
        EXPECT_EQ(reply.result.message, "first line\r\nsecond line");
    }
    // A window's own text has no line end: complete, it is kept whole.
    CompanionReply reply = ParseReply("hello" + ReplyStatus(Result(Ends::Done)));
    EXPECT_TRUE(reply.complete);
    EXPECT_EQ(reply.text, "hello");
    EXPECT_EQ(reply.result.message, "");

    // Cut short anywhere: the whole lines that arrived, no status.
    for (const std::string& bytes : {std::string("A\r\nB\r\npar"), std::string("A\r\nB\r"), std::string("A\r\nB\r\n"),
                                     std::string("A\r\nB\r\n\0wh", 10), std::string("A\r\nB\r\n\0whole", 13),
                                     std::string("A\r\nB\r\n\0later\nwords", 19)}) {
        reply = ParseReply(bytes);
        EXPECT_FALSE(reply.complete) << bytes;
        EXPECT_EQ(reply.text, bytes.find("B\r\n") != std::string::npos ? "A\r\nB\r\n" : "A\r\n") << bytes;
    }
    EXPECT_EQ(ParseReply("no line end").text, "");
    // UTF-8 holds no CR or LF inside a character: a line cut in the middle of one is left out.
    EXPECT_EQ(ParseReply("Ελληνικά\r\n日\xE6\x9C").text, "Ελληνικά\r\n");
    EXPECT_FALSE(ParseReply("").complete);
}

TEST(CompanionProtocol, HowTheReadingEndedDecidesWhatTheUserGetsAndIsTold)
{
    // (Whole lines from a reader that hangs or dies, and the missing companion, are shown by the
    // live tests below.)
    std::string text = "kept";
    CompanionEnd end;
    end.kind = CompanionEnd::Kind::NotStarted;
    end.code = ERROR_BAD_EXE_FORMAT;
    Outcome result = FinishCompanionReading("", end, text);
    EXPECT_EQ(result.kind, Ends::Refused);
    EXPECT_NE(result.message.find(" Pixlet64.exe, which reads them, could not be started (error 193)."),
              std::string::npos);
    EXPECT_EQ(text, "kept") << "a refusal leaves the text alone";

    // A complete reply is the reader's word, however the reader ended after it.
    end = CompanionEnd();
    end.kind = CompanionEnd::Kind::TimedOut;
    end.timeoutMs = 73000;
    result = FinishCompanionReading(Lines({"One"}) + ReplyStatus(Result(Ends::Cut, "a note")), end, text);
    EXPECT_EQ(result.kind, Ends::Cut);
    EXPECT_EQ(result.message, "a note");
    EXPECT_EQ(text, Lines({"One"}));

    // A reader that gave nothing at all: a refusal that says why.
    result = FinishCompanionReading("", end, text);
    EXPECT_EQ(result.kind, Ends::Refused);
    EXPECT_EQ(result.message,
              "The items of this tree view could not be read: Pixlet64.exe did not finish reading it within 73 seconds.");
    end.kind = CompanionEnd::Kind::Ended;
    end.code = 0xC0000005;
    result = FinishCompanionReading("", end, text);
    EXPECT_EQ(result.message, "The items of this tree view could not be read: Pixlet64.exe ended before it had read "
                              "all of it (exit code 3221225477).");

    // The caller waits longer than the reader may take, its last query's time-out included.
    for (DWORD limit : {kMaxReadMilliseconds, DWORD(1000)}) {
        const ReadLimits limits = {kMaxColumns, kMaxItems, kMaxTextBytes, limit};
        EXPECT_GE(CompanionTimeoutMs(limits), limit + kControlQueryTimeoutMs + 5000) << limit;
    }
}

TEST(Companion, TheReaderModeGivesA64BitProgramsTreesAsTheGoldenTexts)
{
    CControlHost host("controls", kLargeAddressAware64BitHost);
    ASSERT_TRUE(host.Window());
    const struct {
        int id;
        const char* golden;
    } controls[] = {{kTreeRoots, "tree_roots.txt"},
                    {kTreeThreeLevels, "tree_three_levels.txt"},
                    {kTreeCollapsed, "tree_collapsed.txt"},
                    {kListView, "listview_3x2.txt"}};
    for (const auto& control : controls) {
        std::string text;
        const Outcome result = ReadThroughTheCompanion(host.Control(control.id), text);
        EXPECT_EQ(result.kind, Ends::Done) << control.golden << ": " << result.message;
        EXPECT_EQ(text, Golden(control.golden));
    }
    // Too deep to walk: the text so far, and the message for the caller to show.
    std::string text;
    const Outcome result = ReadThroughTheCompanion(host.Control(kTreeDeepOverflow), text);
    EXPECT_EQ(result.kind, Ends::Aborted);
    EXPECT_EQ(result.message, "Stack overfloaw!\r\nAborting...");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1025);
    EXPECT_EQ(text.substr(text.size() - 1031), std::string(1024, '\t') + "L1024\r\n");

    // Text beyond any code page comes through the pipe as UTF-8, exactly.
    text.clear();
    EXPECT_EQ(ReadThroughTheCompanion(host.Control(kUnicodeTree), text).kind, Ends::Done);
    EXPECT_EQ(text, "café Ελληνικά 日本語 Привет 😀\r\n\t日本語\r\n");
}

TEST(Companion, TheSinkSeesWholeLinesAsTheyArriveAndMayStopTheReader)
{
    CControlHost host("controls", kLargeAddressAware64BitHost);
    ASSERT_TRUE(host.Window());
    std::string deep;  // the tree of 1025 levels, about half a megabyte
    for (int depth = 0; depth < 1025; ++depth)
        deep += std::string(static_cast<size_t>(depth), '\t') + "L" + std::to_string(depth) + "\r\n";
    const std::wstring companion = Wide(BuildDirectory() + kCompanionName);
    CStoppingSink whole(1 << 30);
    std::string text;
    Outcome result = ReadThroughCompanion(companion.c_str(), host.Control(kTreeDeepFull), 20000, text, &whole);
    EXPECT_EQ(result.kind, Ends::Done);
    EXPECT_EQ(text, deep);
    EXPECT_EQ(whole.m_last, deep);
    EXPECT_EQ(whole.m_done, 1025);
    EXPECT_EQ(whole.m_of, -1);

    CStoppingSink first(1);
    text.clear();
    result = ReadThroughCompanion(companion.c_str(), host.Control(kTreeDeepFull), 20000, text, &first);
    const LRESULT lines = std::count(text.begin(), text.end(), '\n');
    ASSERT_EQ(result.kind, Ends::Cut) << "all " << lines << " lines came at once";
    EXPECT_EQ(text, first.m_last);
    EXPECT_EQ(text, deep.substr(0, text.size())) << "whole lines, from the first";
    EXPECT_EQ(result.message, CutWhat(CutUnit::TreeItems, lines, 0) + ": you stopped the reading.");
    EXPECT_TRUE(WaitUntil([] { return ProcessesNamed(kCompanionName).empty(); }, 5000)) << "the reader runs on";
}

TEST(Companion, AHungProgramEndsTheReadingWithWhatItGaveAndTheReaderTakesNothingMeanwhile)
{
    CControlHost host("hung", kLargeAddressAware64BitHost);
    ASSERT_TRUE(host.Window());
    std::string text;
    Outcome result;
    DWORD elapsed = 0;
    std::thread caller([&] {
        const DWORD start = ::GetTickCount();
        result = ReadThroughTheCompanion(host.Control(kTreeTarget), text);
        elapsed = ::GetTickCount() - start;
    });
    // While the reader waits for the hung program, it shows nothing and holds nothing of the
    // program's: no window, no instance mutex, no hot key, no tray icon.
    DWORD reader = 0;
    const bool seen = WaitUntil(
        [&] {
            const auto running = ProcessesNamed(kCompanionName);
            reader = running.empty() ? 0 : running.front();
            return reader != 0;
        },
        5000);
    ::Sleep(500);
    EXPECT_TRUE(seen) << "no reader ran";
    EXPECT_TRUE(TopLevelWindows(reader).empty()) << TopLevelWindows(reader).size() << " windows";
    EXPECT_TRUE(IsInstanceMutexFree());
    EXPECT_TRUE(IsHotKeyFree(0, VK_SNAPSHOT));
    EXPECT_TRUE(IsHotKeyFree(MOD_CONTROL, VK_SNAPSHOT));
    EXPECT_EQ(TrayIconCount(), 0);
    caller.join();

    // It stopped answering at its fifth item.
    EXPECT_EQ(result.kind, Ends::Cut);
    EXPECT_EQ(result.message, "Only the first 4 items of the tree were copied: its program stopped responding.");
    EXPECT_EQ(text, Lines({"Item 0", "Item 1", "Item 2", "Item 3"}));
    EXPECT_LT(elapsed, kControlQueryTimeoutMs + 3000) << "the reading took " << elapsed << " ms";
    EXPECT_TRUE(ProcessesNamed(kCompanionName).empty()) << "the reader is still running";
    host.Process().Kill();
}

TEST(Companion, AReaderStoppedOrOutOfTimeEndsWithinAQueryAndLeavesNothingInTheProgram)
{
    // Each text answered 100 ms late: a batch of 42 rows of 3 cells takes the reader 12 s.
    CControlHost host("slowlist 100 200", kLargeAddressAware64BitHost);
    ASSERT_TRUE(host.Window());
    const HWND list = host.Control(kListTarget);
    const int slots = 126, before = ReaderBlocksIn(list, slots);
    const std::wstring companion = Wide(BuildDirectory() + kCompanionName);
    CReadingWatch watch;
    DWORD stopped = 0;
    std::thread user([&] {
        // Stopped once it reads, its block in the program.
        EXPECT_TRUE(WaitUntil([&] { return ReaderBlocksIn(list, slots) > before; }, 10000)) << "no block placed";
        stopped = ::GetTickCount();
        watch.Stop();
    });
    std::string text;
    ReadThroughCompanion(companion.c_str(), list, CompanionTimeoutMs(kReadLimits), text, &watch);
    const DWORD elapsed = ::GetTickCount() - stopped;
    user.join();
    EXPECT_LT(elapsed, kControlQueryTimeoutMs) << "the reading went on after the stop";
    EXPECT_EQ(ReaderBlocksIn(list, slots), before) << "the stopped reader's block stayed in the program";
    // Out of its time while it reads.
    ReadThroughCompanion(companion.c_str(), list, 3000, text);
    EXPECT_EQ(ReaderBlocksIn(list, slots), before) << "the reader's block stayed in the program";
}

TEST(Companion, AReaderThatHangsOrDiesLeavesWhatItGaveAndNothingRunning)
{
    const std::wstring fake = Wide(BuildDirectory() + "fake_reader.exe");
    const HWND anyWindow = ::GetDesktopWindow();
    std::string text;
    ::SetEnvironmentVariableA("PIXLET_FAKE_READER", "stall");
    const DWORD start = ::GetTickCount();
    Outcome result = ReadThroughCompanion(fake.c_str(), anyWindow, 1500, text);
    const DWORD elapsed = ::GetTickCount() - start;
    EXPECT_GE(elapsed, 1400u);
    EXPECT_LT(elapsed, 1500u + kReaderStopGraceMs + 1500u) << "the caller waited " << elapsed << " ms";
    EXPECT_EQ(result.kind, Ends::Cut);
    EXPECT_EQ(text, Lines({"A", "B"}));
    EXPECT_EQ(result.message,
              "Only the first 2 items of the tree were copied: Pixlet64.exe did not finish reading it within 2 seconds.");
    EXPECT_TRUE(WaitUntil([] { return ProcessesNamed("fake_reader.exe").empty(); }, 2000)) << "the hung reader runs on";

    ::SetEnvironmentVariableA("PIXLET_FAKE_READER", "crash");
    result = ReadThroughCompanion(fake.c_str(), anyWindow, 5000, text);
    ::SetEnvironmentVariableA("PIXLET_FAKE_READER", nullptr);
    EXPECT_EQ(result.kind, Ends::Cut);
    EXPECT_EQ(text, Lines({"A"}));
    EXPECT_EQ(result.message, "Only the first item of the tree was copied: Pixlet64.exe ended before it had read all "
                              "of it (exit code 3).");

    text = "kept";
    const std::wstring nowhere = Wide(BuildDirectory() + "nowhere\\Pixlet64.exe");
    result = ReadThroughCompanion(nowhere.c_str(), anyWindow, 5000, text);
    EXPECT_EQ(result.kind, Ends::Refused);
    EXPECT_NE(result.message.find("is not in " + BuildDirectory() + "nowhere\\ beside this program."), std::string::npos)
        << result.message;
    EXPECT_EQ(text, "kept");
}
