// Section 【4】 of the report: every slot in its order, and the next step by its rank.
#include "report/ProgressSection.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "inspect/CapturedFirmware.h"
#include "inspect/SignedUpdate.h"
#include "inspect/TimeText.h"
#include "report/StatusReport.h"
#include "tests/support/PeImages.h"
#include "tests/support/RealData.h"
#include "tests/support/ReportLines.h"
#include "tests/support/ServicingEvents.h"
#include "tests/support/SignatureLists.h"
#include "tests/support/Situations.h"

namespace certvane {
namespace {

using test::ScriptedMachine;
using ::testing::Contains;
using ::testing::ElementsAreArray;
using ::testing::Not;

const std::wstring kSecureBootKey = L"SYSTEM\\CurrentControlSet\\Control\\SecureBoot";
const std::wstring kGlobal = GuidToText(EfiGlobalVariableGuid);
const std::wstring kSecurity = GuidToText(ImageSecurityDatabaseGuid);

std::vector<std::wstring> Section(ScriptedMachine machine) {
    return test::ProgressLines(ComposeStatusReport(machine));
}

// Fully updated and serviced: Microsoft's PK for OEMs, both KEKs, the five db certificates,
// dbx with Microsoft's hashes, the 2024 revocation of PCA 2011 and the SVN update, servicing
// done and its task run.
ScriptedMachine Serviced() {
    ScriptedMachine machine = test::NormalWindows11();
    machine.SetFirmwareVariable(
        L"PK", kGlobal, test::X509List(test::RealCertificate("windows-oem-devices-pk.der")));
    machine.SetFirmwareVariable(L"dbx", kSecurity,
                                test::Concat({test::RealUpdateLists("dbx-update-amd64.bin"),
                                              test::RealUpdateLists("dbx-update-2024.bin"),
                                              test::RealUpdateLists("dbx-update-svn.bin")}));
    machine.SetRegistryValue(kSecureBootKey, L"AvailableUpdates", test::DwordValue(0x4000));
    machine.eventLogs[L"System"] = {test::ServicingEventXml(1808, L"2026-11-04T08:00:00.0Z")};
    machine.scheduledTasks[std::wstring(SecureBootTaskPath)] = {TaskLookup::Found, true, 46330.5, 0,
                                                                std::nullopt};
    return machine;
}

TEST(ProgressSection, StatesEverySlotInItsOrder) {
    EXPECT_THAT(
        Section(Serviced()),
        ElementsAreArray(std::vector<std::wstring>{
            L"  KEK 证书：",
            L"  [有效] Microsoft Corporation KEK CA "
            L"2011（已过期：固件仍信任它，但它不再签发新的更新）",
            L"  [有效] Microsoft Corporation KEK 2K CA 2023",
            L"  平台密钥 (PK)：Windows OEM Devices PK",
            L"  Microsoft 发布的 KEK 更新列表（内置，2026-07）中有此 PK 签名的 KEK 更新",
            L"  固件证书就绪：是",
            L"  db 信任第三方 Microsoft Corporation UEFI CA 2011：是，因此还需要 Microsoft UEFI CA "
            L"2023 和 Microsoft Option ROM UEFI CA 2023",
            L"  Windows 更新进度：已完成",
            L"  待完成步骤：无",
            L"  最新服务事件：1808 已全部更新（2026-11-04T08:00:00.0Z）",
            L"  计划任务 Secure-Boot-Update：上次运行 " + OleDateText(46330.5) +
                L"，结果 0x00000000",
            L"  dbx 吊销 Microsoft Windows Production PCA 2011：是",
            L"  dbx 中 bootmgfw.efi 的 SVN：9.0（Microsoft 最新为 9.0，已是最新）",
            L"  BitLocker（C:）：保护已开启",
            L"  BitLocker 保护器：TPM、恢复密码",
            L"  参考列表：KEK 更新列表（内置，2026-07），dbx 列表（内置，2026-05-21）",
            L"  注意：内置的 Microsoft 列表已有 202 天（超过 90 天）：请换用新版 "
            L"Certvane，或用 certvane-cli --kek-map、--dbx-info 指定 Microsoft 最新发布的列表",
            L"  ESP 上的 EFI 文件：共 2 个，在当前 dbx 下没有无法引导的",
            L"  下一步：无需操作。",
        }));
}

// Slot 10: the protectors and the suspension an administrator checks before the update.
TEST(ProgressSection, SaysWhichBitLockerProtectorsTheSystemVolumeHas) {
    const auto slot = [](const std::function<void(ScriptedMachine&)>& change) {
        ScriptedMachine machine = test::NormalWindows11();
        change(machine);
        std::vector<std::wstring> lines;
        for (const std::wstring& line : Section(std::move(machine))) {
            if (line.starts_with(L"  BitLocker") ||
                line.find(L"恢复密码保护器") != std::wstring::npos)
                lines.push_back(line);
        }
        return lines;
    };
    EXPECT_THAT(slot([](ScriptedMachine& m) {
                    m.encryptableVolumes[L"C:"].protectionStatus = WmiValue{VariantInt32, 0};
                    m.encryptableVolumes[L"C:"].suspendCount = 2;
                }),
                ElementsAreArray({L"  BitLocker（C:）：保护已暂停（还剩 2 次重启）",
                                  L"  BitLocker 保护器：TPM、恢复密码"}));
    EXPECT_THAT(slot([](ScriptedMachine& m) {
                    m.encryptableVolumes[L"C:"].protectors = {{L"{TPM-PIN}", 4}};
                }),
                ElementsAreArray({L"  BitLocker（C:）：保护已开启", L"  BitLocker 保护器：TPM+PIN",
                                  L"  注意：没有恢复密码保护器：固件证书更新若触发 BitLocker "
                                  L"恢复，将没有恢复密码可用于解锁"}));
    EXPECT_THAT(slot([](ScriptedMachine& m) { m.encryptableVolumes.erase(L"C:"); }),
                ElementsAreArray({L"  BitLocker（C:）：未加密"}));
    EXPECT_THAT(slot([](ScriptedMachine& m) { m.wmiAvailable = false; }),
                ElementsAreArray({L"  BitLocker 保护器：无法读取"}));
    EXPECT_THAT(
        slot([](ScriptedMachine& m) { m.encryptableVolumes[L"C:"].protectorsUnreadable = true; }),
        ElementsAreArray({L"  BitLocker（C:）：保护已开启", L"  BitLocker 保护器：无法读取"}));
}

TEST(ProgressSection, KekExpiryIsAFactOfTheDay) {
    ScriptedMachine before = Serviced();
    before.today = {2026, 6, 23};  // the day before Microsoft Corporation KEK CA 2011 expired
    EXPECT_THAT(Section(before), Contains(L"  [有效] Microsoft Corporation KEK CA 2011"));
}

TEST(ProgressSection, WarnsOfBuiltInListsPastNinetyDays) {
    ScriptedMachine machine = Serviced();
    machine.today = {2026, 8, 19};  // the dbx list of 2026-05-21 is 90 days old
    EXPECT_THAT(Section(machine),
                Not(Contains(::testing::HasSubstr(L"内置的 Microsoft 列表已有"))));
    machine.today = {2026, 8, 20};
    EXPECT_THAT(Section(machine),
                Contains(::testing::StartsWith(L"  注意：内置的 Microsoft 列表已有 91 天")));
}

TEST(ProgressSection, WarnsOfATestPlatformKeyAndOfAResetThatUndoesTheUpdate) {
    ScriptedMachine machine = Serviced();
    const auto update = ReadSignedUpdate(test::ReadWholeFile(
        std::string(CERTVANE_REALDATA_DIR) + "/updates/kek-update-ami-test-pk1.bin"));
    ASSERT_TRUE(update && !update->signerCertificates.empty());
    machine.SetFirmwareVariable(L"PK", kGlobal, test::X509List(update->signerCertificates[0]));
    machine.SetFirmwareVariable(L"KEKDefault", kGlobal, test::RealStore({test::RealCert::Kek2011}));
    machine.SetFirmwareVariable(
        L"dbDefault", kGlobal,
        test::RealStore({test::RealCert::Pca2011, test::RealCert::UefiCa2011}));
    const auto lines = Section(machine);
    EXPECT_THAT(lines, Contains(L"  平台密钥 (PK)：DO NOT TRUST - AMI Test PK"));
    EXPECT_THAT(lines,
                Contains(L"  注意：PK 是公开的测试密钥（其私钥人人可得）：任何人都能签名修改 "
                         L"KEK、db 和 dbx"));
    EXPECT_THAT(
        lines,
        Contains(L"  Microsoft 发布的 KEK 更新列表（内置，2026-07）中有此 PK 签名的 KEK 更新"));
    EXPECT_THAT(lines,
                Contains(L"  注意：固件的默认证书（KEKDefault、dbDefault）缺少 2023 证书：在固件"
                         L"设置中“恢复默认密钥”会撤销 Windows 写入的更新"));
    // Defaults that hold everything take no update away.
    EXPECT_THAT(Section(Serviced()),
                Not(Contains(::testing::StartsWith(L"  注意：固件的默认证书"))));
}

struct Rank {
    const char* name;
    std::function<void(ScriptedMachine&)> change;
    std::wstring nextStep;
};

void Request(ScriptedMachine& machine, std::uint32_t bits, std::vector<RenderedEvent> events = {}) {
    machine.SetRegistryValue(kSecureBootKey, L"AvailableUpdates", test::DwordValue(bits));
    machine.eventLogs[L"System"] = std::move(events);
}

void BootManagerOf2011(ScriptedMachine& machine) {
    machine.PutFile(
        machine.volumes[test::Windows11::Esp].name + L"EFI\\Microsoft\\Boot\\bootmgfw.efi",
        test::SignedFile(L"Microsoft Windows Production PCA 2011"));
}

void KekOf2011(ScriptedMachine& machine) {
    test::SetRealKek(machine, {test::RealCert::Kek2011});
}

TEST(ProgressSection, TheNextStepIsTheFirstThatApplies) {
    const Rank ranks[] = {
        {"facts undetermined",
         [](ScriptedMachine& m) {
             m.firmwareFailures[{L"KEK", kGlobal}] = FirmwareReadFailure::NoAccess;
             BootManagerOf2011(m);
         },
         L"  下一步：无法读取固件证书，无法判断是否就绪：请确认电脑以 UEFI "
         L"模式启动，并以管理员身份运行"
         L"。"},
        {"no boot manager",
         [](ScriptedMachine& m) {
             m.volumes[test::Windows11::Esp].files.clear();
             KekOf2011(m);
         },
         L"  下一步：未找到带有签名的引导管理器（bootmgfw.efi），无法判断能否引导：请检查 ESP "
         L"分区。"},
        {"would not boot, before everything the firmware lacks",
         [](ScriptedMachine& m) {
             test::SetRealDb(m, {test::RealCert::Pca2011, test::RealCert::UefiCa2011});
             Request(m, 0x5944, {test::ServicingEventXml(1032, L"2026-11-02T08:00:00.0Z")});
         },
         L"  "
         L"下一步：固件不会启动当前的引导管理器（签名证书不受信任、已被吊销，或文件本身已被吊销）："
         L"重启之前请先换用受信任的引导管理器。"},
        {"BitLocker blocked the update",
         [](ScriptedMachine& m) {
             KekOf2011(m);
             Request(m, 0x4004, {test::ServicingEventXml(1032, L"2026-11-02T08:00:00.0Z")});
         },
         L"  下一步：BitLocker 阻止了更新（事件 1032）：请暂停 BitLocker "
         L"保护两次重启，再点击“固件证书"
         L"更新”。"},
        {"BitLocker on without a recovery password",
         [](ScriptedMachine& m) {
             KekOf2011(m);
             m.encryptableVolumes[L"C:"].protectors = {{L"{TPM}", 1}};
             Request(m, 0x4004, {test::ServicingEventXml(1803, L"2026-11-03T08:00:00.0Z")});
         },
         L"  下一步：BitLocker 保护已开启，但没有恢复密码：请先添加恢复密码并妥善保存（manage-bde "
         L"-protectors -add C: -RecoveryPassword），再进行固件证书更新。"},
        {"a known firmware issue, which nothing bypasses",
         [](ScriptedMachine& m) {
             KekOf2011(m);
             Request(m, 0x4004,
                     {test::ServicingEventXml(1802, L"2026-11-04T08:00:00.0Z",
                                              {{L"BucketId", L"b1"}, {L"SkipReason", L"KI_3"}}),
                      test::ServicingEventXml(1803, L"2026-11-03T08:00:00.0Z")});
         },
         L"  "
         L"下一步：已知的固件问题（KI_3）阻止了更新，且无法绕过：请向电脑厂商获取并安装固件更新。"},
        {"the KEK step stalls",
         [](ScriptedMachine& m) {
             KekOf2011(m);
             Request(m, 0x4004, {test::ServicingEventXml(1803, L"2026-11-03T08:00:00.0Z")});
         },
         L"  下一步：KEK 步骤停滞：请向电脑厂商索取固件更新，或由此 PK 签名的 KEK 更新。"},
        {"a paused bucket, before a pending restart",
         [](ScriptedMachine& m) {
             KekOf2011(m);
             BootManagerOf2011(m);
             Request(
                 m, 0x4100,
                 {test::ServicingEventXml(
                     1801, L"2026-11-04T08:00:00.0Z",
                     {{L"BucketId", L"b2"}, {L"BucketConfidenceLevel", L"Temporarily Paused"}})});
         },
         L"  下一步：Microsoft 暂停了此机型的自动部署：请等待部署恢复，或向电脑厂商获取固件更新。"},
        {"an unsupported bucket",
         [](ScriptedMachine& m) {
             KekOf2011(m);
             Request(m, 0x4004,
                     {test::ServicingEventXml(1801, L"2026-11-04T08:00:00.0Z",
                                              {{L"BucketConfidenceLevel", L"Not Supported"}})});
         },
         L"  下一步：此机型不在 Microsoft 自动部署之列：请向电脑厂商获取固件更新。"},
        {"a restart is pending",
         [](ScriptedMachine& m) {
             BootManagerOf2011(m);
             Request(m, 0x4100);
         },
         L"  下一步：请重启电脑，以完成引导管理器的更换。"},
        {"not requested and not ready",
         [](ScriptedMachine& m) {
             KekOf2011(m);
             BootManagerOf2011(m);
         },
         L"  下一步：点击“固件证书更新”，由 Windows 写入缺少的证书。"},
        {"a 2011 boot manager", BootManagerOf2011,
         L"  下一步：引导管理器仍由 2011 证书签名：点击“引导证书更新”查看如何更换。"},
        {"a request under way",
         [](ScriptedMachine& m) {
             KekOf2011(m);
             Request(m, 0x4004);
         },
         L"  下一步：等待 Windows 完成其余步骤（计划任务会在重启后继续）。"},
        {"nothing to do", [](ScriptedMachine&) {}, L"  下一步：无需操作。"},
    };
    for (const Rank& rank : ranks) {
        SCOPED_TRACE(rank.name);
        ScriptedMachine machine = test::NormalWindows11();
        rank.change(machine);
        const auto lines = Section(std::move(machine));
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), rank.nextStep);
    }
}

