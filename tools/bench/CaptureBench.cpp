// Capture benchmarks.
//   bench_capture.exe grab [runs [ffmpeg_record.sh]]  full-screen grabs, the program's against the
//                                         bare BitBlt and ffmpeg's x11grab, and a cut, on this display
//   bench_capture.exe text <host.exe>     the text of a 10,000 x 5 list view in another process,
//                                         against the floor of its cross-process round trips
//   bench_capture.exe ownerdata <host.exe>  the text of a 200,000-row owner-data list view, whose
//                                         owner answers each cell, against one round trip
//   bench_capture.exe hostile <host.exe>  how long, and with how much memory, the program's limits
//                                         let controls that lie about their counts be read
//   bench_capture.exe companion <host.exe>  a tree and the 10,000 x 5 list view of a 64-bit host
//                                         read through Pixlet64.exe's reader mode, against reading
//                                         them in this process
#include "BenchSupport.h"
#include "text/Companion.h"
#include "text/CompanionProtocol.h"
#include "text/ControlReaders.h"
#include "text/ProcessMemory.h"
#include "text/RemoteItems.h"
#include "avi/FrameGrabber.h"
#include "capture/ScreenGrab.h"
#include "framework/Unicode.h"
#include "support/Process.h"

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

using namespace testing_support;
using namespace bench;

namespace {
// The program's grabs against the bare BitBlt, interleaved so that whatever else the machine
// does weighs on each alike; then ffmpeg's x11grab of the same screen, timed on the host.
int Grab(int runs, const char* ffmpegScript)
{
    const RECT screen = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    struct Figure {
        const char* name;
        std::function<bool()> grab;
        std::vector<double> ms = {};
        double cpu = 0;
    };
    CBareGrab bare(screen);
    CFrameGrabber frames(screen, 32);
    std::vector<Figure> figures = {
        {"bare BitBlt into a 32-bit DIB section used before", [&] { return bare.Grab(); }, {}, 0},
        {"bare BitBlt into a new 32-bit DIB section", [&] { return bare.GrabFresh(); }, {}, 0},
        {"the program's grab (PrintScreen, the selector)", [&] { return static_cast<bool>(GrabScreenRect(screen).bitmap); }, {}, 0},
        {"the recorder's frame grab", [&] { return frames.Grab(nullptr); }, {}, 0},
    };
    bool failed = false;
    for (int i = 0; i < runs + 1; ++i)
        for (Figure& figure : figures) {
            const double cpu = CpuNow(), start = Now();
            failed |= !figure.grab();
            if (i == 0)
                continue;  // the first of each makes what the others find ready
            figure.ms.push_back(Now() - start);
            figure.cpu += CpuNow() - cpu;
        }
    std::printf("screen %ldx%ld, median of %d%s:\n", screen.right, screen.bottom, runs, failed ? " (A GRAB FAILED)" : "");
    const double floor = Median(figures[0].ms);
    for (const Figure& figure : figures)
        std::printf("  %-52s %6.1f ms (%.2fx the bare one), CPU %5.1f ms\n", figure.name, Median(figure.ms),
                    Median(figure.ms) / floor, figure.cpu / runs);
    std::vector<double> cut;
    for (int i = 0; i < runs; ++i) {
        const ScreenPicture snapshot = GrabScreenRect(screen);
        const double start = Now();
        const ScreenPicture piece = CropBitmap(snapshot, screen);
        cut.push_back(Now() - start);
    }
    std::printf("  %-52s %6.1f ms\n", "a cut of the whole snapshot (a copy in memory)", Median(cut));
    if (ffmpegScript)
        std::printf("  %s\n", FfmpegOnHost(ffmpegScript, "grab " + std::to_string(screen.right) + " " +
                                                             std::to_string(screen.bottom) + " 1000 3").c_str());
    return failed ? 1 : 0;
}

// One message's round trip to the target, the least that one cell can cost.
double RoundTrip(HWND list, int count)
{
    DWORD_PTR answer = 0;
    const double start = Now();
    for (int i = 0; i < count; ++i)
        ::SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 3000, &answer);
    return (Now() - start) / count;
}

// The reading of each cell as it was before the batches: its structure written into the
// target, the query, its text read back: three round trips.
double OneByOnePerCell(HWND list, int rows, int columns)
{
    CProcessMemory memory(list);
    const bool target64 = memory.IsTarget64Bit();
    const int textBytes = kRemoteTextChars * sizeof(wchar_t);
    void* remoteText = memory.Alloc(textBytes);
    auto item = ListViewItemBytes(target64, 0, reinterpret_cast<uintptr_t>(remoteText));
    void* remoteItem = memory.Alloc(static_cast<int>(item.size()));
    std::vector<wchar_t> local(kRemoteTextChars);
    DWORD_PTR answer = 0;
    const double start = Now();
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column) {
            item = ListViewItemBytes(target64, column, reinterpret_cast<uintptr_t>(remoteText));
            ::WriteProcessMemory(memory.Process(), remoteItem, item.data(), item.size(), nullptr);
            ::SendMessageTimeoutW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remoteItem),
                                  SMTO_ABORTIFHUNG, 3000, &answer);
            ::ReadProcessMemory(memory.Process(), remoteText, local.data(), textBytes, nullptr);
        }
    return (Now() - start) / (rows * columns);
}

