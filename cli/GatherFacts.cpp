#include "cli/GatherFacts.h"

#include <array>

#include "cli/BootJudgement.h"
#include "cli/CapturedFirmware.h"
#include "cli/DbxCurrency.h"
#include "inspect/BitLocker.h"
#include "inspect/Environment.h"
#include "inspect/Registry.h"
#include "inspect/WindowsVersion.h"

namespace certvane::cli {
namespace {

constexpr std::wstring_view kSecureBootKey = L"SYSTEM\\CurrentControlSet\\Control\\SecureBoot";
constexpr std::wstring_view kServicingKey =
    L"SYSTEM\\CurrentControlSet\\Control\\SecureBoot\\Servicing";
constexpr std::array<std::string_view, 3> kServicingValues{"UEFICA2023Status", "UEFICA2023Error",
                                                           "WindowsUEFICA2023Capable"};
constexpr std::wstring_view kKek2023 = L"Microsoft Corporation KEK 2K CA 2023";

NameList NamesOf(Platform& platform, const ByteBuffer& image) {
    return image.empty() ? NameList{} : SignatureListNames(platform, image);
}

BootFileFact FactOf(std::string role, const BootFile& file, const MachineFacts& facts) {
    const BootJudgement judgement = JudgeBootFile(file.signer, file.authenticodeSha256,
                                                  facts.dbNames, facts.dbxNames, facts.dbxHashes);
    return {std::move(role),
            file.label,
            file.path,
            file.signer,
            ClassifyCertName(file.signer),
            std::wstring(judgement.verdict),
            judgement.authorityTrusted,
            file.authenticodeSha256,
            judgement.hashRevoked};
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

MachineFacts GatherMachineFacts(Platform& platform) {
    MachineFacts facts;
    facts.winPE = IsWinPE(platform);
    facts.windowsVersion = GetWindowsVersionText(platform, L"", false);
    if (facts.winPE) {
        const auto offline = FindOfflineWindows(platform);
        if (!offline.empty()) {
            facts.offlineWindowsDirectory = offline.front();
            facts.offlineWindowsVersion = GetWindowsVersionText(platform, offline.front(), true);
        }
    }
    facts.bootMode = BootModeText(platform);
    facts.uefiBoot = IsUefiBoot(platform);
    facts.secureBootEnabled = IsSecureBootEnabled(platform);
    facts.bitLocker = GetBitLockerStatusText(platform);

    const ByteBuffer db = ReadFirmwareVariable(platform, L"db", ImageSecurityDatabaseGuid);
    const ByteBuffer dbx = ReadFirmwareVariable(platform, L"dbx", ImageSecurityDatabaseGuid);
    const ByteBuffer kek = ReadFirmwareVariable(platform, L"KEK", EfiGlobalVariableGuid);
    facts.dbReadable = !db.empty();
    facts.dbxReadable = !dbx.empty();
    facts.kekReadable = !kek.empty();
    facts.dbNames = NamesOf(platform, db);
    facts.dbxNames = NamesOf(platform, dbx);
    facts.dbxHashes = DbxHashes(dbx);
    facts.kekNames = NamesOf(platform, kek);
    facts.kekHas2023 = NameListContains(facts.kekNames, kKek2023);
    for (const KnownCertificate& row : KnownCertificates) {
        facts.certificates.push_back({&row, CertificateStatus(row, facts.dbNames, facts.dbxNames)});
    }
    facts.ca2023Ready = IsCa2023Ready(platform);

    const BootFiles files =
        InspectBootFiles(platform, facts.winPE, facts.offlineWindowsDirectory.value_or(L""));
    facts.bootFiles.push_back(FactOf("current", files.current, facts));
    if (facts.offlineWindowsDirectory) {
        facts.bootFiles.push_back(FactOf("offline", files.offline, facts));
    }

    for (std::string_view name : kServicingValues) {
        facts.servicing.push_back({std::string(name), ReadRegistryValueOfAnyType(
                                                          platform, kServicingKey,
                                                          std::wstring(name.begin(), name.end()))});
    }
    facts.availableUpdates =
        ReadRegistryValueOfAnyType(platform, kSecureBootKey, L"AvailableUpdates");
    facts.servicingState =
        ReadServicingState(platform, facts.winPE, facts.offlineWindowsDirectory.value_or(L""));
    return facts;
}

ReadinessFacts ReadinessOfReport(Platform& platform, bool isWinPE, const BootFiles& files) {
    const ByteBuffer db = ReadFirmwareVariable(platform, L"db", ImageSecurityDatabaseGuid);
    const ByteBuffer dbx = ReadFirmwareVariable(platform, L"dbx", ImageSecurityDatabaseGuid);
    const BootFile& file = isWinPE ? files.offline : files.current;
    const BootJudgement judgement =
        JudgeBootFile(file.signer, file.authenticodeSha256, NamesOf(platform, db),
                      NamesOf(platform, dbx), DbxHashes(dbx));
    return {!db.empty(), IsCa2023Ready(platform), file.signer, judgement.WouldBoot()};
}

ReadinessFacts ReadinessOf(const MachineFacts& facts) {
    ReadinessFacts readiness{facts.dbReadable, facts.ca2023Ready, {}, false};
    for (const BootFileFact& file : facts.bootFiles) {
        if (file.role != (facts.winPE ? "offline" : "current")) continue;
        readiness.bootManagerSigner = file.signer;
        readiness.bootManagerTrusted = file.trusted && !file.hashRevoked;
    }
    return readiness;
}

}  // namespace certvane::cli
