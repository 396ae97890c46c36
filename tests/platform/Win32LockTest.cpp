// The machine lock with Wine's kernel: a second holder waits, and gets it once it is released.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

#include "platform/win32/Win32Platform.h"

namespace certvane {
namespace {

constexpr wchar_t kName[] = L"Certvane-LockTest";

TEST(Win32MachineLock, ASecondHolderWaitsUntilTheFirstReleases) {
    Win32Platform platform;
    const LockAcquisition first = platform.AcquireMachineLock(kName, 1000);
    ASSERT_EQ(first.wait, LockWait::Acquired);
    ASSERT_TRUE(first.lock.has_value());
    // A mutex belongs to a thread: another thread stands for another run.
    LockWait whileHeld = LockWait::Acquired;
    std::thread([&] {
        Win32Platform other;
        const LockAcquisition second = other.AcquireMachineLock(kName, 100);
        whileHeld = second.wait;
        if (second.lock) other.ReleaseMachineLock(*second.lock);
    }).join();
    EXPECT_EQ(whileHeld, LockWait::TimedOut);
    platform.ReleaseMachineLock(*first.lock);
    LockWait afterRelease = LockWait::Refused;
    std::thread([&] {
        Win32Platform other;
        const LockAcquisition second = other.AcquireMachineLock(kName, 1000);
        afterRelease = second.wait;
        if (second.lock) other.ReleaseMachineLock(*second.lock);
    }).join();
    EXPECT_EQ(afterRelease, LockWait::Acquired);
}

}  // namespace
}  // namespace certvane
