#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace certvane::cli {

// Between the console's request to stop (Ctrl+C, Ctrl+Break, a closed window, logoff,
// shutdown), which the system delivers on a thread of its own, and the run, which releases what
// it holds (a letter or folder it mounted, an offline hive it loaded) on its own paths. Ending
// the process from the request would leave those behind; the run ends instead, and the request
// waits for it where the system ends the process after the request returns.
class StopGate {
  public:
    // An interrupt returns at once: the run goes on to release what it holds and then stops. A
    // close, logoff or shutdown (`processEndsAfter`) waits up to `wait` for the run to finish,
    // since the system ends the process when this returns. False when the run was still going
    // when the wait ended.
    bool RequestStop(bool processEndsAfter, std::chrono::milliseconds wait);
    bool StopRequested() const;
    // Everything the run acquired is released.
    void RunFinished();

  private:
    mutable std::mutex lock_;
    std::condition_variable finished_;
    bool stopRequested_ = false;
    bool runFinished_ = false;
};

}  // namespace certvane::cli
