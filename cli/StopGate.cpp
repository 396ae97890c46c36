#include "cli/StopGate.h"

namespace certvane::cli {

bool StopGate::RequestStop(bool processEndsAfter, std::chrono::milliseconds wait) {
    std::unique_lock<std::mutex> guard(lock_);
    stopRequested_ = true;
    if (processEndsAfter) finished_.wait_for(guard, wait, [this] { return runFinished_; });
    return runFinished_;
}

bool StopGate::StopRequested() const {
    const std::lock_guard<std::mutex> guard(lock_);
    return stopRequested_;
}

void StopGate::RunFinished() {
    {
        const std::lock_guard<std::mutex> guard(lock_);
        runFinished_ = true;
    }
    finished_.notify_all();
}

}  // namespace certvane::cli
