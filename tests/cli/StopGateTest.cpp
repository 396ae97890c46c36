// A console's request to stop waits for the run to release what it holds.
#include "cli/StopGate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace certvane::cli {
namespace {

using namespace std::chrono_literals;

TEST(StopGate, AnInterruptReturnsAtOnceAndTheRunSeesIt) {
    StopGate gate;
    EXPECT_FALSE(gate.StopRequested());
    const auto start = std::chrono::steady_clock::now();
    gate.RequestStop(false, 10s);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_TRUE(gate.StopRequested());
}

// On a closed console the system ends the process when the request returns: it must not
// return before the run has released what it holds.
TEST(StopGate, AClosedConsoleWaitsForTheRunToFinish) {
    StopGate gate;
    std::atomic<bool> returned{false};
    std::atomic<bool> finished{false};
    std::thread console([&] {
        finished.store(gate.RequestStop(true, 60s));
        returned.store(true);
    });
    while (!gate.StopRequested()) std::this_thread::sleep_for(1ms);
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(returned.load());
    gate.RunFinished();
    console.join();
    EXPECT_TRUE(returned.load());
    EXPECT_TRUE(finished.load());
    // A run that finished before the request lets it return at once.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(gate.RequestStop(true, 10s));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

TEST(StopGate, ARunThatDoesNotFinishHoldsTheRequestNoLongerThanItsWait) {
    StopGate gate;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(gate.RequestStop(true, 30ms));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 30ms);
}

}  // namespace
}  // namespace certvane::cli
