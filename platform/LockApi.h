#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/Handles.h"

namespace certvane {

enum class LockWait { Acquired, TimedOut, Refused };

struct LockAcquisition {
    LockWait wait = LockWait::Refused;
    std::optional<LockHandle> lock;  // when acquired
};

// A lock every session of the machine shares: a named mutex in the global namespace
// ("Global\\" before its name), created with a DACL for SYSTEM and Administrators only. A
// standard user cannot create a global object, so nobody but an administrator can hold it or
// make it first.
class LockApi {
  public:
    // Waits at most `milliseconds` for the lock; Refused when it cannot be created or opened.
    virtual LockAcquisition AcquireMachineLock(std::wstring_view name,
                                               std::uint32_t milliseconds) = 0;
    virtual void ReleaseMachineLock(LockHandle lock) = 0;

  protected:
    ~LockApi() = default;
};

}  // namespace certvane
