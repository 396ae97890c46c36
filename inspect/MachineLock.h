#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/Platform.h"

namespace certvane {

// How long a run waits for another to finish with what they would share.
inline constexpr std::uint32_t MachineLockWaitMs = 120000;

// Held while a run may assign S:, mount ESP folders or load the offline hives under their
// fixed names: two runs at once (the window, and a CLI run as SYSTEM in another session) must
// not share them. When it cannot be had within MachineLockWaitMs, or cannot be opened, the
// run acquires none of them.
// What an action answers when another run holds the machine.
inline constexpr std::wstring_view MachineBusyText =
    L"另一个 Certvane 正在读取 ESP 或离线系统，等待两分钟后仍未结束。请稍后再试。";

class MachineLock {
  public:
    explicit MachineLock(Platform& platform);
    ~MachineLock();
    MachineLock(const MachineLock&) = delete;
    MachineLock& operator=(const MachineLock&) = delete;

    bool Held() const { return lock_.has_value(); }

  private:
    Platform& platform_;
    std::optional<LockHandle> lock_;
};

}  // namespace certvane
