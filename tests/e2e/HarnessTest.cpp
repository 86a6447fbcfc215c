// A case that is stuck on purpose, for the test of the test harness itself
// (tests/harness/time_out.sh): it starts Pixlet32 and then waits for ever, to be killed at its
// time-out. It never runs in the suite: ctest does not list it, and it runs only by name with
// PIXLET_HARNESS_STUCK set.
#include "support/PixletTest.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

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
    std::printf("Stuck with Pixlet32 running (pid %lu).\n", static_cast<unsigned long>(app.Pid()));
    std::fflush(stdout);
    for (;;)
        ::Sleep(1000);
}
