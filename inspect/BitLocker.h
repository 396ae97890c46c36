#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace certvane {

// The BitLocker word of the report for the running system's drive, or inside Windows PE for
// the offline installation's drive.
std::wstring GetBitLockerStatusText(Platform& platform);

// -1 no answer, 0 not encrypted, 1 encrypted and protection status 1, 2 encrypted otherwise.
int QueryBitLockerWmi(Platform& platform, std::wstring_view drive);

// What an administrator checks before a Secure Boot change: the volume's key protectors,
// whether a recovery password can unlock it, and whether protection is suspended.
struct BitLockerDetail {
    std::wstring drive;         // "C:"
    bool encrypted = false;     // not fully decrypted (ConversionStatus other than 0)
    bool protectionOn = false;  // ProtectionStatus 1; off while suspended
    bool protectorsKnown = false;
    std::vector<std::int32_t> protectorTypes;  // KeyProtectorType of each protector
    bool hasRecoveryPassword = false;
    // Restarts left while protection is suspended, when Windows says.
    std::optional<std::int32_t> suspendCount;

    // Encrypted, and no protector is a recovery password: recovery would have nothing to unlock.
    bool LacksRecoveryPassword() const {
        return encrypted && protectorsKnown && !hasRecoveryPassword;
    }

    friend bool operator==(const BitLockerDetail&, const BitLockerDetail&) = default;
};

// The detail of a volume ("C:"); nullopt when the BitLocker provider cannot be read. A volume
// the provider does not know is not encrypted.
std::optional<BitLockerDetail> ReadBitLockerDetail(Platform& platform, std::wstring_view drive);

// The drive of the Windows directory ("C:"); nullopt when it has no drive letter.
std::optional<std::wstring> SystemDrive(Platform& platform);

struct OfflineBitLockerState {
    bool found = false;
    bool enabled = false;
};

// The BitLocker status values of an offline installation's SYSTEM hive.
OfflineBitLockerState ReadOfflineBitLockerState(Platform& platform,
                                                std::wstring_view windowsDirectory);

}  // namespace certvane
