#include "inspect/BootChain.h"

#include <vector>

#include "inspect/Authenticode.h"
#include "inspect/BootFileAudit.h"
#include "inspect/DiskNumbers.h"
#include "inspect/EspSearch.h"
#include "inspect/VersionResource.h"

namespace certvane {
namespace {

BootFile Probe(Platform& platform, const std::wstring& path, std::wstring_view label) {
    if (!IsRegularFile(platform, path)) return {};
    return InspectBootFile(platform, path, std::wstring(label));
}

BootFile CurrentBootFile(Platform& platform, const std::vector<EspCandidate>& candidates) {
    const std::wstring path = GetCurrentBootManagerPath(platform, candidates);
    if (path.empty()) return {};
    return InspectBootFile(platform, path, L"bootmgfw.efi");
}

// Inside Windows PE the firmware started the medium's fallback loader, when there is one.
BootFile PeBootFile(Platform& platform, const std::vector<EspCandidate>& candidates) {
    if (candidates.empty() || candidates.front().path.empty()) return {};
    const std::wstring& root = candidates.front().path;
    BootFile file = Probe(platform, root + L"EFI\\BOOT\\BOOTX64.EFI", L"bootx64.efi");
    if (file.label.empty())
        file = Probe(platform, root + std::wstring(BootManagerFile), L"bootmgfw.efi");
    return file;
}

BootFile OfflineBootFile(Platform& platform, std::wstring_view offlineWindows) {
    const std::wstring drive(offlineWindows.substr(0, 2));
    BootFile file;
    const int device = GetDeviceNumber(platform, drive);
    if (device != -1) {
        const std::wstring volume = FindEspVolumeOnDisk(platform, device);
        if (!volume.empty()) {
            const std::wstring path = volume + std::wstring(BootManagerFile);
            if (platform.PathExists(path)) {
                file = InspectBootFile(platform, path, L"bootmgfw.efi");
            }
        }
    }
    if (file.signer.empty()) {
        const std::wstring backup = drive + L"\\Windows\\Boot\\EFI\\bootmgfw.efi";
        if (platform.PathExists(backup)) {
            file = InspectBootFile(platform, backup, L"bootmgfw.efi (备份)");
        }
    }
    return file;
}

}  // namespace

BootFile InspectBootBytes(std::span<const std::uint8_t> bytes, std::wstring path,
                          std::wstring label) {
    BootFile file;
    file.label = std::move(label);
    file.path = std::move(path);
    file.readable = true;
    const auto layout = ReadPeLayout(bytes);
    if (!layout) return file;
    file.authenticodeSha256 = AuthenticodeSha256(bytes, *layout);
    file.certificateTable = ReadCertificateTable(bytes, *layout);
    if (!file.certificateTable.signatures.empty())
        file.signer = file.certificateTable.signatures.front().authority;
    if (const auto name = OriginalFileNameOf(bytes))
        file.originalFileName.assign(name->begin(), name->end());
    return file;
}

BootFile InspectBootFile(Platform& platform, std::wstring path, std::wstring label) {
    const auto bytes = platform.ReadFileBytes(path, MaxHashedBootFileSize);
    if (!bytes) {
        BootFile file;
        file.label = std::move(label);
        file.path = std::move(path);
        return file;
    }
    return InspectBootBytes(*bytes, std::move(path), std::move(label));
}

BootFiles InspectBootFiles(Platform& platform, bool isWinPE, std::wstring_view offlineWindows) {
    const std::vector<EspCandidate> candidates =
        FindEspVolumes(platform, isWinPE ? EspScope::BootVolumes : EspScope::EspPartitions);
    BootFiles files;
    files.current =
        isWinPE ? PeBootFile(platform, candidates) : CurrentBootFile(platform, candidates);
    if (isWinPE && !offlineWindows.empty())
        files.offline = OfflineBootFile(platform, offlineWindows);
    if (!isWinPE) {
        files.systemEspRoot = ChooseSystemEspRoot(platform, candidates);
        if (!files.systemEspRoot.empty()) {
            BootFileAudit audit;
            AuditRoot(platform, files.systemEspRoot, AuditBounds{}, audit);
            files.systemEspFiles = std::move(audit.files);
        }
    }
    ReleaseEspMounts(candidates);
    return files;
}

}  // namespace certvane
