#pragma once

#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

namespace certvane {

// Runs `work` on a thread of its own and waits at most `limit` for its result: for system calls
// that take no time-out of their own (a Task Scheduler or event log service that does not
// answer). nullopt when the time passes or no thread can be started. Work that overruns finishes
// on its own and its result is dropped, so it must own all it uses: capture by value, and
// nothing that the caller may destroy.
template <class Result>
std::optional<Result> CallWithin(std::chrono::milliseconds limit, std::function<Result()> work) {
    struct Outcome {
        std::mutex lock;
        std::condition_variable done;
        bool finished = false;
        std::optional<Result> result;
    };
    const auto outcome = std::make_shared<Outcome>();
    try {
        std::thread([outcome, work = std::move(work)] {
            std::optional<Result> result;
            try {
                result = work();
            } catch (...) {
                // A result that could not be made is no result.
            }
            const std::lock_guard<std::mutex> guard(outcome->lock);
            outcome->finished = true;
            outcome->result = std::move(result);
            outcome->done.notify_all();
        }).detach();
    } catch (const std::exception&) {
        return std::nullopt;
    }
    std::unique_lock<std::mutex> guard(outcome->lock);
    outcome->done.wait_for(guard, limit, [&] { return outcome->finished; });
    return std::move(outcome->result);
}

}  // namespace certvane
