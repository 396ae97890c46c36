#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "assess/BootFileAuditJudgement.h"
#include "assess/BootJudgement.h"
#include "assess/CertificateMatrix.h"
#include "assess/DbxCurrency.h"
#include "assess/FirmwareReadiness.h"
#include "assess/KeyReadiness.h"
#include "assess/ServicingSignals.h"
#include "inspect/MachineFacts.h"

namespace certvane {

// One row of the known-certificate table with its status word, by name as section 【2】 of
// the report states it.
struct CertificateFact {
    const KnownCertificate* row;
    std::wstring_view status;
};

// What the facts of one machine add up to. Holds pointers into the facts it was made from.
struct MachineAssessment {
    std::vector<CertificateFact> certificates;
    // The three 2023 db certificates by name, none revoked by name: the question of 2024,
    // kept for the scripts that read it. Readiness is `firmware`.
    bool ca2023Ready = false;

    std::vector<MatrixRow> matrix;
    FirmwareReadiness firmware;
    KekReadiness kekReadiness;
    PlatformKeyAssessment platformKey;
    DbxCurrency dbxCurrency;
    std::vector<Sha256Digest> dbxHashes;

    // "current", and inside Windows PE also "offline" when an installation was found.
    std::vector<JudgedBootFile> bootFiles;
    // The boot manager that decides the machine's boot (the running system's; inside Windows
    // PE the offline installation's), when one was found; it may be unsigned.
    std::optional<JudgedBootFile> decidingBootManager;

    // Every EFI file on the running system's ESP under the firmware's db and dbx.
    std::vector<AuditRow> systemEspFiles;

    // The servicing stage, with a KEK step that cannot complete told as stalled.
    ServicingStage stage = ServicingStage::NotRequested;
    // The rollout bucket the newest servicing event names, and the platform of a virtual
    // machine.
    std::optional<DeviceBucket> deviceBucket;
    VirtualPlatform virtualPlatform = VirtualPlatform::None;

    // The lists judged against, and the age in days of the oldest built-in one among them.
    const ReferenceLists* lists = nullptr;
    std::optional<int> builtInListAge;
    bool ListsStale() const { return builtInListAge && *builtInListAge > StaleListAgeDays; }
};

// `crypto` checks the boot files' signatures; `lists` (Microsoft's, built in or given) must
// outlive the assessment.
MachineAssessment AssessMachine(SignatureApi& crypto, const MachineFacts& facts,
                                const ReferenceLists& lists);

// The three 2023 certificates by name in db, none of them by name in dbx.
bool Ca2023SetTrustedByName(const NameList& dbNames, const NameList& dbxNames);

}  // namespace certvane