TEST(ProgressSection, TheNewestEventIsToldInWindowsOwnWordsWhereItHasThem) {
    ScriptedMachine machine = Serviced();
    const std::wstring message =
        L"The Secure Boot update\r\n  to revoke Microsoft Windows Production PCA 2011 was applied "
        L"successfully to the firmware.";
    machine.eventLogs[L"System"] = {
        {test::ServicingEventXml(1037, L"2026-11-05T08:00:00.0Z"), message}};
    EXPECT_THAT(
        Section(machine),
        Contains(
            L"  最新服务事件：1037 The Secure Boot update to revoke Microsoft Windows "
            L"Productio…（2026-11-05T08:00:00.0Z）"));  // 60 characters, the line break a blank
    // Without a message of Windows' (inside Windows PE the provider is not registered), ours.
    machine.eventLogs[L"System"] = {test::ServicingEventXml(1037, L"2026-11-05T08:00:00.0Z")};
    EXPECT_THAT(Section(machine),
                Contains(L"  最新服务事件：1037 dbx 已更新：已吊销 Microsoft "
                         L"Windows Production PCA 2011（2026-11-05T08:00:00.0Z）"));
    machine.eventLogs[L"System"] = {test::ServicingEventXml(1797, L"2026-11-05T08:00:00.0Z")};
    EXPECT_THAT(Section(machine), Contains(L"  最新服务事件：1797 无法吊销 PCA 2011：db 中没有 "
                                           L"Windows UEFI CA 2023（2026-11-05T08:00:00.0Z）"));
    machine.eventLogs[L"System"] = {test::ServicingEventXml(1798, L"2026-11-05T08:00:00.0Z")};
    EXPECT_THAT(
        Section(machine),
        Contains(L"  最新服务事件：1798 无法吊销 PCA 2011：引导管理器尚未由 Windows UEFI CA "
                 L"2023 签名（2026-11-05T08:00:00.0Z）"));
    // An event Microsoft has not documented: Windows' text, and that we do not know its meaning.
    machine.eventLogs[L"System"] = {
        {test::ServicingEventXml(1900, L"2026-11-05T08:00:00.0Z"), L"New text."}};
    EXPECT_THAT(Section(machine), Contains(L"  最新服务事件：1900 New text.（Microsoft "
                                           L"未记载此事件的含义）（2026-11-05T08:00:00.0Z）"));
}

