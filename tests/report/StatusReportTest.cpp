// Whole reports of whole machines, line by line.
#include "report/StatusReport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/ReportLines.h"
#include "tests/support/Situations.h"

namespace certvane {
namespace {

using test::kRule;
using test::LinesBeforeProgress;
using test::ScriptedMachine;
using ::testing::ElementsAreArray;

using Lines = std::vector<std::wstring>;

Lines Join(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

Lines Section1(const std::wstring& bootMode, bool secureBoot, const std::wstring& bitLocker) {
    Lines lines{L"",
                kRule,
                L"  【1】UEFI 安全启动状态",
                kRule,
                L"  引导方式: " + bootMode,
                std::wstring(L"  安全启动 状态: ") + (secureBoot ? L"已启用" : L"未启用"),
                L"  BitLocker 状态：" + bitLocker,
                L""};
    if (!secureBoot) {
        lines.insert(
            lines.end(),
            {kRule, L"  ⚠ 提示", kRule,
             L"  安全启动未启用，部分 UEFI 证书信息可能无法获取，以下信息仅供参考。", L""});
    }
    return lines;
}

Lines Section2(const std::wstring& pca2011, const std::wstring& uefi2011,
               const std::wstring& windows2023, const std::wstring& uefi2023,
               const std::wstring& rom2023) {
    return {
        kRule,
        L"  【2】当前 UEFI 固件中的证书状态",
        kRule,
        L"  " + pca2011 + L" Microsoft Windows Production PCA 2011 [Windows 操作系统核心文件 证书]",
        L"  " + uefi2011 + L" Microsoft Corporation UEFI CA 2011 [第三方 UEFI 驱动和引导程序 证书]",
        L"  " + windows2023 + L" Windows UEFI CA 2023 [新版 Windows 系统文件 证书]",
        L"  " + uefi2023 + L" Microsoft UEFI CA 2023 [新版第三方 UEFI 驱动和引导程序 证书]",
        L"  " + rom2023 + L" Microsoft Option ROM UEFI CA 2023 [硬件固件扩展卡 证书]",
        L"",
        kRule,
        L"  【3】安全启动证书是否能引导系统检查",
        kRule};
}

const Lines kWindows11Section3{L"  当前 UEFI 固件引导证书：",
                               L"  [有效] Microsoft Corporation UEFI CA 2011",
                               L"  [有效] Microsoft UEFI CA 2023: 当前引导",
                               L"",
                               L"  当前 Windows 系统 EFI 引导证书：",
                               L"  [有效] Microsoft UEFI CA 2023: 当前引导",
                               L"            当前引导文件：bootmgfw.efi",
                               L"",
                               L"  Windows 符合引导系统条件: 是"};

const Lines kWindows11Report =
    Join({{L"运行环境: Windows", L"当前 Windows 版本: Windows 11 专业版-内部版本（26100.4652）"},
          Section1(L"UEFI", true, L"已启用（锁定）"),
          Section2(L"[有效]", L"[有效]", L"[有效]", L"[有效]", L"[有效]"),
          kWindows11Section3});

TEST(StatusReportOfWindows11, WithALetterlessEspIsTheFullReport) {
    ScriptedMachine machine = test::NormalWindows11();
    EXPECT_THAT(LinesBeforeProgress(ComposeStatusReport(machine)),
                ElementsAreArray(kWindows11Report));
}

TEST(StatusReportOfWindows11, WithAnEspThatHasADriveLetterIsTheSameAndRunsNoMountvol) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.AssignLetter(L'B', test::Windows11::Esp);
    EXPECT_THAT(LinesBeforeProgress(ComposeStatusReport(machine)),
                ElementsAreArray(kWindows11Report));
    EXPECT_TRUE(machine.processStarts.empty());
}

TEST(StatusReportOfWindows11, WhenEveryMountFailsFindsNoBootFile) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.volumes[test::Windows11::Esp].filesByVolumeName = false;  // only a mount reaches it
    machine.mountvolEsp.reset();
    machine.volumes[test::Windows11::Esp].refusesFolderMount = true;
    const Lines expected = Join(
        {{L"运行环境: Windows", L"当前 Windows 版本: Windows 11 专业版-内部版本（26100.4652）"},
         Section1(L"UEFI", true, L"已启用（锁定）"),
         Section2(L"[有效]", L"[有效]", L"[有效]", L"[有效]", L"[有效]"),
         {L"  当前 UEFI 固件引导证书：", L"  [有效] Microsoft Corporation UEFI CA 2011",
          L"  [有效] Microsoft UEFI CA 2023", L"", L"  当前 Windows 系统 EFI 引导证书：",
          L"  未找到引导文件或无数字签名", L"",
          L"  Windows 符合引导系统条件: 无法检测（文件不存在或无签名）"}});
    EXPECT_THAT(LinesBeforeProgress(ComposeStatusReport(machine)), ElementsAreArray(expected));
}

TEST(StatusReportOfWindows11, WithSecureBootOffRevokedPcaAndAnOldBootManager) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.SetRegistryValue(L"SYSTEM\\CurrentControlSet\\Control\\SecureBoot\\State",
                             L"UEFISecureBootEnabled", test::DwordValue(0));
    test::SetDb(machine, {L"Microsoft Windows Production PCA 2011", L"Windows UEFI CA 2023",
                          L"Contoso Firmware Root"});
    test::SetDbx(machine, {L"Microsoft Windows Production PCA 2011"});
    machine.PutFile(
        machine.volumes[test::Windows11::Esp].name + L"EFI\\Microsoft\\Boot\\bootmgfw.efi",
        test::SignedFile(L"Microsoft Windows Production PCA 2011"));
    machine.encryptableVolumes[L"C:"] = {WmiValue{VariantInt32, 2}, WmiValue{VariantInt32, 0}};
    const Lines expected = Join(
        {{L"运行环境: Windows", L"当前 Windows 版本: Windows 11 专业版-内部版本（26100.4652）"},
         Section1(L"UEFI", false, L"已启用（已解锁）"),
         Section2(L"[已吊销]", L"[不存在]", L"[有效]", L"[不存在]", L"[不存在]"),
         {L"  当前 UEFI 固件引导证书：", L"  [有效] Microsoft Corporation UEFI CA 2011: 当前引导",
          L"  [有效] Microsoft UEFI CA 2023", L"", L"  当前 Windows 系统 EFI 引导证书：",
          L"  [有效] Microsoft Corporation UEFI CA 2011: 当前引导",
          L"            当前引导文件：bootmgfw.efi", L"",
          // PCA 2011 is in db but revoked: the firmware would not start this boot manager.
          L"  Windows 符合引导系统条件: 否（固件不信任此签名）"}});
    EXPECT_THAT(LinesBeforeProgress(ComposeStatusReport(machine)), ElementsAreArray(expected));
}

