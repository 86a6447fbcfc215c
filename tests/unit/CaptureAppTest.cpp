// The program's start when its main window cannot be made.
#include "support/MessageBoxWatcher.h"
#include "app/CaptureApp.h"
#include "framework/Dialog.h"

#include <gtest/gtest.h>

using testing_support::CMessageBoxWatcher;

TEST(CaptureApp, WithoutAMainWindowItSaysSoAndLeavesTheWayFreeForTheNextStart)
{
    {
        CDialog noTemplate(0x7FF0);  // no such dialog resource: creation fails
        CCaptureApp app(noTemplate);
        CMessageBoxWatcher watcher;
        EXPECT_FALSE(app.InitInstance()) << "the program would run on with no window";
        ASSERT_TRUE(watcher.Wait());
        EXPECT_EQ(watcher.m_text, kNoMainWindowMessage);
        EXPECT_EQ(watcher.m_caption, app.m_strAppName);
        EXPECT_EQ(watcher.m_hIcon, ::LoadIconA(nullptr, IDI_HAND));
        EXPECT_EQ(app.m_pMainWnd, nullptr);
    }
    // The ended program's instance mutex is free again.
    CSingleInstance next;
    EXPECT_TRUE(next.Acquire(kInstanceMutexName));
}

namespace {
const char kTestMutexName[] = "Pixlet32 unit test: an abandoned instance";

// Takes the mutex and ends without giving it back, as a program that crashed.
DWORD WINAPI TakeAndAbandon(void*)
{
    HANDLE mutex = ::CreateMutexA(nullptr, FALSE, kTestMutexName);
    ::WaitForSingleObject(mutex, 0);
    ::CloseHandle(mutex);
    return 0;
}
}  // namespace

TEST(SingleInstance, AnInstanceThatCrashedDoesNotKeepTheNextFromStarting)
{
    // Another handle keeps the mutex in being after its owner is gone: it is then abandoned.
    HANDLE keeper = ::CreateMutexA(nullptr, FALSE, kTestMutexName);
    HANDLE thread = ::CreateThread(nullptr, 0, TakeAndAbandon, nullptr, 0, nullptr);
    ::WaitForSingleObject(thread, 5000);
    ::CloseHandle(thread);
    {
        CSingleInstance next;
        EXPECT_TRUE(next.Acquire(kTestMutexName)) << "the abandoned mutex was taken for a running instance";
    }
    ::CloseHandle(keeper);
}
