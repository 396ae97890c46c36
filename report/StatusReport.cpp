#include "report/StatusReport.h"

#include "report/BootChainSection.h"
#include "report/ProgressSection.h"

namespace certvane {
namespace {

constexpr std::wstring_view kSeparator = L"━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━\r\n";

void AppendBanner(std::wstring& report, std::wstring_view heading) {
    report += kSeparator;
    report += heading;
    report += kSeparator;
}

void AppendEnvironment(std::wstring& report, const MachineFacts& facts) {
    if (facts.winPE) {
        report += L"运行环境: Windows PE\r\n";
        report += L"当前 Windows PE 版本: " + facts.windowsVersion + L"\r\n";
        if (facts.offlineWindowsVersion) {
            report += L"离线 Windows 版本: " + *facts.offlineWindowsVersion + L"\r\n";
        } else {
            report += L"离线 Windows 版本: 未找到\r\n";
        }
    } else {
        report += L"运行环境: Windows\r\n";
        report += L"当前 Windows 版本: " + facts.windowsVersion + L"\r\n";
    }
}

}  // namespace

std::wstring ComposeStatusReport(const MachineFacts& facts, const MachineAssessment& assessment) {
    std::wstring report;
    AppendEnvironment(report, facts);

    report += L"\r\n";
    AppendBanner(report, L"  【1】UEFI 安全启动状态\r\n");
    report += L"  引导方式: " + facts.bootMode + L"\r\n";
    report += L"  安全启动 状态: ";
    report += facts.secureBootEnabled ? L"已启用" : L"未启用";
    report += L"\r\n";
    report += L"  BitLocker 状态：" + facts.bitLocker + L"\r\n";
    report += L"\r\n";
    if (!facts.secureBootEnabled) {
        AppendBanner(report, L"  ⚠ 提示\r\n");
        report += L"  安全启动未启用，部分 UEFI 证书信息可能无法获取，以下信息仅供参考。\r\n";
        report += L"\r\n";
    }

    AppendBanner(report, L"  【2】当前 UEFI 固件中的证书状态\r\n");
    for (const CertificateFact& certificate : assessment.certificates) {
        report += L"  ";
        report += certificate.status;
        report += L" ";
        report += certificate.row->displayName;
        report += L" [";
        report += certificate.row->description;
        report += L"]\r\n";
    }

    report += L"\r\n";
    AppendBanner(report, L"  【3】安全启动证书是否能引导系统检查\r\n");
    WriteBootChainSection(report, assessment.bootFiles, facts.winPE,
                          facts.offlineWindowsDirectory.value_or(L""), facts.dbNames);

    report += L"\r\n";
    AppendBanner(report, L"  【4】证书更新进度\r\n");
    WriteProgressSection(report, facts, assessment);
    return report;
}

std::wstring ComposeStatusReport(Platform& platform, const StopSignal* stop) {
    const std::optional<MachineFacts> facts = GatherMachineFacts(platform, {}, stop);
    if (StopRequested(stop)) return {};
    if (!facts) return std::wstring(MachineBusyReport);
    return ComposeStatusReport(*facts, AssessMachine(platform, *facts, BuiltInReferenceLists()));
}

}  // namespace certvane