TEST(StatusReportOfLegacyBios, ShowsNoCertificatesAndNoBootFile) {
    ScriptedMachine machine = test::LegacyBiosMachine();
    const Lines expected = Join(
        {{L"运行环境: Windows", L"当前 Windows 版本: Windows 10 核心版-内部版本（19045.3803）"},
         Section1(L"Legacy BIOS", false, L"未启用"),
         Section2(L"[不存在]", L"[不存在]", L"[不存在]", L"[不存在]", L"[不存在]"),
         {L"  当前 UEFI 固件引导证书：", L"  [不存在] Microsoft Corporation UEFI CA 2011",
          L"  [不存在] Microsoft UEFI CA 2023", L"", L"  当前 Windows 系统 EFI 引导证书：",
          L"  未找到引导文件或无数字签名", L"",
          L"  Windows 符合引导系统条件: 无法检测（文件不存在或无签名）"}});
    EXPECT_THAT(LinesBeforeProgress(ComposeStatusReport(machine)), ElementsAreArray(expected));
}

TEST(StatusReportInWindowsPe, WithAnOfflineInstallationOnC) {
    ScriptedMachine machine = test::WinPeWithOfflineOnC();
    const Lines expected = Join(
        {{L"运行环境: Windows PE",
          L"当前 Windows PE 版本: Windows 11 WindowsPE-内部版本（26100.1）",
          L"离线 Windows 版本: Windows 10 专业版-内部版本（19045.5737）"},
         Section1(L"UEFI", true, L"已启用"),
         Section2(L"[有效]", L"[有效]", L"[不存在]", L"[不存在]", L"[不存在]"),
         {L"  当前 UEFI 固件引导证书：", L"  [有效] Microsoft Corporation UEFI CA 2011: 当前引导",
          L"  [不存在] Microsoft UEFI CA 2023", L"", L"  当前 Windows PE 系统 EFI 引导证书：",
          L"  [有效] Microsoft Corporation UEFI CA 2011: 当前引导",
          L"            当前引导文件：bootx64.efi", L"", L"  离线 Windows 系统 EFI 引导证书：",
          L"  [有效] Microsoft Corporation UEFI CA 2011: 目标引导",
          L"            当前引导文件：bootmgfw.efi", L"", L"  Windows PE 符合引导系统条件: 是",
          L"  离线 Windows 符合引导系统条件: 是"}});
    EXPECT_THAT(LinesBeforeProgress(ComposeStatusReport(machine)), ElementsAreArray(expected));
}

