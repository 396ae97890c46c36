#include "actions/BootCertCheck.h"

#include <array>

#include "assess/BootJudgement.h"
#include "assess/FirmwareReadiness.h"
#include "inspect/Environment.h"
#include "inspect/EspSearch.h"
#include "inspect/KeyStores.h"
#include "inspect/MachineLock.h"
#include "inspect/Privileges.h"
#include "inspect/Registry.h"

namespace certvane {
namespace {

constexpr std::uint32_t kFirstWindows11Build = 22000;
constexpr std::uint32_t kFirstWindows10Build = 10240;

bool IsSignedUnder2023(std::wstring_view signer) {
    return signer.find(L"Windows UEFI CA 2023") != std::wstring_view::npos ||
           signer.find(L"Microsoft UEFI CA 2023") != std::wstring_view::npos;
}

std::wstring_view DynamicUpdateLines(std::uint32_t build) {
    if (build >= kFirstWindows11Build) {
        return L"   - Windows 11 24H2/25H2：KB5074110\n   - Windows 11 23H2：KB5077374\n";
    }
    if (build >= kFirstWindows10Build) return L"   - Windows 10：KB5075912\n";
    return L"   请检查 Windows Update 中的可选更新。\n";
}

}  // namespace

std::uint32_t ReadCurrentBuildNumber(Platform& platform) {
    // The value's type is not examined: any value that fits 64 bytes is read as text.
    const auto build =
        ReadStoredValue(platform, RegistryRoot::LocalMachine,
                        L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", L"CurrentBuild", 64);
    return build ? LeadingDecimal(TextOfRegistryBytes(build->bytes)) : 0;
}

std::wstring CheckBootCertUpdate(Platform& platform) {
    // The boot mode and readiness tests read firmware variables, which need the privilege.
    EnableFirmwarePrivilege(platform);
    if (!IsUefiBoot(platform)) return L"当前系统未以 UEFI 模式引导，无法进行引导证书更新。";
    if (!IsSecureBootEnabled(platform)) return L"安全启动未启用，无法进行引导证书更新。";
    // What a 2023 boot manager needs: Windows UEFI CA 2023 in db, by its bytes, and not revoked.
    if (!ReadFirmwareReadiness(platform).windowsCa2023Trusted.value_or(false)) {
        return L"固件中未找到有效的 CA 2023 证书，请先执行“固件证书更新”。";
    }
    // The ESP is mounted only while the boot manager is read, as the status report does, and
    // never while another run may mount it.
    const MachineLock lock(platform);
    if (!lock.Held()) return std::wstring(MachineBusyText);
    const std::vector<EspCandidate> candidates = FindEspVolumes(platform, EspScope::EspPartitions);
    const std::wstring bootManager = GetCurrentBootManagerPath(platform, candidates);
    const BootFile file =
        bootManager.empty() ? BootFile{} : InspectBootFile(platform, bootManager, L"bootmgfw.efi");
    ReleaseEspMounts(candidates);
    if (bootManager.empty()) {
        return L"未找到当前系统的引导文件 (bootmgfw.efi)，请检查 ESP 分区。";
    }
    const KeyStores keys = ReadTrustStores(platform);
    const BootJudgement judgement =
        JudgeBootFileAgainst(platform, file, keys.Store(L"db").image, keys.Store(L"dbx").image);
    const bool under2023 = IsSignedUnder2023(judgement.authority);
    if (under2023 && judgement.WouldBoot()) return L"当前引导文件已由 CA 2023 证书签名，无需更新。";

    // A 2023 name on a signature the firmware refuses is no 2023 boot manager.
    std::wstring text =
        under2023 ? L"当前引导文件的签名未通过固件验证（" + judgement.authority + L"）。\n\n"
                  : L"当前引导文件仍由旧证书签名（" + judgement.authority + L"）。\n\n";
    text += L"请通过以下方式更新引导文件：\n";
    text += L"1. 安装适用于您系统的最新动态更新包：\n";
    text += DynamicUpdateLines(ReadCurrentBuildNumber(platform));
    text += L"2. 或者，直接运行 Windows Update 并安装所有最新累积更新。\n";
    text += L"3. 安装完成后，重启电脑，引导文件将自动更新为 2023 签名版本。\n";
    text += L"\n提示：若更新后仍为旧签名，请检查 BIOS 中安全启动设置是否正确。";
    return text;
}

}  // namespace certvane
