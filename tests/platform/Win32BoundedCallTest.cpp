// Bounding a call that takes no time-out of its own.
#include "platform/win32/BoundedCall.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace certvane {
namespace {

using namespace std::chrono_literals;

TEST(CallWithin, GivesTheResultOfWorkThatEndsInTime) {
    EXPECT_EQ(CallWithin<std::string>(10000, [] { return std::string("answer"); }), "answer");
    // Work that fails gives no result, and the caller does not wait out the limit for it.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(CallWithin<int>(10000, []() -> int { throw 1; }), std::nullopt);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

// Each call starts a thread after the last one ended: every one of them must begin to run.
TEST(CallWithin, SuccessiveCallsEachRunTheirWork) {
    for (int call = 0; call < 50; ++call)
        EXPECT_EQ(CallWithin<int>(10000, [call] { return call; }), call);
}

// A call that does not answer is a failure of its step, and what it gives later is dropped
// safely: it owns its state, the caller has long gone on.
TEST(CallWithin, GivesUpOnWorkThatOverrunsAndLetsItFinishAlone) {
    struct Gate {
        std::atomic<bool> open{false};
        std::atomic<bool> finished{false};
    };
    const auto gate = std::make_shared<Gate>();
    EXPECT_EQ(CallWithin<int>(20,
                              [gate] {
                                  while (!gate->open.load()) std::this_thread::sleep_for(1ms);
                                  gate->finished.store(true);
                                  return 7;
                              }),
              std::nullopt);
    gate->open.store(true);
    while (!gate->finished.load()) std::this_thread::sleep_for(1ms);
}

}  // namespace
}  // namespace certvane
