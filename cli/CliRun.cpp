#include "cli/CliRun.h"

#include "assess/BootJudgement.h"
#include "assess/MachineAssessment.h"
#include "assess/ReferenceListFiles.h"
#include "cli/AuditReport.h"
#include "cli/ExitCode.h"
#include "cli/JsonReport.h"
#include "cli/OptionFiles.h"
#include "cli/SummaryLine.h"
#include "cli/Utf8.h"
#include "inspect/TimeText.h"
#include "report/StatusReport.h"

namespace certvane::cli {
namespace {

// The dates of the lists built into the program, and a warning when they are out of date.
std::string VersionText(std::string_view today) {
    const ReferenceLists& lists = BuiltInReferenceLists();
    std::string text = "certvane-cli\r\nKEK update map: " + lists.kekMap.origin.date + " (" +
                       std::to_string(lists.kekMap.entries.size()) +
                       " platform keys)\r\ndbx list: " + lists.dbx.origin.date + " (" +
                       std::to_string(lists.dbx.x64Hashes.size()) + " x64 image hashes, " +
                       std::to_string(lists.dbx.certificates.size()) + " certificates, " +
                       std::to_string(lists.dbx.svns.size()) + " security versions)\r\n";
    const auto age = OldestBuiltInListAge(lists, today);
    if (age && *age > StaleListAgeDays) {
        text += "Warning: the built-in lists are " + std::to_string(*age) + " days old (over " +
                std::to_string(StaleListAgeDays) +
                "); use a newer certvane-cli, or give Microsoft's current files with --kek-map "
                "and --dbx-info\r\n";
    }
    return text;
}

CliResult UsageError(std::wstring_view message) {
    return {ExitUsage, {}, "certvane-cli: " + ToUtf8(message) + "\n"};
}

std::wstring_view GenerationText(CertGeneration generation) {
    return generation == Gen2011 ? L"2011" : generation == Gen2023 ? L"2023" : L"unclassified";
}

std::wstring_view RevocationText(Revocation revocation) {
    return revocation == Revocation::Hash          ? L"file hash in dbx"
           : revocation == Revocation::Certificate ? L"certificate in dbx"
                                                   : L"no";
}

// One line for each entry of the certificate table, as the firmware walks them.
std::wstring SignatureLines(const BootJudgement& judgement) {
    const FileVerification& verification = judgement.verification;
    const auto yesNo = [](bool value) { return value ? L"yes" : L"no"; };
    std::wstring lines;
    for (std::size_t i = 0; i < verification.signatures.size(); ++i) {
        const SignatureVerdict& signature = verification.signatures[i];
        const std::string_view digest =
            signature.digestAlgorithm ? DigestAlgorithmName(*signature.digestAlgorithm) : "unknown";
        lines += L"Signature " + std::to_wstring(i + 1) + L": " +
                 (signature.authority.empty() ? L"(no signer)" : signature.authority) + L", " +
                 std::wstring(GenerationText(ClassifyCertName(signature.authority))) + L", " +
                 std::wstring(digest.begin(), digest.end()) + L", verifies against db: " +
                 yesNo(signature.verifies) + L", revoked: " +
                 std::wstring(RevocationText(signature.revokedBy)) +
                 (verification.accepted == i ? L" (accepted)" : L"") + L"\r\n";
    }
    if (!verification.tableIntact) lines += L"Certificate table: does not parse to its end\r\n";
    if (verification.hashTrusted) lines += L"Accepted by: its own hash in db, by no signature\r\n";
    if (verification.checkUnavailable) lines += L"Signature check: unavailable on this system\r\n";
    if (verification.accepted.value_or(0) > 0) {
        lines += L"Note: accepted only through signature " +
                 std::to_wstring(*verification.accepted + 1) +
                 L"; firmware built before 2013 checks only the first\r\n";
    }
    return lines;
}

std::wstring JudgementLines(const BootFile& file, const BootJudgement& judgement) {
    const auto yesNo = [](bool value) { return value ? L"yes" : L"no"; };
    const auto& hash = file.authenticodeSha256;
    const std::string hex = hash ? HexOf(*hash) : "(not a PE image)";
    return SignatureLines(judgement) + L"Authenticode SHA-256: " +
           std::wstring(hex.begin(), hex.end()) + L"\r\nBoot verdict: " +
           std::wstring(judgement.verdict) + L"\r\nAuthority trusted by db and dbx: " +
           yesNo(judgement.authorityTrusted) + L"\r\nFile hash revoked in dbx: " +
           yesNo(judgement.hashRevoked) + L"\r\nWould boot: " + yesNo(judgement.WouldBoot()) +
           L"\r\n";
}

CliResult SignerOfFile(Platform& platform, const std::wstring& path) {
    if (!platform.PathExists(path))
        return UsageError(L"--efi file " + Quoted(path) + L" cannot be read");
    const BootFile file = InspectBootFile(platform, path, {});
    // A file that exists but cannot be read is not a file without a signature.
    if (!file.readable) return UsageError(L"--efi file " + Quoted(path) + L" cannot be read");
    // Whether db and dbx (the firmware's, captured or updated) let the file boot.
    const ByteBuffer db = ReadFirmwareVariable(platform, L"db", ImageSecurityDatabaseGuid);
    const ByteBuffer dbx = ReadFirmwareVariable(platform, L"dbx", ImageSecurityDatabaseGuid);
    const BootJudgement judgement = JudgeBootFileAgainst(platform, file, db, dbx);
    const ExitCode code = ExitCodeOfFile(
        !db.empty(), file.signer.empty() ? L"" : judgement.authority, judgement.WouldBoot());
    if (file.signer.empty()) {
        return {
            code,
            ToUtf8(L"Signer: (none: no readable signature)\r\n" + JudgementLines(file, judgement)),
            {}};
    }
    // The generation, and the authority it is read from: the accepted signature's.
    return {code,
            ToUtf8(L"Signer: " + judgement.authority + L"\r\nGeneration: " +
                   std::wstring(GenerationText(ClassifyCertName(judgement.authority))) + L" (" +
                   judgement.authority + L")\r\n" + JudgementLines(file, judgement)),
            {}};
}

// The variables the command line replaces with captured images.
std::vector<std::wstring_view> CapturedNames(const CliOptions& options) {
    std::vector<std::wstring_view> names;
    if (options.dbFile) names.push_back(L"db");
    if (options.dbxFile) names.push_back(L"dbx");
    if (options.kekFile) names.push_back(L"KEK");
    if (options.pkFile) names.push_back(L"PK");
    return names;
}

// Reads the machine once; the report, the JSON, the summary and the exit code are all views
// of these facts and their assessment.
CliResult Report(Platform& platform, const CliOptions& options, const ReferenceLists& lists) {
    const std::vector<std::wstring_view> captured = CapturedNames(options);
    std::optional<MachineFacts> gathered = GatherMachineFacts(platform, captured);
    if (!gathered) {
        return {ExitUndetermined,
                {},
                "certvane-cli: another Certvane run holds the ESP and the offline hives (waited "
                "120 s); nothing was read\n"};
    }
    MachineFacts& facts = *gathered;
    // Updates go onto a variable that was read or is missing; an unreadable one stays so.
    for (VariableFact& store : facts.keys.stores) {
        if (store.state != VariableState::Present) continue;
        if (store.name == L"db") store.updatesApplied = options.applyDbFiles.size();
        if (store.name == L"dbx") store.updatesApplied = options.applyDbxFiles.size();
    }
    const MachineAssessment assessment = AssessMachine(platform, facts, lists);
    const int exitCode = DecideExitCode(ReadinessOf(facts, assessment));
    std::string out = options.summary ? SummaryLine(facts, assessment, exitCode)
                      : options.json  ? JsonReport(facts, assessment, exitCode)
                                      : ToUtf8(ComposeStatusReport(facts, assessment));
    return {exitCode, std::move(out), {}};
}

}  // namespace

std::variant<CliResult, PreparedCommand> PrepareCommand(const std::vector<std::wstring>& args) {
    ParsedCommandLine parsed = ParseCommandLine(args);
    if (!parsed.options) return UsageError(parsed.error);
    if (parsed.options->help) return CliResult{0, ToUtf8(UsageText), {}};
    PreparedCommand command{*parsed.options, {}, BuiltInReferenceLists()};
    if (command.options.version) return command;
    const std::pair<const std::optional<std::wstring>*, std::optional<ByteBuffer>*> captures[] = {
        {&command.options.dbFile, &command.captured.db},
        {&command.options.dbxFile, &command.captured.dbx},
        {&command.options.kekFile, &command.captured.kek},
        {&command.options.pkFile, &command.captured.pk},
    };
    const wchar_t* const names[] = {L"--db", L"--dbx", L"--kek", L"--pk"};
    for (std::size_t i = 0; i < std::size(captures); ++i) {
        const auto& [file, image] = captures[i];
        if (!file->has_value()) continue;
        auto loaded = LoadCapturedImage(names[i], **file);
        if (auto* reason = std::get_if<std::wstring>(&loaded)) return UsageError(*reason);
        *image = std::move(std::get<ByteBuffer>(loaded));
    }
    const std::pair<const std::vector<std::wstring>*, ByteBuffer*> updates[] = {
        {&command.options.applyDbFiles, &command.captured.dbAppended},
        {&command.options.applyDbxFiles, &command.captured.dbxAppended},
    };
    const wchar_t* const updateOptions[] = {L"--apply-db", L"--apply-dbx"};
    for (std::size_t i = 0; i < std::size(updates); ++i) {
        auto loaded = LoadUpdates(updateOptions[i], *updates[i].first);
        if (auto* reason = std::get_if<std::wstring>(&loaded)) return UsageError(*reason);
        *updates[i].second = std::move(std::get<ByteBuffer>(loaded));
    }
    if (const auto& file = command.options.kekMapFile) {
        auto loaded = LoadKekUpdateMap(*file);
        if (auto* reason = std::get_if<std::wstring>(&loaded)) return UsageError(*reason);
        command.lists.kekMap = std::move(std::get<KekUpdateMap>(loaded));
    }
    if (const auto& file = command.options.dbxInfoFile) {
        auto loaded = LoadDbxInfo(*file);
        if (auto* reason = std::get_if<std::wstring>(&loaded)) return UsageError(*reason);
        command.lists.dbx = std::move(std::get<DbxList>(loaded));
    }
    return command;
}

CliResult RunCommand(Platform& platform, const PreparedCommand& command) {
    const CliOptions& options = command.options;
    if (options.version) return {0, VersionText(IsoDateText(platform.CurrentUtcDate())), {}};
    if (options.efiFile) return SignerOfFile(platform, *options.efiFile);
    if (options.audit) return RunAudit(platform, options, command.lists);
    return Report(platform, options, command.lists);
}

}  // namespace certvane::cli
