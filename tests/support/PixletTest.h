// The frame of every end-to-end test: it begins with no Pixlet32 running (one left by a test
// that timed out or crashed is ended first) and must leave none behind.
#pragma once

#include "support/Desktop.h"
#include "support/Process.h"

#include <gtest/gtest.h>

namespace testing_support {

class CPixletTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the test's program (a local of the test, so that it has ended by TearDown) and
    // counts its start, once its icon is there, as the last accepted action.
    ::testing::AssertionResult Start(CPixlet& app);

    CPixlet* m_app = nullptr;  // the program Start started
    CActionPacer m_pacer;      // when its next hot-key action will be accepted
};

// The same with the program's profile removed before and after: each test starts from the
// defaults and leaves none of its letters behind.
class CPixletProfileTest : public CPixletTest
{
protected:
    void SetUp() override;
    void TearDown() override;
};

// Starts Pixlet32 (this build's, or the copy at exePath) and waits for its main window and its
// tray icon. Used as ASSERT_TRUE(StartAndWaitForIcon(app)): a program that did not start ends
// the test there.
::testing::AssertionResult StartAndWaitForIcon(CPixlet& app, const std::string& exePath = PixletPath());

}  // namespace testing_support
