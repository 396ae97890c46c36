#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "inspect/BitLocker.h"
#include "inspect/BootChain.h"
#include "inspect/KeyStores.h"
#include "inspect/ServicingState.h"
#include "inspect/SignatureDatabase.h"
#include "inspect/StopSignal.h"

namespace certvane {

// A registry value that may be stored as a number or as text, or be absent.
using RegistryValue = std::variant<std::monostate, std::uint32_t, std::wstring>;

struct NamedRegistryValue {
    std::string name;
    RegistryValue value;
};

// Everything the programs state about one machine, read once. Nothing here is judged: the
// report, the JSON, the summary line and the exit code are all views of one such set.
struct MachineFacts {
    bool winPE = false;
    std::wstring windowsVersion;
    std::optional<std::wstring> offlineWindowsDirectory;
    std::optional<std::wstring> offlineWindowsVersion;
    std::wstring bootMode;
    bool uefiBoot = false;
    bool secureBootEnabled = false;
    std::wstring bitLocker;
    // The running system's volume, outside Windows PE; nullopt when it cannot be read.
    std::optional<BitLockerDetail> bitLockerDetail;

    // Every Secure Boot variable.
    KeyStores keys;
    // The certificate names of db, dbx and KEK as the system's certificate decoder gives them.
    NameList dbNames;
    NameList dbxNames;
    NameList kekNames;

    // The running system's boot files; inside Windows PE also the offline installation's.
    BootFiles bootFiles;

    std::vector<NamedRegistryValue> servicing;
    RegistryValue availableUpdates;
    // Inside Windows PE, the offline installation's.
    ServicingState servicingState;

    // The machine's maker and model as its SMBIOS tables name them (the BIOS key under
    // HKLM\HARDWARE\DESCRIPTION\System, which only the system writes); empty when unreadable.
    std::wstring systemManufacturer;
    std::wstring systemProductName;

    // "YYYY-MM-DD" (UTC), what certificate expiry is measured against.
    std::string today;

    // db as the report has always counted it: an image with bytes in it.
    bool DbReadable() const { return !keys.Store(L"db").image.empty(); }
    bool DbxReadable() const { return !keys.Store(L"dbx").image.empty(); }
    bool KekReadable() const { return !keys.Store(L"KEK").image.empty(); }
};

// Reads every fact once. Like the status report always has, it searches the ESPs and releases
// the mounts it made. `capturedNames` are the variables the machine answers from files.
// nullopt, with nothing read, when another run holds the MachineLock; nullopt as well once
// `stop` is requested, checked between steps (what a step acquired is given back before).
std::optional<MachineFacts> GatherMachineFacts(
    Platform& platform, std::span<const std::wstring_view> capturedNames = {},
    const StopSignal* stop = nullptr);

// A registry value as a number (REG_DWORD) or text (REG_SZ), absent otherwise.
RegistryValue ReadRegistryValueOfAnyType(Platform& platform, std::wstring_view subkey,
                                         std::wstring_view name);

}  // namespace certvane
