// A case that is stuck on purpose, for the test of the test harness itself
// (tests/harness/time_out.sh): it starts Pixlet32 and a Pixlet64.exe reader, then waits for
// ever, to be killed at its time-out. It never runs in the suite: ctest does not list it, and
// it runs only by name with PIXLET_HARNESS_STUCK set.
#include "support/PixletTest.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace testing_support;

namespace {
using Harness = CPixletTest;
}  // namespace

TEST_F(Harness, StuckWithPixletRunning)
{
    if (!std::getenv("PIXLET_HARNESS_STUCK"))
        GTEST_SKIP() << "runs only for the test of the harness (PIXLET_HARNESS_STUCK)";
    CPixlet app;
    ASSERT_TRUE(StartAndWaitForIcon(app));
    // And a reader of the kind Pixlet32 starts for a 64-bit tree, still running at the time-out
    // as one reading a hung program would be. Held suspended it runs nothing, yet it stays until
    // someone ends it: what ends leftover programs must know the companion's name too.
    std::string command = "\"" + CompanionPath() + "\" /pixlet-read-text 0001002A";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION reader = {};
    ASSERT_TRUE(::CreateProcessA(CompanionPath().c_str(), &command[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                                 nullptr, nullptr, &startup, &reader))
        << "error " << ::GetLastError();
    std::printf("Stuck with Pixlet32 and Pixlet64 running (pids %lu, %lu).\n", static_cast<unsigned long>(app.Pid()),
                static_cast<unsigned long>(reader.dwProcessId));
    std::fflush(stdout);
    for (;;)
        ::Sleep(1000);
}