TEST(ProgressSection, StatesTheRolloutBucketTheSettingsAndTheBootManagersLastError) {
    ScriptedMachine machine = Serviced();
    machine.eventLogs[L"System"] = {test::ServicingEventXml(
        1801, L"2026-11-05T08:00:00.0Z",
        {{L"BucketId", L"4f1e"},
         {L"BucketConfidenceLevel", L"Under Observation - More Data Needed"}})};
    machine.SetRegistryValue(kSecureBootKey, L"HighConfidenceOptOut", test::DwordValue(1));
    machine.SetRegistryValue(kSecureBootKey, L"MicrosoftUpdateManagedOptIn", test::DwordValue(0));
    machine.SetRegistryValue(kSecureBootKey + L"\\Servicing", L"BootMgrLastUpdateError",
                             test::DwordValue(0x80004005));
    machine.SetRegistryValue(kSecureBootKey + L"\\Servicing", L"BootMgrLastUpdateErrorReason",
                             test::StringValue(L"PCA2023NotFoundInDB"));
    const auto lines = Section(machine);
    EXPECT_THAT(lines,
                Contains(L"  部署分组（事件 1801）：Under Observation - More Data Needed（观察中："
                         L"Microsoft 仍在收集此机型的数据），BucketId 4f1e"));
    EXPECT_THAT(lines,
                Contains(L"  HighConfidenceOptOut = 1：不随每月更新自动部署，即使此机型属于高"
                         L"置信度分组；需由管理员触发"));
    EXPECT_THAT(lines,
                Contains(L"  MicrosoftUpdateManagedOptIn = 0：未加入由 Microsoft 管理的分批部署"));
    EXPECT_THAT(lines,
                Contains(L"  引导管理器上次更新失败：0x80004005，原因 PCA2023NotFoundInDB（db "
                         L"中没有 Windows UEFI CA 2023）"));

    machine.SetRegistryValue(kSecureBootKey + L"\\Servicing", L"BootMgrLastUpdateErrorReason",
                             test::StringValue(L"SomethingNew"));
    machine.eventLogs[L"System"] = {test::ServicingEventXml(
        1801, L"2026-11-05T08:00:00.0Z", {{L"BucketConfidenceLevel", L"Bucket 7"}})};
    const auto undocumented = Section(machine);
    EXPECT_THAT(undocumented,
                Contains(L"  引导管理器上次更新失败：0x80004005，原因 SomethingNew（Microsoft "
                         L"未记载此原因的含义）"));
    EXPECT_THAT(undocumented,
                Contains(L"  部署分组（事件 1801）：Bucket 7（Microsoft 未记载此值的含义）"));
}