// The batched reading in either form, as the program does it in the wide one: the ANSI form is
// kept here only, to weigh what reading Unicode costs.
double BatchedPerCell(HWND list, int rows, int columns, bool wide, size_t& length)
{
    CProcessMemory memory(list);
    const bool target64 = memory.IsTarget64Bit();
    const int charBytes = wide ? 2 : 1;
    const int room = 128, slotBytes = room + kRemoteTextChars * charBytes;
    const int batchRows = std::max(1, 128 / columns), slots = batchRows * columns;
    char* block = static_cast<char*>(memory.Alloc(slots * slotBytes));
    std::vector<uint8_t> out(static_cast<size_t>(slots) * slotBytes), in(out.size());
    for (int slot = 0; slot < slots; ++slot) {
        const auto item = ListViewItemBytes(target64, slot % columns,
                                            reinterpret_cast<uintptr_t>(block + slot * slotBytes + room));
        std::memcpy(&out[static_cast<size_t>(slot) * slotBytes], item.data(), item.size());
    }
    std::string text;
    DWORD_PTR answer = 0;
    const double start = Now();
    for (int first = 0; first < rows; first += batchRows) {
        const int batch = std::min(batchRows, rows - first);
        ::WriteProcessMemory(memory.Process(), block, out.data(), static_cast<SIZE_T>(batch) * columns * slotBytes, nullptr);
        for (int row = 0; row < batch; ++row)
            for (int column = 0; column < columns; ++column) {
                const LPARAM item = reinterpret_cast<LPARAM>(block + (row * columns + column) * slotBytes);
                if (wide)
                    ::SendMessageTimeoutW(list, LVM_GETITEMTEXTW, first + row, item, SMTO_ABORTIFHUNG, 3000, &answer);
                else
                    ::SendMessageTimeoutA(list, LVM_GETITEMTEXTA, first + row, item, SMTO_ABORTIFHUNG, 3000, &answer);
            }
        ::ReadProcessMemory(memory.Process(), block, in.data(), static_cast<SIZE_T>(batch) * columns * slotBytes, nullptr);
        for (int row = 0; row < batch; ++row)
            for (int column = 0; column < columns; ++column) {
                const uint8_t* cell = &in[static_cast<size_t>(row * columns + column) * slotBytes + room];
                if (column > 0)
                    text += '\t';
                if (wide) {
                    const auto* chars = reinterpret_cast<const wchar_t*>(cell);
                    text += Utf8(chars, std::find(chars, chars + kRemoteTextChars - 1, L'\0') - chars);
                } else {
                    const auto* chars = reinterpret_cast<const char*>(cell);
                    text.append(chars, std::find(chars, chars + kRemoteTextChars - 1, '\0') - chars);
                }
                if (column + 1 == columns)
                    text += "\r\n";
            }
    }
    length = text.size();
    return (Now() - start) / (rows * columns);
}

// The window of the control host running a case, once it is shown; null if it did not come up.
HWND StartHost(CProcess& process, const char* host, const char* scenario)
{
    HWND window = nullptr;
    if (process.Start(BuildDirectory() + host, scenario))
        WaitUntil(
            [&] {
                for (HWND hwnd : TopLevelWindows(process.Pid(), "PixletTestHost"))
                    if (::IsWindowVisible(hwnd))
                        window = hwnd;
                return window != nullptr;
            },
            60000);
    if (!window)
        std::printf("%s did not come up\n", host);
    return window;
}

std::string Said(const Outcome& result)
{
    if (result.IsDone())
        return "whole";
    std::string message = result.message;
    std::replace(message.begin(), message.end(), '\r', ' ');
    std::replace(message.begin(), message.end(), '\n', '|');
    return message;
}

