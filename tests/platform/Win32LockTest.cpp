// The machine lock with Wine's kernel: a second holder waits, and gets it once it is released.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

#include "platform/win32/Win32Platform.h"

namespace certvane {
namespace {

constexpr wchar_t kName[] = L"Certvane-LockTest";

// A mutex belongs to a thread: another thread stands for another run.
LockWait WaitInAnotherThread(std::uint32_t milliseconds) {
    LockWait wait = LockWait::Refused;
    std::thread([&] {
        Win32Platform other;
        const LockAcquisition acquired = other.AcquireMachineLock(kName, milliseconds);
        wait = acquired.wait;
        if (acquired.lock) other.ReleaseMachineLock(*acquired.lock);
    }).join();
    return wait;
}

TEST(Win32MachineLock, ASecondHolderWaitsUntilTheFirstReleases) {
    Win32Platform platform;
    const LockAcquisition first = platform.AcquireMachineLock(kName, 1000);
    ASSERT_EQ(first.wait, LockWait::Acquired);
    ASSERT_TRUE(first.lock.has_value());
    EXPECT_EQ(WaitInAnotherThread(100), LockWait::TimedOut);
    platform.ReleaseMachineLock(*first.lock);
    EXPECT_EQ(WaitInAnotherThread(1000), LockWait::Acquired);
}

}  // namespace
}  // namespace certvane
