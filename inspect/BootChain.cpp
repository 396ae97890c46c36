#include "inspect/BootChain.h"

#include <vector>

#include "inspect/Authenticode.h"
#include "inspect/BootFileSigner.h"
#include "inspect/CertGeneration.h"
#include "inspect/DiskNumbers.h"
#include "inspect/EspSearch.h"

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

std::wstring_view GenerationStatus(CertGeneration generation, const DbGenerations& flags) {
    switch (generation) {
        case Gen2011:
            return flags.has2011 ? StatusWord::Valid : StatusWord::Absent;
        case Gen2023:
            return flags.has2023 ? StatusWord::Valid : StatusWord::Absent;
        default:
            return StatusWord::Unknown;
    }
}

void AppendSignerLines(std::wstring& report, const BootFile& file, const DbGenerations& flags,
                       std::wstring_view ending) {
    const CertGeneration generation = ClassifyCertName(file.signer);
    report += L"  ";
    report += GenerationStatus(generation, flags);
    report += L" ";
    report += CertGenerationName(generation);
    report += ending;
    report += L"            当前引导文件：";
    report += file.label.empty() ? std::wstring(L"未知") : file.label;
    report += L"\r\n";
}

void AppendFirmwareLine(std::wstring& report, bool present, std::wstring_view name,
                        bool currentBoot, std::wstring_view end) {
    report += L"  ";
    report += present ? StatusWord::Valid : StatusWord::Absent;
    report += L" ";
    report += name;
    if (currentBoot) report += L": 当前引导";
    report += end;
}

}  // namespace

DbGenerations GenerationsIn(const NameList& dbNames) {
    DbGenerations flags;
    for (const std::wstring& name : dbNames) {
        flags.has2011 = flags.has2011 || HasGen2011Pattern(name);
        flags.has2023 = flags.has2023 || HasGen2023Pattern(name);
    }
    return flags;
}

std::wstring_view BootVerdict(std::wstring_view signer, const NameList& dbNames,
                              const NameList& dbxNames) {
    if (signer.empty()) return L"无法检测（文件不存在或无签名）";
    if (ClassifyCertName(signer) == Unclassified) return L"未知签名（无法判断）";
    return FirmwareTrustsAuthority(signer, dbNames, dbxNames) ? L"是" : L"否（固件不信任此签名）";
}

BootFile InspectBootFile(Platform& platform, std::wstring path, std::wstring label) {
    BootFile file{std::move(label), std::move(path), {}, std::nullopt};
    file.signer = GetFileSignerName(platform, file.path);
    if (const auto bytes = platform.ReadFileBytes(file.path, MaxHashedBootFileSize)) {
        file.authenticodeSha256 = AuthenticodeSha256(*bytes);
    }
    return file;
}

BootFiles InspectBootFiles(Platform& platform, bool isWinPE, std::wstring_view offlineWindows) {
    const std::vector<EspCandidate> candidates = FindEspVolumes(platform);
    BootFiles files;
    files.current =
        isWinPE ? PeBootFile(platform, candidates) : CurrentBootFile(platform, candidates);
    if (isWinPE && !offlineWindows.empty())
        files.offline = OfflineBootFile(platform, offlineWindows);
    ReleaseEspMounts(platform, candidates);
    return files;
}

void AppendBootChainSection(Platform& platform, std::wstring& report, bool isWinPE,
                            std::wstring_view offlineWindows, const NameList& dbNames,
                            const NameList& dbxNames) {
    const BootFiles files = InspectBootFiles(platform, isWinPE, offlineWindows);
    WriteBootChainSection(report, files, isWinPE, offlineWindows, dbNames, dbxNames);
}

void WriteBootChainSection(std::wstring& report, const BootFiles& files, bool isWinPE,
                           std::wstring_view offlineWindows, const NameList& dbNames,
                           const NameList& dbxNames) {
    const DbGenerations flags = GenerationsIn(dbNames);
    const BootFile& current = files.current;
    const BootFile& offline = files.offline;
    const CertGeneration currentGeneration = ClassifyCertName(current.signer);
    const bool signed_ = !current.signer.empty();
    report += L"  当前 UEFI 固件引导证书：\r\n";
    AppendFirmwareLine(report, flags.has2011, L"Microsoft Corporation UEFI CA 2011",
                       signed_ && currentGeneration == Gen2011, L"\r\n");
    AppendFirmwareLine(report, flags.has2023, L"Microsoft UEFI CA 2023",
                       signed_ && currentGeneration == Gen2023, L"\r\n\r\n");

    report += isWinPE ? L"  当前 Windows PE 系统 EFI 引导证书：\r\n"
                      : L"  当前 Windows 系统 EFI 引导证书：\r\n";
    if (signed_) {
        AppendSignerLines(report, current, flags, L": 当前引导\r\n");
    } else {
        report += L"  未找到引导文件或无数字签名\r\n";
    }
    report += L"\r\n";
    if (!isWinPE) {
        report += L"  Windows 符合引导系统条件: ";
        report += BootVerdict(current.signer, dbNames, dbxNames);
        report += L"\r\n";
    } else {
        report += L"  离线 Windows 系统 EFI 引导证书：\r\n";
        if (offlineWindows.empty()) {
            report += L"  未找到离线系统\r\n";
        } else if (offline.signer.empty()) {
            report += L"  未找到引导文件或无数字签名\r\n";
        } else {
            AppendSignerLines(report, offline, flags, L": 目标引导\r\n");
        }
        report += L"\r\n";
        report += L"  Windows PE 符合引导系统条件: ";
        report += BootVerdict(current.signer, dbNames, dbxNames);
        report += L"\r\n";
        report += L"  离线 Windows 符合引导系统条件: ";
        if (!offlineWindows.empty() && !offline.signer.empty()) {
            report += BootVerdict(offline.signer, dbNames, dbxNames);
            report += L"\r\n";
        } else {
            report += L"无法检测（未找到离线系统或引导文件）\r\n";
        }
    }
}

}  // namespace certvane