int Text(const char* host)
{
    CProcess process;
    HWND window = StartHost(process, host, "biglist");
    if (!window)
        return 1;
    HWND list = ::GetDlgItem(window, 120);
    const int rows = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    const int columns = static_cast<int>(::SendMessageA(ListView_GetHeader(list), HDM_GETITEMCOUNT, 0, 0));
    const int cells = rows * columns;
    CProcessMemory probe(list);
    const std::string narrow = BuildDirectory() + kCompanionName;
    const std::wstring companion(narrow.begin(), narrow.end());
    const bool withCompanion = ::GetFileAttributesW(companion.c_str()) != INVALID_FILE_ATTRIBUTES;
    // Other programs share the machine: each figure is weighed against a round trip measured
    // just before and after it, and the two forms of the batched reading take turns.
    std::vector<double> reads, ratios, trips, before, ansi, wide, through;
    size_t length = 0, ansiLength = 0, wideLength = 0, throughLength = 0;
    std::string outcome, throughOutcome = "not run";
    for (int run = 0; run < 3; ++run) {
        std::string text;
        const double tripBefore = RoundTrip(list, 5000);
        double start = Now();
        outcome = Said(GetListViewText(list, text));
        reads.push_back((Now() - start) / cells);
        const double trip = (tripBefore + RoundTrip(list, 5000)) / 2;
        trips.push_back(trip);
        ratios.push_back(reads.back() / trip);
        length = text.size();
        before.push_back(OneByOnePerCell(list, rows / 5, columns) / RoundTrip(list, 5000));
        if (withCompanion) {
            text.clear();
            start = Now();
            throughOutcome = Said(ReadThroughCompanion(companion.c_str(), list, CompanionTimeoutMs(kReadLimits), text));
            through.push_back((Now() - start) / cells);
            throughLength = text.size();
        }
    }
    for (int turn = 0; turn < 8; ++turn) {
        const bool wideFirst = turn % 2 != 0;
        for (bool form : {wideFirst, !wideFirst})
            (form ? wide : ansi).push_back(BatchedPerCell(list, rows / 10, columns, form, form ? wideLength : ansiLength));
    }
    const double read = Median(reads), trip = Median(trips);
    std::printf("%s (%s target), %d x %d cells, %zu characters (%s), median of 3:\n", host,
                probe.IsTarget64Bit() ? "64-bit" : "32-bit", rows, columns, length, outcome.c_str());
    std::printf("  read by this %d-bit process: %.1f us per cell; one message round trip %.1f us: %.2fx\n",
                static_cast<int>(8 * sizeof(void*)), 1e3 * read, 1e3 * trip, Median(ratios));
    std::printf("  before the batches, three round trips per cell (of %d rows): %.2fx the round trip\n", rows / 5,
                Median(before));
    std::printf("  batched, %d rows taking turns: ANSI form %.1f us per cell (%zu bytes), wide form %.1f us per cell "
                "(%zu bytes): Unicode %.3fx ANSI\n",
                rows / 10,
                1e3 * Median(ansi), ansiLength, 1e3 * Median(wide), wideLength, Median(wide) / Median(ansi));
    if (withCompanion)
        std::printf("  through %s (its start included): %.1f us per cell, %zu characters (%s): %.2fx the round trip\n",
                    kCompanionName, 1e3 * Median(through), throughLength, throughOutcome.c_str(), Median(through) / trip);
    return 0;
}

// A reading weighed against round trips to its list measured between its batches: every quarter
// of a second the cells read since the last look, per cell, against the round trips measured
// just before and just now. Other programs share the machine, and a figure taken before and
// after a reading of a minute may come from another load.
class CRoundTripSampler : public CTextSink
{
public:
    explicit CRoundTripSampler(HWND list) : m_hList(list), m_trip(RoundTrip(list, 20)), m_mark(Now()) {}
    bool Grew(const std::string&) override { return true; }
    void Counted(CutUnit, LRESULT done, LRESULT) override
    {
        const double now = Now();
        if (now - m_mark < 250 || done == m_done)
            return;
        const double perCell = (now - m_mark) / static_cast<double>(done - m_done);
        const double trip = RoundTrip(m_hList, 20);
        m_ratios.push_back(perCell / ((m_trip + trip) / 2));
        m_perCell.push_back(perCell);
        m_trips.push_back(trip);
        m_trip = trip;
        m_done = done;
        m_mark = Now();
    }
    HWND m_hList;
    double m_trip, m_mark;
    LRESULT m_done = 0;
    std::vector<double> m_ratios, m_perCell, m_trips;
};

