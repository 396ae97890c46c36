#include "inspect/MachineLock.h"

namespace certvane {

MachineLock::MachineLock(Platform& platform)
    : platform_(platform),
      lock_(platform.AcquireMachineLock(L"Certvane-EspAndOfflineHives", MachineLockWaitMs).lock) {}

MachineLock::~MachineLock() {
    if (lock_) platform_.ReleaseMachineLock(*lock_);
}

}  // namespace certvane