TEST(ProgressSection, AVirtualMachineSaysWhatItsKekStepAndItsTemplateDependOn) {
    constexpr std::wstring_view kBios = L"HARDWARE\\DESCRIPTION\\System\\BIOS";
    ScriptedMachine hyperV = Serviced();
    hyperV.SetRegistryValue(kBios, L"SystemManufacturer",
                            test::StringValue(L"Microsoft Corporation"));
    hyperV.SetRegistryValue(kBios, L"SystemProductName", test::StringValue(L"Virtual Machine"));
    hyperV.SetFirmwareVariable(L"KEKDefault", kGlobal, test::RealStore({test::RealCert::Kek2011}));
    hyperV.SetFirmwareVariable(L"dbDefault", kGlobal, test::RealStore({test::RealCert::Pca2011}));
    EXPECT_THAT(
        Section(hyperV),
        Contains(L"  虚拟机（Hyper-V）：KEK 步骤与实体机一样取决于 PK，Microsoft 的列表中有此 PK "
                 L"签名的 KEK 更新；默认证书缺少 2023 证书：新建虚拟机和恢复默认密钥会使用缺少 "
                 L"2023 证书的模板"));

    ScriptedMachine vmware = Serviced();
    vmware.SetRegistryValue(kBios, L"SystemManufacturer", test::StringValue(L"VMware, Inc."));
    vmware.SetFirmwareVariable(
        L"PK", kGlobal, test::X509List(test::NameOnlyCertificate("windows-uefi-ca-2023.der")));
    const auto lines = Section(vmware);
    EXPECT_THAT(
        lines,
        Contains(::testing::StartsWith(
            L"  虚拟机（VMware）：KEK 步骤与实体机一样取决于 PK，Microsoft 的列表中没有此 PK "
            L"签名的 KEK 更新，请参考虚拟化平台的说明；")));
    EXPECT_THAT(lines, Not(Contains(::testing::HasSubstr(L"无法更新"))));
    // A physical machine has no such line.
    EXPECT_THAT(Section(Serviced()), Not(Contains(::testing::StartsWith(L"  虚拟机"))));
}

