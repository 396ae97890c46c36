#include "report/BootChainSection.h"

#include "assess/BootJudgement.h"

namespace certvane {
namespace {

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

void AppendSignerLines(std::wstring& report, const JudgedBootFile& judged,
                       const DbGenerations& flags, std::wstring_view ending) {
    const CertGeneration generation = judged.generation;
    const BootFile& file = *judged.file;
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

void WriteBootChainSection(std::wstring& report, std::span<const JudgedBootFile> judged,
                           bool isWinPE, std::wstring_view offlineWindows,
                           const NameList& dbNames) {
    const DbGenerations flags = GenerationsIn(dbNames);
    const JudgedBootFile& current = judged.front();
    const BootFile none;
    const JudgedBootFile absent{"offline", &none, Unclassified, {}};
    const JudgedBootFile& offline = judged.size() > 1 ? judged[1] : absent;
    const CertGeneration currentGeneration = current.generation;
    const bool signed_ = !current.file->signer.empty();
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
        report += current.judgement.verdict;
        report += L"\r\n";
    } else {
        report += L"  离线 Windows 系统 EFI 引导证书：\r\n";
        if (offlineWindows.empty()) {
            report += L"  未找到离线系统\r\n";
        } else if (offline.file->signer.empty()) {
            report += L"  未找到引导文件或无数字签名\r\n";
        } else {
            AppendSignerLines(report, offline, flags, L": 目标引导\r\n");
        }
        report += L"\r\n";
        report += L"  Windows PE 符合引导系统条件: ";
        report += current.judgement.verdict;
        report += L"\r\n";
        report += L"  离线 Windows 符合引导系统条件: ";
        if (!offlineWindows.empty() && !offline.file->signer.empty()) {
            report += offline.judgement.verdict;
            report += L"\r\n";
        } else {
            report += L"无法检测（未找到离线系统或引导文件）\r\n";
        }
    }
}

}  // namespace certvane
