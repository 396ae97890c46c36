#include "inspect/MachineFacts.h"

#include <array>
#include <cstdio>

#include "inspect/BitLocker.h"
#include "inspect/Environment.h"
#include "inspect/MachineLock.h"
#include "inspect/Registry.h"
#include "inspect/TimeText.h"
#include "inspect/WindowsVersion.h"

namespace certvane {
namespace {

constexpr std::wstring_view kSecureBootKey = L"SYSTEM\\CurrentControlSet\\Control\\SecureBoot";
constexpr std::wstring_view kServicingKey =
    L"SYSTEM\\CurrentControlSet\\Control\\SecureBoot\\Servicing";
constexpr std::array<std::string_view, 3> kServicingValues{"UEFICA2023Status", "UEFICA2023Error",
                                                           "WindowsUEFICA2023Capable"};

NameList NamesOf(Platform& platform, const ByteBuffer& image) {
    return image.empty() ? NameList{} : SignatureListNames(platform, image);
}

}  // namespace

RegistryValue ReadRegistryValueOfAnyType(Platform& platform, std::wstring_view subkey,
                                         std::wstring_view name) {
    const auto value = ReadStoredValue(platform, RegistryRoot::LocalMachine, subkey, name, 1024);
    if (!value) return {};
    if (value->type == RegDword && value->bytes.size() == 4)
        return LittleEndian32(value->bytes.data());
    if (value->type == RegSz) return TextOfRegistryBytes(value->bytes);
    return {};
}

std::optional<MachineFacts> GatherMachineFacts(Platform& platform,
                                               std::span<const std::wstring_view> capturedNames,
                                               const StopSignal* stop) {
    const MachineLock lock(platform);
    if (!lock.Held()) return std::nullopt;
    MachineFacts facts;
    facts.today = IsoDateText(platform.CurrentUtcDate());
    constexpr std::wstring_view kBios = L"HARDWARE\\DESCRIPTION\\System\\BIOS";
    facts.systemManufacturer =
        ReadRegistryString(platform, RegistryRoot::LocalMachine, kBios, L"SystemManufacturer");
    facts.systemProductName =
        ReadRegistryString(platform, RegistryRoot::LocalMachine, kBios, L"SystemProductName");
    facts.winPE = IsWinPE(platform);
    if (facts.winPE) {
        const auto offline = FindOfflineWindows(platform);
        if (!offline.empty()) facts.offlineWindowsDirectory = offline.front();
    }
    if (StopRequested(stop)) return std::nullopt;
    facts.windowsVersion = GetWindowsVersionText(platform, L"", false);
    if (facts.offlineWindowsDirectory) {
        if (StopRequested(stop)) return std::nullopt;
        facts.offlineWindowsVersion =
            GetWindowsVersionText(platform, *facts.offlineWindowsDirectory, true);
    }
    facts.bootMode = BootModeText(platform);
    facts.uefiBoot = IsUefiBoot(platform);
    facts.secureBootEnabled = IsSecureBootEnabled(platform);
    if (StopRequested(stop)) return std::nullopt;
    facts.bitLocker = GetBitLockerStatusText(platform);
    if (StopRequested(stop)) return std::nullopt;
    if (const auto drive = SystemDrive(platform); drive && !facts.winPE)
        facts.bitLockerDetail = ReadBitLockerDetail(platform, *drive);

    if (StopRequested(stop)) return std::nullopt;
    facts.keys = ReadKeyStores(platform, capturedNames);
    facts.dbNames = NamesOf(platform, facts.keys.Store(L"db").image);
    facts.dbxNames = NamesOf(platform, facts.keys.Store(L"dbx").image);
    facts.kekNames = NamesOf(platform, facts.keys.Store(L"KEK").image);

    if (StopRequested(stop)) return std::nullopt;
    facts.bootFiles =
        InspectBootFiles(platform, facts.winPE, facts.offlineWindowsDirectory.value_or(L""));

    if (StopRequested(stop)) return std::nullopt;
    for (std::string_view name : kServicingValues) {
        facts.servicing.push_back({std::string(name), ReadRegistryValueOfAnyType(
                                                          platform, kServicingKey,
                                                          std::wstring(name.begin(), name.end()))});
    }
    facts.availableUpdates =
        ReadRegistryValueOfAnyType(platform, kSecureBootKey, L"AvailableUpdates");
    if (StopRequested(stop)) return std::nullopt;
    facts.servicingState =
        ReadServicingState(platform, facts.winPE, facts.offlineWindowsDirectory.value_or(L""));
    return facts;
}

}  // namespace certvane
