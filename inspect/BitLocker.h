#pragma once

#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace certvane {

// The BitLocker word of the report for the running system's drive, or inside Windows PE for
// the offline installation's drive.
std::wstring GetBitLockerStatusText(Platform& platform);

// -1 no answer, 0 not encrypted, 1 encrypted and protection status 1, 2 encrypted otherwise.
int QueryBitLockerWmi(Platform& platform, std::wstring_view drive);

struct OfflineBitLockerState {
    bool found = false;
    bool enabled = false;
};

// The BitLocker status values of an offline installation's SYSTEM hive.
OfflineBitLockerState ReadOfflineBitLockerState(Platform& platform,
                                                std::wstring_view windowsDirectory);

}  // namespace certvane
