// How long Ctrl+PrintScreen ("Copy manually") takes from its action's start to the selector shown
// over the whole screen (every monitor), its frozen picture painted, and how much more memory the
// process holds meanwhile; beside a single grab of the whole screen, and a bare window over the
// screen shown with that grab, on this display with a desktop-like picture on it.
//   bench_selector.exe [runs]
// The selector is cancelled (a right click posted to it) as soon as it has painted. Memory is
// counted in snapshots (the screen's size at 4 bytes a pixel), the first time and again: under
// Wine a window's picture is also kept in a buffer shared with the X server, which shows in the
// working set when a window of that size is first made and is used again later.
#include "BenchSupport.h"
#include "app/StillActions.h"
#include "capture/ScreenGrab.h"
#include "framework/Handles.h"
#include "support/Process.h"
#include "support/Screen.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace bench;
using namespace testing_support;

namespace {
const WPARAM kPainted = 0x5E1EC7;

// Private bytes (under Wine: the process's resident anonymous memory) and working set, in MB.
struct Memory {
    double privateMb = 0, workingSetMb = 0;
};
Memory MemoryNow()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                           sizeof counters);
    return Memory{counters.PagefileUsage / 1048576.0, counters.WorkingSetSize / 1048576.0};
}

// When the selector of the running action had painted its picture, and the memory then.
struct Shown {
    double at = 0;
    Memory memory;
} g_shown;

bool IsSelector(HWND hwnd)
{
    const RECT screen = Screen(), rect = WindowRect(hwnd);
    return ClassNameOf(hwnd) == "#32770" && ::EqualRect(&rect, &screen);
}

// Watches the messages the selector's modal loop takes: its first WM_PAINT is dispatched (and
// the picture flushed to the display by EndPaint) before the message posted meanwhile arrives.
LRESULT CALLBACK WatchSelector(int code, WPARAM removed, LPARAM lParam)
{
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && removed == PM_REMOVE && msg->hwnd && g_shown.at == 0) {
        if (msg->message == WM_PAINT && IsSelector(msg->hwnd)) {
            ::PostMessageA(msg->hwnd, WM_NULL, kPainted, 0);
        } else if (msg->message == WM_NULL && msg->wParam == kPainted) {
            g_shown.at = Now();
            g_shown.memory = MemoryNow();
            ::PostMessageA(msg->hwnd, WM_RBUTTONUP, 0, 0);  // the user cancels
        }
    }
    return ::CallNextHookEx(nullptr, code, removed, lParam);
}

// The memory added while something is shown, in snapshots: the first time, and again (median).
struct Added {
    std::vector<double> privateMb, workingSetMb;
    void Add(const Memory& before, const Memory& shown)
    {
        privateMb.push_back(shown.privateMb - before.privateMb);
        workingSetMb.push_back(shown.workingSetMb - before.workingSetMb);
    }
    void Print(const char* what, double snapshotMb) const
    {
        const auto again = [](const std::vector<double>& v) { return Median(std::vector<double>(v.begin() + 1, v.end())); };
        std::printf("  %s: private +%.2f, working set +%.2f snapshots the first time; then +%.2f and +%.2f\n", what,
                    privateMb[0] / snapshotMb, workingSetMb[0] / snapshotMb, again(privateMb) / snapshotMb,
                    again(workingSetMb) / snapshotMb);
    }
};
}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(2, std::atoi(argv[1])) : 10;
    const RECT screen = Screen();
    const int width = screen.right - screen.left, height = screen.bottom - screen.top;
    const double snapshotMb = width * 4.0 * height / 1048576.0;
    CBitmapHandle desktop(DesktopLikeBitmap(width, height));
    const HWND backdrop = ShowOverScreen(desktop, 500);

    // The selector first, while Wine has made no other window of the screen's size.
    std::vector<double> selector;
    Added selectorMemory;
    const HHOOK hook = ::SetWindowsHookExA(WH_GETMESSAGE, WatchSelector, nullptr, ::GetCurrentThreadId());
    for (int run = 0; run < runs; ++run) {
        CaptureSettings settings;
        CaptureState state;
        g_shown = Shown();
        const Memory before = MemoryNow();
        const double start = Now();
        CopyManually(nullptr, settings, state);
        if (g_shown.at == 0) {
            std::printf("screen %dx%d: no selector over the whole screen was seen\n", width, height);
            return 1;
        }
        selector.push_back(g_shown.at - start);
        selectorMemory.Add(before, g_shown.memory);
    }
    ::UnhookWindowsHookEx(hook);

    std::vector<double> grabs, bare;
    Added grabMemory, bareMemory;
    for (int run = 0; run < runs; ++run) {
        const Memory before = MemoryNow();
        const double start = Now();
        const ScreenPicture grab = GrabScreenRect(screen);
        grabs.push_back(Now() - start);
        grabMemory.Add(before, MemoryNow());
    }
    // The floor of showing the frozen screen: a grab shown in a plain window.
    for (int run = 0; run < runs; ++run) {
        const Memory before = MemoryNow();
        const double start = Now();
        const ScreenPicture grab = GrabScreenRect(screen);
        const HWND window = ShowOverScreen(grab.bitmap, 0);
        bare.push_back(Now() - start);
        bareMemory.Add(before, MemoryNow());
        ::DestroyWindow(window);
    }
    ::DestroyWindow(backdrop);

    const double grab = Median(grabs), shown = Median(selector);
    std::printf("screen %dx%d at (%ld, %ld), %d monitor(s), median of %d runs; a snapshot is %.1f MB\n", width, height,
                screen.left, screen.top, ::GetSystemMetrics(SM_CMONITORS), runs, snapshotMb);
    std::printf("  action start to selector shown %.1f ms; full-screen grab %.1f ms: %.2fx (goal 1.2x); "
                "a grab shown in a bare window %.1f ms\n",
                shown, grab, shown / grab, Median(bare));
    selectorMemory.Print("held while the selector is shown", snapshotMb);
    bareMemory.Print("a grab shown in a bare window", snapshotMb);
    grabMemory.Print("a grab alone", snapshotMb);
    std::fflush(stdout);
    return 0;
}
