#include "actions/FirmwareCertUpdate.h"

#include <array>

#include "actions/BitLockerSuspension.h"
#include "assess/DecidingBootManager.h"
#include "assess/FirmwareReadiness.h"
#include "assess/KeyReadiness.h"
#include "inspect/Environment.h"
#include "inspect/MachineLock.h"
#include "inspect/Privileges.h"
#include "inspect/SystemCommands.h"

namespace certvane {
namespace {

constexpr std::uint32_t kTaskQueryTimeoutMs = 5000;
// Starting a task returns as soon as the scheduler has it; the bound is for a hung scheduler.
constexpr std::uint32_t kTaskRunTimeoutMs = 30000;
constexpr std::wstring_view kTaskQuery =
    L"/query /tn \"\\Microsoft\\Windows\\PI\\Secure-Boot-Update\"";
constexpr std::wstring_view kTaskRun = L"/run /tn \"\\Microsoft\\Windows\\PI\\Secure-Boot-Update\"";
constexpr std::wstring_view kServicingKey = L"SYSTEM\\CurrentControlSet\\Control\\Secureboot";
constexpr std::wstring_view kAvailableUpdates = L"AvailableUpdates";
// Every servicing step of the 2023 certificate rollout at once.
constexpr std::uint32_t kAllCa2023Updates = 0x5944;

// schtasks is started directly by its full path, so that no file of that name in the current
// folder can stand in for it and no AutoRun command of the interpreter runs elevated. -1 when it
// cannot run, did not end in time, or the system directory is unknown.
int RunTaskCommand(Platform& platform, std::wstring_view arguments, std::uint32_t timeoutMs) {
    return RunSystemProgram(platform, L"schtasks.exe", arguments, timeoutMs);
}

// What the request will do on this machine, where the usual message does not say it.
std::wstring RequestNote(const FirmwareReadiness& readiness, const PlatformKeyAssessment& pk) {
    if (readiness.state == ReadinessState::Ready) {
        return L"\n固件证书已就绪；Windows 将换用由 Windows UEFI CA 2023 签名的引导管理器。";
    }
    if (!readiness.OnlyKekMissing()) return {};
    std::wstring note =
        L"\ndb 中的 2023 证书已就绪，只缺 KEK 中的 Microsoft Corporation KEK 2K CA 2023："
        L"Windows 需要写入由本机平台密钥 (PK) 签名的 KEK 更新。";
    if (pk.present && pk.kekUpdate == nullptr) {
        note +=
            L"\nMicrosoft 发布的 KEK 更新列表中没有此 PK 签名的更新，KEK 步骤可能停滞："
            L"请向电脑厂商索取固件更新。";
    }
    return note;
}

}  // namespace

std::wstring TriggerFirmwareCertUpdate(Platform& platform) {
    if (RunTaskCommand(platform, kTaskQuery, kTaskQueryTimeoutMs) != 0) {
        return L"当前系统不支持 UEFI CA 2023 自动更新。\n"
               L"请安装 2024 年 2 月 13 日之后发布的 Windows 累积更新（包含 KB5036210 功能）。";
    }
    // Firmware variables are readable only with the privilege enabled, and the boot mode and
    // readiness tests below read them.
    EnableFirmwarePrivilege(platform);
    if (!IsUefiBoot(platform)) return L"当前系统未以 UEFI 模式引导，无法更新安全启动证书。";
    if (!IsSecureBootEnabled(platform))
        return L"安全启动未启用，无法更新固件证书。请先启用安全启动。";
    // Nothing to do only when the firmware is ready and the boot manager that decides the boot
    // is already the 2023 one and would start: the request also replaces the boot manager.
    const KeyStores keys = ReadTrustStores(platform);
    const std::vector<MatrixRow> matrix = CertificateMatrix(keys, {});
    const FirmwareReadiness readiness = AssessFirmwareReadiness(keys, matrix);
    if (readiness.state == ReadinessState::Ready) {
        const MachineLock lock(platform);
        if (!lock.Held()) return std::wstring(MachineBusyText);
        const auto bootManager = ReadDecidingBootManager(platform);
        if (bootManager && bootManager->Boots2023()) {
            return L"固件已包含最新且有效的 CA 2023 证书（Windows UEFI CA 2023, Microsoft UEFI "
                   L"CA 2023, Microsoft Option ROM UEFI CA 2023），无需更新。";
        }
    }
    if (IsWinPE(platform)) return L"PE 环境下不支持证书更新。";

    const auto key =
        platform.OpenRegistryKey(RegistryRoot::LocalMachine, kServicingKey, RegistryKeySetValue);
    if (!key) return L"无法打开注册表项，请确保以管理员身份运行。";
    // The confirmation promised the suspension: it comes last before the write, once nothing
    // else can refuse the action, and without it nothing is written.
    const BitLockerSuspension suspension = SuspendSystemBitLocker(platform);
    if (suspension.outcome == SuspensionOutcome::Unreadable ||
        suspension.outcome == SuspensionOutcome::Refused) {
        platform.CloseRegistryKey(*key);
        return std::wstring(
                   suspension.outcome == SuspensionOutcome::Unreadable
                       ? L"无法读取 BitLocker 状态，无法按确认框所说暂停保护，因此未启动更新。"
                       : L"暂停 BitLocker 保护失败，未写入更新请求，也未启动更新任务。") +
               L"\n请手动暂停 BitLocker 保护两次重启（manage-bde -protectors -disable " +
               suspension.drive + L" -RebootCount 2）后重试。";
    }
    const bool suspended = suspension.outcome == SuspensionOutcome::Suspended;
    const std::array<std::uint8_t, 4> value{kAllCa2023Updates & 0xFF,
                                            (kAllCa2023Updates >> 8) & 0xFF, 0, 0};
    const bool written = platform.WriteRegistryValue(*key, kAvailableUpdates, RegDword, value);
    platform.CloseRegistryKey(*key);
    if (!written) {
        if (!suspended) return L"设置注册表 AvailableUpdates 失败。";
        return ResumeBitLocker(platform, suspension.drive)
                   ? std::wstring(L"设置注册表 AvailableUpdates 失败。已恢复 BitLocker 保护。")
                   : L"设置注册表 AvailableUpdates 失败。恢复 BitLocker "
                     L"保护也失败：保护仍暂停两次重启，"
                     L"请手动恢复（manage-bde -protectors -enable " +
                         suspension.drive + L"）。";
    }

    // Success only when schtasks says the task was started; the value stays written either way.
    const std::wstring note =
        RequestNote(readiness, AssessPlatformKey(matrix, BuiltInReferenceLists().kekMap)) +
        (suspended ? L"\nBitLocker 保护已暂停，两次重启后自动恢复。" : L"");
    if (RunTaskCommand(platform, kTaskRun, kTaskRunTimeoutMs) == 0) {
        return L"更新任务已触发。请重启电脑两次以完成证书更新。" + note;
    }
    return L"触发计划任务失败，请手动运行。" + note;
}

}  // namespace certvane
