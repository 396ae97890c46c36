#include "cli/CliRun.h"

#include <chrono>
#include <cstdio>

#include "cli/BootJudgement.h"
#include "cli/BuiltInLists.h"
#include "cli/DbxCurrency.h"
#include "cli/ExitCode.h"
#include "cli/GatherFacts.h"
#include "cli/JsonReport.h"
#include "cli/OptionFiles.h"
#include "cli/SummaryLine.h"
#include "cli/Utf8.h"
#include "inspect/BootChain.h"
#include "inspect/BootFileSigner.h"
#include "inspect/Environment.h"
#include "inspect/StatusReport.h"

namespace certvane::cli {
namespace {

// Today as "YYYY-MM-DD" (UTC), what certificate expiry is measured against.
std::string TodayUtc() {
    const std::chrono::year_month_day date{
        std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now())};
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

// The dates of the lists built into the program.
std::string VersionText() {
    return "certvane-cli\r\nKEK update map: " + std::string(KekUpdateMapDate) + " (" +
           std::to_string(KekUpdateMap.size()) +
           " platform keys)\r\ndbx list: " + std::string(DbxListDate) + " (" +
           std::to_string(DbxX64Hashes.size()) + " x64 image hashes, " +
           std::to_string(DbxCertificates.size()) + " certificates, " +
           std::to_string(DbxSvns.size()) + " security versions)\r\n";
}

CliResult UsageError(std::wstring_view message) {
    return {ExitUsage, {}, "certvane-cli: " + ToUtf8(message) + "\n"};
}

// Whether db and dbx (the firmware's, captured or updated) let one file boot, as lines.
std::wstring JudgementLines(Platform& platform, const std::wstring& file,
                            std::wstring_view signer) {
    const ByteBuffer db = ReadFirmwareVariable(platform, L"db", ImageSecurityDatabaseGuid);
    const ByteBuffer dbx = ReadFirmwareVariable(platform, L"dbx", ImageSecurityDatabaseGuid);
    const BootFile inspected = InspectBootFile(platform, file, {});
    const auto& hash = inspected.authenticodeSha256;
    const BootJudgement judgement =
        JudgeBootFile(signer, hash, SignatureListNames(platform, db),
                      SignatureListNames(platform, dbx), DbxHashes(dbx));
    const auto yesNo = [](bool value) { return value ? L"yes" : L"no"; };
    const std::string hex = hash ? HexOf(*hash) : "(not a PE image)";
    return L"Authenticode SHA-256: " + std::wstring(hex.begin(), hex.end()) +
           L"\r\nBoot verdict: " + std::wstring(judgement.verdict) +
           L"\r\nAuthority trusted by db and dbx: " + yesNo(judgement.authorityTrusted) +
           L"\r\nFile hash revoked in dbx: " + yesNo(judgement.hashRevoked) + L"\r\nWould boot: " +
           yesNo(judgement.WouldBoot()) + L"\r\n";
}

CliResult SignerOfFile(Platform& platform, const std::wstring& file) {
    if (!platform.PathExists(file))
        return UsageError(L"--efi file " + Quoted(file) + L" cannot be read");
    const std::wstring signer = GetFileSignerName(platform, file);
    if (signer.empty()) {
        return {ExitUndetermined,
                ToUtf8(L"Signer: (none: no readable signature)\r\n" +
                       JudgementLines(platform, file, signer)),
                {}};
    }
    const CertGeneration generation = ClassifyCertName(signer);
    const std::wstring generationText = generation == Gen2011   ? L"2011"
                                        : generation == Gen2023 ? L"2023"
                                                                : L"unclassified";
    return {ExitCodeOfSigner(signer),
            ToUtf8(L"Signer: " + signer + L"\r\nGeneration: " + generationText + L" (" +
                   std::wstring(CertGenerationName(generation)) + L")\r\n" +
                   JudgementLines(platform, file, signer)),
            {}};
}

CliResult PlainReport(Platform& platform) {
    BootFiles files;
    const std::wstring report = ComposeStatusReport(platform, files);
    const ReadinessFacts readiness = ReadinessOfReport(platform, IsWinPE(platform), files);
    return {DecideExitCode(readiness), ToUtf8(report), {}};
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

// Every fact the JSON report and the summary line state, the key hierarchy included.
MachineFacts GatherAllFacts(Platform& platform, const CliOptions& options) {
    MachineFacts facts = GatherMachineFacts(platform);
    facts.keys = ReadKeyStores(platform, CapturedNames(options));
    // Updates go onto a variable that was read or is missing; an unreadable one stays so.
    for (VariableFact& store : facts.keys.stores) {
        if (store.state != VariableState::Present) continue;
        if (store.name == L"db") store.updatesApplied = options.applyDbFiles.size();
        if (store.name == L"dbx") store.updatesApplied = options.applyDbxFiles.size();
    }
    facts.matrix = CertificateMatrix(facts.keys, options.today);
    facts.kekReadiness = AssessKekReadiness(facts.matrix);
    facts.platformKey = AssessPlatformKey(facts.matrix);
    facts.dbxCurrency = AssessDbxCurrency(facts.keys.Store(L"dbx").image, facts.matrix);
    // Only the KEK step left, and Microsoft holds no KEK signed by this machine's PK: the step
    // cannot complete, whether or not Windows has said so yet.
    if (facts.servicingState.stage == ServicingStage::KekPending && facts.platformKey.present &&
        facts.platformKey.kekUpdate == nullptr) {
        facts.servicingState.stage = ServicingStage::KekStalled;
    }
    return facts;
}

// The JSON report or the summary line, from the same facts and exit code.
CliResult FactsAs(Platform& platform, const CliOptions& options,
                  std::string (*render)(const MachineFacts&, int)) {
    const MachineFacts facts = GatherAllFacts(platform, options);
    const int exitCode = DecideExitCode(ReadinessOf(facts));
    return {exitCode, render(facts, exitCode), {}};
}

}  // namespace

std::variant<CliResult, PreparedCommand> PrepareCommand(const std::vector<std::wstring>& args) {
    ParsedCommandLine parsed = ParseCommandLine(args);
    if (!parsed.options) return UsageError(parsed.error);
    if (parsed.options->help) return CliResult{0, ToUtf8(UsageText), {}};
    if (parsed.options->version) return CliResult{0, VersionText(), {}};

    PreparedCommand command{*parsed.options, {}};
    command.options.today = TodayUtc();
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
    return command;
}

CliResult RunCommand(Platform& platform, const CliOptions& options) {
    if (options.efiFile) return SignerOfFile(platform, *options.efiFile);
    if (options.summary) return FactsAs(platform, options, SummaryLine);
    return options.json ? FactsAs(platform, options, JsonReport) : PlainReport(platform);
}

}  // namespace certvane::cli
