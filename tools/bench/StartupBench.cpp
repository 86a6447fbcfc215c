// How long Pixlet32 takes from process start to its tray icon, over several starts.
//   bench_startup.exe [runs]
#include "support/Desktop.h"
#include "support/Process.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace testing_support;

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        LARGE_INTEGER frequency, start, shown;
        ::QueryPerformanceFrequency(&frequency);
        CPixlet app;
        ::QueryPerformanceCounter(&start);
        if (!app.Start()) {
            std::printf("cannot start %s\n", PixletPath().c_str());
            return 1;
        }
        if (!WaitUntil([] { return TrayIconCount() == 1; }, 20000, 1)) {
            std::printf("no tray icon after 20 s\n");
            return 1;
        }
        ::QueryPerformanceCounter(&shown);
        times.push_back(1000.0 * static_cast<double>(shown.QuadPart - start.QuadPart) /
                        static_cast<double>(frequency.QuadPart));
        if (!app.Exit())
            std::printf("run %d: Exit did not end the program\n", i + 1);
        WaitUntil([] { return TrayIconCount() == 0; }, 5000);
    }
    std::sort(times.begin(), times.end());
    std::printf("start-up to tray icon over %d runs: min %.1f ms, median %.1f ms, max %.1f ms\n", runs, times.front(),
                times[times.size() / 2], times.back());
    return 0;
}
