#pragma once

#include <windows.h>
#include <process.h>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace certvane {

// Runs `work` on a thread of its own and waits at most `limitMs` for its result: for system
// calls that take no time-out of their own (a Task Scheduler or event log service that does not
// answer). nullopt when the time passes, the work throws, or no thread can be started. Work that
// overruns finishes on its own and its result is dropped, so it must own all it uses: capture by
// value, and nothing that the caller may destroy.
//
// The thread and the wait are the CRT's and the kernel's own (_beginthreadex, an event), not
// std::thread and a condition variable: under Wine, a std::thread started after an earlier one
// had ended sometimes did not begin to run for minutes on a loaded machine.
template <class Result>
std::optional<Result> CallWithin(DWORD limitMs, std::function<Result()> work) {
    struct Call {
        std::function<Result()> work;
        std::optional<Result> result;
        HANDLE finished = nullptr;
        ~Call() {
            if (finished != nullptr) CloseHandle(finished);
        }
    };
    // Each side holds one reference; the last one to let go frees the call.
    using Shared = std::shared_ptr<Call>;
    auto call = std::make_shared<Call>();
    call->work = std::move(work);
    call->finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (call->finished == nullptr) return std::nullopt;

    auto* threadsShare = new Shared(call);
    const auto run = [](void* argument) -> unsigned {
        const std::unique_ptr<Shared> share(static_cast<Shared*>(argument));
        Call& running = **share;
        try {
            running.result = running.work();
        } catch (...) {
            // A result that could not be made is no result.
        }
        SetEvent(running.finished);
        return 0;
    };
    const auto thread = _beginthreadex(nullptr, 0, run, threadsShare, 0, nullptr);
    if (thread == 0) {
        delete threadsShare;
        return std::nullopt;
    }
    CloseHandle(reinterpret_cast<HANDLE>(thread));
    if (WaitForSingleObject(call->finished, limitMs) != WAIT_OBJECT_0) return std::nullopt;
    return std::move(call->result);
}

}  // namespace certvane
