#include "inspect/WindowsVersion.h"

#include <array>

#include "inspect/OfflineHive.h"
#include "inspect/PathText.h"
#include "inspect/Privileges.h"
#include "inspect/Registry.h"
#include "inspect/WindowsEditions.h"

namespace certvane {
namespace {

constexpr std::wstring_view kOfflineHiveName = L"TempOfflineSoft";

struct VersionValues {
    std::uint32_t build = 0;
    std::uint32_t revision = 0;
    std::wstring editionId;
    std::wstring productName;
};

VersionValues ReadVersionValues(RegistryApi& registry, RegistryKey key) {
    VersionValues values;
    if (const auto build = QueryStoredValue(registry, key, L"CurrentBuild", 64);
        build && build->type == RegSz) {
        values.build = LeadingDecimal(TextOfRegistryBytes(build->bytes));
    }
    // The revision's type is not examined: whatever fits four bytes is read as a number.
    if (auto revision = QueryStoredValue(registry, key, L"UBR", 4)) {
        revision->bytes.resize(4, 0);
        values.revision = LittleEndian32(revision->bytes.data());
    }
    if (const auto edition = QueryStoredValue(registry, key, L"EditionID", 512)) {
        values.editionId = TextOfRegistryBytes(edition->bytes);
    }
    if (const auto product = QueryStoredValue(registry, key, L"ProductName", 512)) {
        values.productName = TextOfRegistryBytes(product->bytes);
    }
    return values;
}

VersionValues ReadRunningValues(Platform& platform) {
    const auto key = platform.OpenRegistryKey(RegistryRoot::LocalMachine,
                                              L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                                              RegistryKeyRead);
    if (!key) return {};
    VersionValues values = ReadVersionValues(platform, *key);
    platform.CloseRegistryKey(*key);
    return values;
}

// Keys are closed before the unload, which the system refuses while any key of the hive is
// open.
VersionValues ReadOfflineValues(Platform& platform, std::wstring_view directory) {
    const std::wstring hive = UnderDirectory(directory, L"System32\\config\\SOFTWARE");
    VersionValues values;
    ReadOfflineHive(platform, hive, kOfflineHiveName, [&] {
        const auto root =
            platform.OpenRegistryKey(RegistryRoot::LocalMachine, kOfflineHiveName, RegistryKeyRead);
        if (!root) return;
        const auto key = platform.OpenRegistryKey(
            RegistryRoot::LocalMachine, L"TempOfflineSoft\\Microsoft\\Windows NT\\CurrentVersion",
            RegistryKeyRead);
        if (key) {
            values = ReadVersionValues(platform, *key);
            platform.CloseRegistryKey(*key);
        }
        platform.CloseRegistryKey(*root);
    });
    return values;
}

bool ReadBuildFromFile(Platform& platform, const std::wstring& file, VersionValues& values) {
    const auto version = platform.ReadFixedFileVersion(file);
    if (!version) return false;
    values.build = version->leastSignificant >> 16;
    values.revision = version->leastSignificant & 0xFFFF;
    return values.build != 0;
}

std::wstring EditionText(const VersionValues& values) {
    if (!values.editionId.empty()) return EditionFromId(values.editionId);
    if (!values.productName.empty()) return EditionFromProductName(values.productName);
    return {};
}

}  // namespace

std::optional<std::wstring> ReadWindowsVersion(Platform& platform, std::wstring_view directory) {
    const std::wstring trimmed = WithoutTrailingBackslash(directory);
    const bool running =
        EqualsIgnoringCase(trimmed, WithoutTrailingBackslash(platform.WindowsDirectoryPath()));
    VersionValues values =
        running ? ReadRunningValues(platform) : ReadOfflineValues(platform, directory);
    if (values.build == 0 &&
        !ReadBuildFromFile(platform, UnderDirectory(trimmed, L"System32\\winver.exe"), values) &&
        !ReadBuildFromFile(platform, UnderDirectory(trimmed, L"System32\\ntoskrnl.exe"), values)) {
        return std::nullopt;
    }
    std::wstring text(GenerationForBuild(values.build));
    const std::wstring edition = EditionText(values);
    if (!edition.empty()) text += L" " + edition;
    text += L"-内部版本（" + std::to_wstring(values.build);
    if (values.revision != 0) text += L"." + std::to_wstring(values.revision);
    text += L"）";
    return text;
}

std::wstring GetWindowsVersionText(Platform& platform, std::wstring_view directory, bool offline) {
    const std::wstring chosen = offline ? std::wstring(directory) : platform.WindowsDirectoryPath();
    return ReadWindowsVersion(platform, chosen).value_or(L"Windows (未知版本)");
}

}  // namespace certvane
