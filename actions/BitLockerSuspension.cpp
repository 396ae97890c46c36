#include "actions/BitLockerSuspension.h"

#include "inspect/BitLocker.h"
#include "inspect/EncryptableVolume.h"

namespace certvane {
namespace {

// The restarts Windows servicing needs to write the certificates and replace the boot manager.
constexpr std::int32_t kRestarts = 2;

}  // namespace

BitLockerSuspension SuspendSystemBitLocker(Platform& platform) {
    BitLockerSuspension suspension;
    const auto drive = SystemDrive(platform);
    if (!drive) return suspension;
    suspension.drive = *drive;
    EncryptableVolume volume(platform, *drive);
    if (volume.state() == EncryptableVolume::State::Unreadable) return suspension;
    const auto conversion = volume.Number(L"ConversionStatus");
    if (volume.state() == EncryptableVolume::State::Absent || conversion == 0) {
        suspension.outcome = SuspensionOutcome::NotEncrypted;
        return suspension;
    }
    if (!conversion) return suspension;
    const auto result = volume.Call(L"DisableKeyProtectors", {{L"DisableCount", kRestarts, {}}});
    suspension.outcome = result == 0 ? SuspensionOutcome::Suspended : SuspensionOutcome::Refused;
    return suspension;
}

bool ResumeBitLocker(Platform& platform, std::wstring_view drive) {
    EncryptableVolume volume(platform, drive);
    return volume.Call(L"EnableKeyProtectors") == 0;
}

}  // namespace certvane
