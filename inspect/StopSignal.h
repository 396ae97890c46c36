#pragma once

#include <atomic>

namespace certvane {

// Asked for between the steps of a long read, by whoever no longer wants its answer (the window
// that closed). A read that sees it stops at its next step and gives back what it holds on its
// own paths, so the program can end soon without leaving a letter, a mount or a hive behind.
class StopSignal {
  public:
    void Request() { requested_.store(true); }
    bool Requested() const { return requested_.load(); }

  private:
    std::atomic<bool> requested_{false};
};

// A read asked to stop by `signal`, when there is one.
inline bool StopRequested(const StopSignal* signal) {
    return signal != nullptr && signal->Requested();
}

}  // namespace certvane
