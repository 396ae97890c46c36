#pragma once

#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace certvane {

enum class SuspensionOutcome {
    NotEncrypted,  // nothing to suspend
    Suspended,     // the key protectors are off for two restarts
    Unreadable,    // the system volume's protection cannot be read: nothing was done
    Refused,       // Windows did not suspend the protectors
};

struct BitLockerSuspension {
    SuspensionOutcome outcome = SuspensionOutcome::Unreadable;
    std::wstring drive;  // "C:"
};

// Before a Secure Boot change that may make BitLocker ask for the recovery key: suspends the
// system volume's key protectors for two restarts when it is encrypted, whether protection is
// on or already suspended (then the count starts again at two).
BitLockerSuspension SuspendSystemBitLocker(Platform& platform);

// Turns the key protectors of `drive` on again; true when Windows says it did.
bool ResumeBitLocker(Platform& platform, std::wstring_view drive);

}  // namespace certvane