TEST(StatusReportInWindowsPe, WithAnOfflineInstallationOnAUsbDisk) {
    ScriptedMachine machine = test::WinPeWithOfflineOnUsb();
    const Lines expected = Join(
        {{L"运行环境: Windows PE",
          L"当前 Windows PE 版本: Windows 11 WindowsPE-内部版本（26100.1）",
          L"离线 Windows 版本: Windows 11 企业版-内部版本（22631）"},
         Section1(L"UEFI", true, L"已启用"),
         Section2(L"[有效]", L"[有效]", L"[不存在]", L"[不存在]", L"[不存在]"),
         {L"  当前 UEFI 固件引导证书：", L"  [有效] Microsoft Corporation UEFI CA 2011: 当前引导",
          L"  [不存在] Microsoft UEFI CA 2023", L"", L"  当前 Windows PE 系统 EFI 引导证书：",
          L"  [有效] Microsoft Corporation UEFI CA 2011: 当前引导",
          L"            当前引导文件：bootx64.efi", L"", L"  离线 Windows 系统 EFI 引导证书：",
          L"  [不存在] Microsoft UEFI CA 2023: 目标引导", L"            当前引导文件：bootmgfw.efi",
          L"", L"  Windows PE 符合引导系统条件: 是",
          L"  离线 Windows 符合引导系统条件: 否（固件不信任此签名）"}});
    EXPECT_THAT(LinesBeforeProgress(ComposeStatusReport(machine)), ElementsAreArray(expected));
}

TEST(StatusReportInWindowsPe, WithoutAnOfflineInstallation) {
    ScriptedMachine machine = test::WinPeBase();
    const Lines expected = Join(
        {{L"运行环境: Windows PE",
          L"当前 Windows PE 版本: Windows 11 WindowsPE-内部版本（26100.1）",
          L"离线 Windows 版本: 未找到"},
         Section1(L"UEFI", true, L"未找到离线系统"),
         Section2(L"[有效]", L"[有效]", L"[不存在]", L"[不存在]", L"[不存在]"),
         {L"  当前 UEFI 固件引导证书：", L"  [有效] Microsoft Corporation UEFI CA 2011: 当前引导",
          L"  [不存在] Microsoft UEFI CA 2023", L"", L"  当前 Windows PE 系统 EFI 引导证书：",
          L"  [有效] Microsoft Corporation UEFI CA 2011: 当前引导",
          L"            当前引导文件：bootx64.efi", L"", L"  离线 Windows 系统 EFI 引导证书：",
          L"  未找到离线系统", L"", L"  Windows PE 符合引导系统条件: 是",
          L"  离线 Windows 符合引导系统条件: 无法检测（未找到离线系统或引导文件）"}});
    EXPECT_THAT(LinesBeforeProgress(ComposeStatusReport(machine)), ElementsAreArray(expected));
    EXPECT_TRUE(machine.wmiQueries.empty());
}

TEST(StatusReportInWindowsPe, OfflineDiskWithoutEspFallsBackToTheBackupBootManager) {
    ScriptedMachine machine = test::WinPeWithOfflineOnC();
    machine.volumes[2].files.clear();  // the ESP of disk 0 loses its boot manager
    const Lines lines = LinesBeforeProgress(ComposeStatusReport(machine));
    ASSERT_GE(lines.size(), 10u);
    EXPECT_THAT(
        Lines(lines.end() - 10, lines.end()),
        ElementsAreArray(Lines{
            L"  当前 Windows PE 系统 EFI 引导证书：",
            L"  [有效] Microsoft Corporation UEFI CA 2011: 当前引导",
            L"            当前引导文件：bootx64.efi", L"", L"  离线 Windows 系统 EFI 引导证书：",
            L"  [有效] Microsoft Corporation UEFI CA 2011: 目标引导",
            L"            当前引导文件：bootmgfw.efi (备份)", L"",
            L"  Windows PE 符合引导系统条件: 是", L"  离线 Windows 符合引导系统条件: 是"}));
}

}  // namespace
}  // namespace certvane