// An owner-data list of 200,000 rows, read as the program reads it, per cell against one message
// round trip measured between its batches.
int OwnerData(const char* host)
{
    CProcess process;
    HWND window = StartHost(process, host, "ownerdata");
    HWND list = window ? ::FindWindowExW(::FindWindowExW(window, nullptr, L"PixletOwnerDataOwner", nullptr), nullptr,
                                         WC_LISTVIEWW, nullptr)
                       : nullptr;
    if (!list)
        return 1;
    std::vector<double> perCell, trips, ratios;
    size_t length = 0, cells = 0;
    std::string said;
    for (int run = 0; run < 3; ++run) {
        std::string text;
        CRoundTripSampler sampler(list);
        said = Said(GetListViewText(list, text, kReadLimits, &sampler));
        cells = static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
        perCell.insert(perCell.end(), sampler.m_perCell.begin(), sampler.m_perCell.end());
        trips.insert(trips.end(), sampler.m_trips.begin(), sampler.m_trips.end());
        ratios.insert(ratios.end(), sampler.m_ratios.begin(), sampler.m_ratios.end());
        length = text.size();
    }
    std::printf("%s, an owner-data list view of %zu rows (every other cell pointed at its owner's own text), "
                "%zu characters (%s), 3 readings weighed every quarter of a second, medians:\n"
                "  read by this %d-bit process: %.1f us per cell; one message round trip %.1f us: %.2fx\n",
                host, cells, length, said.c_str(), static_cast<int>(8 * sizeof(void*)), 1e3 * Median(perCell),
                1e3 * Median(trips), Median(ratios));
    return 0;
}

// The most memory this process has held (Wine's peak of private bytes is no peak).
double PeakMegabytes()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize / 1048576.0;
}

int Hostile(const char* host)
{
    CProcess process;
    HWND window = StartHost(process, host, "liars");
    if (!window)
        return 1;
    const struct {
        int id;
        const char* what;
    } liars[] = {
        {136, "static claiming 2^30 characters"},
        {137, "static claiming 2^30 characters, filling any buffer"},
        {134, "list box item claiming 2^30 characters"},
        {131, "header claiming 2^31 - 1 items"},
        {130, "list view claiming 2^31 - 1 rows and columns"},
        {132, "list box claiming 2^31 - 1 items"},
        {133, "combo box claiming 2^31 - 1 items"},
        {135, "tree leading round in a circle"},
    };
    std::printf("%s, the program's limits; peak working set of this process before: %.0f MB\n", host,
                PeakMegabytes());
    for (const auto& liar : liars) {
        std::string text;
        const double start = Now();
        const Outcome result = GetControlText(::GetDlgItem(window, liar.id), text);
        const double seconds = (Now() - start) / 1000;
        std::printf("  %s: %.2f s, %zu bytes, peak %.0f MB: %s\n", liar.what, seconds, text.size(),
                    PeakMegabytes(), Said(result).c_str());
        std::fflush(stdout);
    }
    return 0;
}
// The same control read through the companion and here, `runs` times each.
void CompanionAgainstHere(const char* what, HWND control, int runs)
{
    const std::string narrow = BuildDirectory() + kCompanionName;
    const std::wstring companion(narrow.begin(), narrow.end());
    std::vector<double> through, here;
    size_t length = 0;
    std::string outcome, outcomeHere;
    for (int run = 0; run < runs; ++run) {
        std::string text;
        double start = Now();
        outcome = Said(ReadThroughCompanion(companion.c_str(), control, CompanionTimeoutMs(kReadLimits), text));
        through.push_back(Now() - start);
        length = text.size();
        text.clear();
        start = Now();
        const Outcome result = GetControlText(control, text);
        here.push_back(Now() - start);
        outcomeHere = result.kind == Outcome::Kind::Refused ? "refused" : Said(result);
    }
    std::printf("  %s, %zu characters (%s): through the companion %.1f ms, in this process %.1f ms (%s) "
                "(median of %d)\n",
                what, length, outcome.c_str(), Median(through), Median(here), outcomeHere.c_str(), runs);
    std::fflush(stdout);
}

int Companion(const char* host)
{
    CProcess controls, biglist;
    HWND window = StartHost(controls, host, "controls");
    HWND big = StartHost(biglist, host, "biglist");
    if (!window || !big)
        return 1;
    std::printf("%s, read by a %d-bit process\n", host, static_cast<int>(8 * sizeof(void*)));
    CompanionAgainstHere("a tree of 10 items", ::GetDlgItem(window, 108), 10);
    CompanionAgainstHere("a list view of 10,000 x 5 cells", ::GetDlgItem(big, 120), 3);
    return 0;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && !std::strcmp(argv[1], "grab"))
        return Grab(argc > 2 ? std::max(1, std::atoi(argv[2])) : 20, argc > 3 ? argv[3] : nullptr);
    if (argc > 2 && !std::strcmp(argv[1], "text"))
        return Text(argv[2]);
    if (argc > 2 && !std::strcmp(argv[1], "ownerdata"))
        return OwnerData(argv[2]);
    if (argc > 2 && !std::strcmp(argv[1], "hostile"))
        return Hostile(argv[2]);
    if (argc > 2 && !std::strcmp(argv[1], "companion"))
        return Companion(argv[2]);
    std::printf("usage: bench_capture grab [runs] | text <host.exe> | ownerdata <host.exe> | hostile <host.exe> | "
                "companion <host.exe>\n");
    return 2;
}
