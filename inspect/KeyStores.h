#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "inspect/CapturedFirmware.h"
#include "inspect/SignatureDatabase.h"

namespace certvane {

enum class VariableState { Present, Missing, Unreadable };

// One Secure Boot variable as read: a variable the firmware does not hold is Missing, one it
// refuses or cannot hand over is Unreadable (with the reason).
struct VariableFact {
    std::wstring_view name;
    VariableState state = VariableState::Missing;
    FirmwareReadFailure failure = FirmwareReadFailure::None;
    bool captured = false;           // from a file given on the command line, not from the firmware
    std::size_t updatesApplied = 0;  // signed updates appended to the image before judging
    ByteBuffer image;
};

// The signature stores, each with its vendor, in the order they are reported.
struct StoreVariable {
    std::wstring_view name;
    Guid vendor;
};
inline constexpr std::array<StoreVariable, 8> StoreVariables{{
    {L"PK", EfiGlobalVariableGuid},
    {L"KEK", EfiGlobalVariableGuid},
    {L"db", ImageSecurityDatabaseGuid},
    {L"dbx", ImageSecurityDatabaseGuid},
    {L"PKDefault", EfiGlobalVariableGuid},
    {L"KEKDefault", EfiGlobalVariableGuid},
    {L"dbDefault", EfiGlobalVariableGuid},
    {L"dbxDefault", EfiGlobalVariableGuid},
}};

struct KeyStores {
    std::vector<VariableFact> stores;  // as StoreVariables
    VariableFact secureBoot;           // the firmware's own one-byte flags
    VariableFact setupMode;

    const VariableFact& Store(std::wstring_view name) const;
};

// Reads every Secure Boot variable; `capturedNames` are those the machine answers from files.
KeyStores ReadKeyStores(Platform& platform, std::span<const std::wstring_view> capturedNames);

// Reads only PK, KEK, db and dbx, the stores readiness is judged from: the quick read of the
// window's button states and of the actions.
KeyStores ReadTrustStores(Platform& platform);

// The one-byte value of SecureBoot or SetupMode: 0 or 1, -1 when absent or malformed.
int FlagValue(const VariableFact& flag);

}  // namespace certvane