TEST(ProgressSection, NamesUpToThreeEspFilesTheCurrentDbxWouldNotBoot) {
    ScriptedMachine machine = Serviced();
    const std::wstring esp = machine.volumes[test::Windows11::Esp].name;
    test::ScriptedFile unsigned_;
    unsigned_.content = test::MinimalPe(0x47).bytes;
    for (const wchar_t* name : {L"a", L"b", L"c", L"d"})
        machine.PutFile(esp + L"EFI\\linux\\" + name + L".efi", unsigned_);
    EXPECT_THAT(
        Section(machine),
        Contains(L"  ESP 上的 EFI 文件：共 6 个，4 个在当前 dbx 下无法引导：EFI\\LINUX\\A.EFI、"
                 L"EFI\\LINUX\\B.EFI、EFI\\LINUX\\C.EFI 等"));
    // The same reading of the ESP as the boot manager's: nothing is mounted for it.
    ScriptedMachine noEsp = Serviced();
    noEsp.volumes[test::Windows11::Esp].files.clear();
    EXPECT_THAT(Section(noEsp), Not(Contains(::testing::StartsWith(L"  ESP 上的 EFI 文件"))));
}

TEST(ProgressSection, InsideWindowsPeTheOfflineInstallationSpeaks) {
    const auto lines = Section(test::WinPeWithOfflineServicingAt(0x4100));
    EXPECT_THAT(lines,
                Contains(L"  Windows 更新进度：等待重启（换用引导管理器）（读取自离线系统）"));
    EXPECT_THAT(lines, Contains(L"  待完成步骤：换用 2023 签名的引导管理器"));
    EXPECT_THAT(lines, Contains(L"  计划任务 Secure-Boot-Update：离线系统无法查询"));
    // The offline installation waits for its restart; that comes before the firmware it lacks.
    EXPECT_EQ(lines.back(), L"  下一步：请重启电脑，以完成引导管理器的更换。");
}

}  // namespace
}  // namespace certvane
