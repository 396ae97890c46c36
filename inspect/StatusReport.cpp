#include "inspect/StatusReport.h"

#include <vector>

#include "inspect/BitLocker.h"
#include "inspect/BootChain.h"
#include "inspect/Environment.h"
#include "inspect/SignatureDatabase.h"
#include "inspect/WindowsVersion.h"

namespace certvane {
namespace {

constexpr std::wstring_view kSeparator = L"━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━\r\n";

void AppendBanner(std::wstring& report, std::wstring_view heading) {
    report += kSeparator;
    report += heading;
    report += kSeparator;
}

void AppendEnvironment(Platform& platform, std::wstring& report, bool isWinPE,
                       const std::wstring& offlineWindows) {
    if (isWinPE) {
        report += L"运行环境: Windows PE\r\n";
        report += L"当前 Windows PE 版本: " + GetWindowsVersionText(platform, L"", false) + L"\r\n";
        if (!offlineWindows.empty()) {
            report += L"离线 Windows 版本: " +
                      GetWindowsVersionText(platform, offlineWindows, true) + L"\r\n";
        } else {
            report += L"离线 Windows 版本: 未找到\r\n";
        }
    } else {
        report += L"运行环境: Windows\r\n";
        report += L"当前 Windows 版本: " + GetWindowsVersionText(platform, L"", false) + L"\r\n";
    }
}

NameList NamesOfVariable(Platform& platform, std::wstring_view name) {
    const ByteBuffer image = ReadFirmwareVariable(platform, name, ImageSecurityDatabaseGuid);
    return image.empty() ? NameList{} : SignatureListNames(platform, image);
}

}  // namespace

std::wstring ComposeStatusReport(Platform& platform) {
    BootFiles unused;
    return ComposeStatusReport(platform, unused);
}

std::wstring ComposeStatusReport(Platform& platform, BootFiles& inspected) {
    const bool isWinPE = IsWinPE(platform);
    std::wstring offlineWindows;
    if (isWinPE) {
        const std::vector<std::wstring> found = FindOfflineWindows(platform);
        if (!found.empty()) offlineWindows = found.front();
    }
    std::wstring report;
    AppendEnvironment(platform, report, isWinPE, offlineWindows);

    report += L"\r\n";
    AppendBanner(report, L"  【1】UEFI 安全启动状态\r\n");
    report += L"  引导方式: " + BootModeText(platform) + L"\r\n";
    const bool secureBoot = IsSecureBootEnabled(platform);
    report += L"  安全启动 状态: ";
    report += secureBoot ? L"已启用" : L"未启用";
    report += L"\r\n";
    report += L"  BitLocker 状态：" + GetBitLockerStatusText(platform) + L"\r\n";
    report += L"\r\n";
    if (!secureBoot) {
        AppendBanner(report, L"  ⚠ 提示\r\n");
        report += L"  安全启动未启用，部分 UEFI 证书信息可能无法获取，以下信息仅供参考。\r\n";
        report += L"\r\n";
    }

    AppendBanner(report, L"  【2】当前 UEFI 固件中的证书状态\r\n");
    const NameList dbNames = NamesOfVariable(platform, L"db");
    const NameList dbxNames = NamesOfVariable(platform, L"dbx");
    for (const KnownCertificate& row : KnownCertificates) {
        report += L"  ";
        report += CertificateStatus(row, dbNames, dbxNames);
        report += L" ";
        report += row.displayName;
        report += L" [";
        report += row.description;
        report += L"]\r\n";
    }

    report += L"\r\n";
    AppendBanner(report, L"  【3】安全启动证书是否能引导系统检查\r\n");
    inspected = InspectBootFiles(platform, isWinPE, offlineWindows);
    WriteBootChainSection(report, inspected, isWinPE, offlineWindows, dbNames, dbxNames);
    return report;
}

}  // namespace certvane
