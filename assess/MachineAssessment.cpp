#include "assess/MachineAssessment.h"

namespace certvane {
namespace {

JudgedBootFile Judge(std::string_view role, const BootFile& file, const MachineFacts& facts,
                     const std::vector<Sha256Digest>& dbxHashes) {
    return {role, &file, ClassifyCertName(file.signer),
            JudgeBootFile(file.signer, file.authenticodeSha256, facts.dbNames, facts.dbxNames,
                          dbxHashes)};
}

}  // namespace

bool Ca2023SetTrustedByName(const NameList& dbNames, const NameList& dbxNames) {
    for (std::wstring_view name : Ca2023ReadinessSet) {
        if (!FirmwareTrustsAuthority(name, dbNames, dbxNames)) return false;
    }
    return true;
}

MachineAssessment AssessMachine(const MachineFacts& facts) {
    MachineAssessment assessment;
    for (const KnownCertificate& row : KnownCertificates) {
        assessment.certificates.push_back(
            {&row, CertificateStatus(row, facts.dbNames, facts.dbxNames)});
    }
    assessment.ca2023Ready =
        facts.DbReadable() && Ca2023SetTrustedByName(facts.dbNames, facts.dbxNames);

    assessment.matrix = CertificateMatrix(facts.keys, facts.today);
    assessment.firmware = AssessFirmwareReadiness(facts.keys, assessment.matrix);
    assessment.kekReadiness = AssessKekReadiness(assessment.matrix);
    assessment.platformKey = AssessPlatformKey(assessment.matrix);
    const ByteBuffer& dbx = facts.keys.Store(L"dbx").image;
    assessment.dbxCurrency = AssessDbxCurrency(dbx, assessment.matrix);
    assessment.dbxHashes = DbxHashes(dbx);

    assessment.bootFiles.push_back(
        Judge("current", facts.bootFiles.current, facts, assessment.dbxHashes));
    if (facts.offlineWindowsDirectory) {
        assessment.bootFiles.push_back(
            Judge("offline", facts.bootFiles.offline, facts, assessment.dbxHashes));
    }
    const JudgedBootFile& deciding = facts.winPE && facts.offlineWindowsDirectory
                                         ? assessment.bootFiles.back()
                                         : assessment.bootFiles.front();
    // Inside Windows PE only the offline installation's boot manager decides; without one
    // there is none.
    const bool decidingExists = !facts.winPE || facts.offlineWindowsDirectory.has_value();
    if (decidingExists && !deciding.file->label.empty()) assessment.decidingBootManager = deciding;

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
