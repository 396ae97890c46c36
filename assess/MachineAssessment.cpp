#include "assess/MachineAssessment.h"

namespace certvane {

bool Ca2023SetTrustedByName(const NameList& dbNames, const NameList& dbxNames) {
    for (std::wstring_view name : Ca2023ReadinessSet) {
        if (!FirmwareTrustsAuthority(name, dbNames, dbxNames)) return false;
    }
    return true;
}

MachineAssessment AssessMachine(SignatureApi& crypto, const MachineFacts& facts,
                                const ReferenceLists& lists) {
    MachineAssessment assessment;
    assessment.lists = &lists;
    assessment.builtInListAge = OldestBuiltInListAge(lists, facts.today);
    for (const KnownCertificate& row : KnownCertificates) {
        assessment.certificates.push_back(
            {&row, CertificateStatus(row, facts.dbNames, facts.dbxNames)});
    }
    assessment.ca2023Ready =
        facts.DbReadable() && Ca2023SetTrustedByName(facts.dbNames, facts.dbxNames);

    assessment.matrix = CertificateMatrix(facts.keys, facts.today);
    assessment.firmware = AssessFirmwareReadiness(facts.keys, assessment.matrix);
    assessment.kekReadiness = AssessKekReadiness(assessment.matrix);
    assessment.platformKey = AssessPlatformKey(assessment.matrix, lists.kekMap);
    const ByteBuffer& dbx = facts.keys.Store(L"dbx").image;
    assessment.dbxCurrency = AssessDbxCurrency(dbx, assessment.matrix, lists.dbx);
    assessment.dbxHashes = DbxHashes(dbx);

    const SignatureStore db = SignatureStoreOf(facts.keys.Store(L"db").image);
    const SignatureStore dbxStore = SignatureStoreOf(dbx);
    assessment.bootFiles.push_back(
        JudgeBootFileAs(crypto, "current", facts.bootFiles.current, db, dbxStore));
    if (facts.offlineWindowsDirectory) {
        assessment.bootFiles.push_back(
            JudgeBootFileAs(crypto, "offline", facts.bootFiles.offline, db, dbxStore));
    }
    const JudgedBootFile& deciding = facts.winPE && facts.offlineWindowsDirectory
                                         ? assessment.bootFiles.back()
                                         : assessment.bootFiles.front();
    // Inside Windows PE only the offline installation's boot manager decides; without one
    // there is none.
    const bool decidingExists = !facts.winPE || facts.offlineWindowsDirectory.has_value();
    if (decidingExists && !deciding.file->label.empty()) assessment.decidingBootManager = deciding;

    assessment.systemEspFiles = JudgeAudit(crypto, facts.bootFiles.systemEspFiles,
                                           facts.keys.Store(L"db").image, dbx, lists.dbx);
    assessment.deviceBucket = NewestDeviceBucket(facts.servicingState.events);
    assessment.virtualPlatform = VirtualPlatformOf(facts);
    assessment.stage = facts.servicingState.stage;
    // Only the KEK step left, and Microsoft holds no KEK signed by this machine's PK: the step
    // cannot complete, whether or not Windows has said so yet.
    if (assessment.stage == ServicingStage::KekPending && assessment.platformKey.present &&
        assessment.platformKey.kekUpdate == nullptr) {
        assessment.stage = ServicingStage::KekStalled;
    }
    return assessment;
}

}  // namespace certvane
