// What showing the progress of a long reading costs: the 10,000 x 5 list view of another
// process read as the program read it before (on the calling thread, nothing shown) and as it
// reads it now (on a thread of its own while this thread answers its messages, with the progress
// window shown after a second and refreshed ten times a second). Runs alternate, so that a
// slower stretch of the machine falls on both.
//   bench_reading.exe [runs]
#include "BenchSupport.h"
#include "app/ReadingThread.h"
#include "text/ReadAnyWindow.h"
#include "support/ControlHost.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace testing_support;
using namespace bench;

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    CControlHost host("biglist");
    const HWND list = host.Control(kListTarget);
    if (!host.Window() || !list) {
        std::printf("control_host.exe did not come up\n");
        return 1;
    }
    ::SetCursorPos(200, 200);
    std::vector<double> before, now;
    size_t lengthBefore = 0, lengthNow = 0;
    for (int run = 0; run < runs; ++run) {
        std::string text;
        double start = Now();
        ReadControlText(list, text);
        before.push_back(Now() - start);
        lengthBefore = text.size();

        text.clear();
        start = Now();
        ReadShowingProgress(list, text, nullptr);
        now.push_back(Now() - start);
        lengthNow = text.size();
    }
    const double plain = Median(before), shown = Median(now);
    std::printf("a list view of 10,000 x 5 cells: on the calling thread, nothing shown, %.2f s (%zu characters); "
                "on a thread of its own with the progress window, %.2f s (%zu characters): %+.1f %% (median of %d)\n",
                plain / 1e3, lengthBefore, shown / 1e3, lengthNow, 100.0 * (shown - plain) / plain, runs);
    return 0;
}
