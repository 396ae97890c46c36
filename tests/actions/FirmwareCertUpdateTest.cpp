// The firmware certificate update: its checks in their order, what it writes and starts.
#include "actions/FirmwareCertUpdate.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "inspect/CapturedFirmware.h"
#include "tests/actions/ActionSituations.h"
#include "tests/support/Situations.h"

namespace certvane {
namespace {

using test::ScriptedMachine;
using ::testing::IsEmpty;

const std::wstring kNoTask =
    L"当前系统不支持 UEFI CA 2023 自动更新。\n"
    L"请安装 2024 年 2 月 13 日之后发布的 Windows 累积更新（包含 KB5036210 功能）。";
const std::wstring kTriggered = L"更新任务已触发。请重启电脑两次以完成证书更新。";
const std::wstring kSuspended = L"\nBitLocker 保护已暂停，两次重启后自动恢复。";
const std::wstring kNothingToDo =
    L"固件已包含最新且有效的 CA 2023 证书（Windows UEFI CA 2023, Microsoft UEFI CA 2023, "
    L"Microsoft Option ROM UEFI CA 2023），无需更新。";
const std::wstring kOnlyKek =
    L"\ndb 中的 2023 证书已就绪，只缺 KEK 中的 Microsoft Corporation KEK 2K CA 2023："
    L"Windows 需要写入由本机平台密钥 (PK) 签名的 KEK 更新。";

// A Windows 11 machine that still holds only the 2011 certificates and has the task.
ScriptedMachine NeedsUpdate() {
    ScriptedMachine machine = test::NormalWindows11();
    test::SetRealDb(machine, {test::RealCert::Pca2011, test::RealCert::UefiCa2011});
    test::InstallSecureBootTask(machine);
    return machine;
}

// db with the five certificates, KEK with both KEKs.
void MakeFirmwareReady(ScriptedMachine& machine) {
    test::SetRealDb(machine, {test::RealCert::Pca2011, test::RealCert::UefiCa2011,
                              test::RealCert::WindowsCa2023, test::RealCert::UefiCa2023,
                              test::RealCert::OptionRom2023});
    test::SetRealKek(machine, {test::RealCert::Kek2011, test::RealCert::Kek2023});
}

void ExpectNothingChanged(const ScriptedMachine& machine) {
    EXPECT_FALSE(test::AvailableUpdatesValue(machine).has_value());
    EXPECT_FALSE(test::TaskStartWasRequested(machine));
}

void ExpectEverythingReleased(const ScriptedMachine& machine) {
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
    EXPECT_THAT(machine.misuse, IsEmpty());
}

TEST(TriggerFirmwareCertUpdate, WritesTheServicingValueWholeAndStartsTheTask) {
    ScriptedMachine machine = NeedsUpdate();
    machine.SetRegistryValue(test::kServicingKey, L"AvailableUpdates", test::DwordValue(0x4000));
    EXPECT_EQ(TriggerFirmwareCertUpdate(machine), kTriggered + kSuspended);

    const auto value = test::AvailableUpdatesValue(machine);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->type, RegDword);
    EXPECT_EQ(value->data, (test::Bytes{0x44, 0x59, 0x00, 0x00}));  // replaced, not combined
    // The task is started by schtasks of the system directory, and waited for.
    ASSERT_EQ(machine.processStarts.size(), 2u);
    EXPECT_EQ(machine.processStarts[1].application, L"C:\\Windows\\system32\\schtasks.exe");
    EXPECT_EQ(machine.processStarts[1].commandLine,
              L"schtasks.exe /run /tn "
              L"\"\\Microsoft\\Windows\\PI\\Secure-Boot-Update\"");
    EXPECT_EQ(machine.processWaits[1].second, 30000u);
    ExpectEverythingReleased(machine);
}

// Windows refuses firmware reads until the privilege is enabled: the readiness test must not
// run before the enable, or firmware already updated would look as if it needed the update.
TEST(TriggerFirmwareCertUpdate, EnablesTheFirmwarePrivilegeBeforeReadingFirmware) {
    ScriptedMachine machine = NeedsUpdate();
    MakeFirmwareReady(machine);
    machine.enabledPrivileges.clear();
    EXPECT_THAT(TriggerFirmwareCertUpdate(machine), ::testing::HasSubstr(L"无需更新"));
    ASSERT_FALSE(machine.firmwareReads.empty());
    for (const auto& read : machine.firmwareReads) EXPECT_FALSE(read.refused) << read.name;
    ExpectNothingChanged(machine);
}

// No command interpreter runs, which would run the user's AutoRun command elevated, and
// schtasks runs in the system directory, not in the folder the program was started from.
TEST(TriggerFirmwareCertUpdate, QueriesTheTaskFirstWithSchtasksItself) {
    ScriptedMachine machine = NeedsUpdate();
    machine.currentDirectory = L"C:\\Users\\admin\\Downloads";
    TriggerFirmwareCertUpdate(machine);
    ASSERT_FALSE(machine.processStarts.empty());
    EXPECT_THAT(machine.misuse, IsEmpty());
    EXPECT_EQ(machine.processStarts[0].application, L"C:\\Windows\\system32\\schtasks.exe");
    EXPECT_EQ(machine.processStarts[0].currentDirectory, L"C:\\Windows\\system32");
    EXPECT_EQ(machine.processStarts[0].commandLine,
              L"schtasks.exe /query /tn "
              L"\"\\Microsoft\\Windows\\PI\\Secure-Boot-Update\"");
    ASSERT_FALSE(machine.processWaits.empty());
    EXPECT_EQ(machine.processWaits[0].second, 5000u);
}

TEST(TriggerFirmwareCertUpdate, AMissingTaskIsReportedBeforeAnyOtherCheck) {
    const std::function<ScriptedMachine()> machines[] = {
        [] {
            ScriptedMachine m = NeedsUpdate();
            m.commands.clear();
            return m;
        },
        test::LegacyBiosMachine,
        test::WinPeWithOfflineOnC,
    };
    for (const auto& make : machines) {
        ScriptedMachine machine = make();
        EXPECT_EQ(TriggerFirmwareCertUpdate(machine), kNoTask);
        EXPECT_TRUE(machine.firmwareReads.empty());
        ExpectNothingChanged(machine);
        ExpectEverythingReleased(machine);
    }
}

TEST(TriggerFirmwareCertUpdate, AHungTaskQueryIsCutOffAndTreatedAsMissing) {
    ScriptedMachine machine = NeedsUpdate();
    test::InstallSecureBootTask(machine, /*queryHangs=*/true);
    EXPECT_EQ(TriggerFirmwareCertUpdate(machine), kNoTask);
    ASSERT_EQ(machine.processWaits.size(), 1u);
    EXPECT_EQ(machine.processWaits[0].second, 5000u);
    ExpectNothingChanged(machine);
    ExpectEverythingReleased(machine);  // the hung query was terminated and closed
}

TEST(TriggerFirmwareCertUpdate, RefusesWhenAPreconditionFails) {
    struct Case {
        const char* name;
        std::function<void(ScriptedMachine&)> change;
        std::wstring message;
    };
    const Case cases[] = {
        {"legacy BIOS",
         [](ScriptedMachine& m) {
             m = test::LegacyBiosMachine();
             test::InstallSecureBootTask(m);
         },
         L"当前系统未以 UEFI 模式引导，无法更新安全启动证书。"},
        {"Secure Boot off",
         [](ScriptedMachine& m) {
             m.SetRegistryValue(L"SYSTEM\\CurrentControlSet\\Control\\SecureBoot\\State",
                                L"UEFISecureBootEnabled", test::DwordValue(0));
         },
         L"安全启动未启用，无法更新固件证书。请先启用安全启动。"},
        {"Secure Boot value of the wrong type",
         [](ScriptedMachine& m) {
             m.SetRegistryValue(L"SYSTEM\\CurrentControlSet\\Control\\SecureBoot\\State",
                                L"UEFISecureBootEnabled", test::StringValue(L"1"));
         },
         L"安全启动未启用，无法更新固件证书。请先启用安全启动。"},
        {"already updated", MakeFirmwareReady, kNothingToDo},
        {"already updated without the third-party CA 2011",
         [](ScriptedMachine& m) {
             test::SetRealDb(m, {test::RealCert::Pca2011, test::RealCert::WindowsCa2023});
             test::SetRealKek(m, {test::RealCert::Kek2023});
         },
         kNothingToDo},
        {"Windows PE",
         [](ScriptedMachine& m) {
             m = test::WinPeWithOfflineOnC();
             test::InstallSecureBootTask(m);
         },
         L"PE 环境下不支持证书更新。"},
        {"Windows PE on updated firmware, the offline boot manager of 2011",
         [](ScriptedMachine& m) {
             m = test::WinPeWithOfflineOnC();
             test::InstallSecureBootTask(m);
             MakeFirmwareReady(m);
         },
         L"PE 环境下不支持证书更新。"},
        {"Windows PE on updated firmware, the offline boot manager of 2023",
         [](ScriptedMachine& m) {
             m = test::WinPeWithOfflineOnUsb();
             test::InstallSecureBootTask(m);
             MakeFirmwareReady(m);
         },
         kNothingToDo},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedMachine machine = NeedsUpdate();
        c.change(machine);
        EXPECT_EQ(TriggerFirmwareCertUpdate(machine), c.message);
        ExpectNothingChanged(machine);
        ExpectEverythingReleased(machine);
    }
}

TEST(TriggerFirmwareCertUpdate, ARevoked2023CertificateStillNeedsTheUpdate) {
    ScriptedMachine machine = NeedsUpdate();
    MakeFirmwareReady(machine);
    test::SetRealDbx(machine, {test::RealCert::UefiCa2023});
    EXPECT_EQ(TriggerFirmwareCertUpdate(machine), kTriggered + kSuspended);
    EXPECT_TRUE(test::AvailableUpdatesValue(machine).has_value());
}

TEST(TriggerFirmwareCertUpdate, CertificatesOfMicrosoftsNamesAreNotMicrosofts) {
    ScriptedMachine machine = NeedsUpdate();
    test::SetDb(machine, {L"Microsoft Windows Production PCA 2011", L"Windows UEFI CA 2023"});
    EXPECT_EQ(TriggerFirmwareCertUpdate(machine), kTriggered + kSuspended);
    EXPECT_TRUE(test::AvailableUpdatesValue(machine).has_value());
}

TEST(TriggerFirmwareCertUpdate, AMissingKekIsRequestedAndSaidSo) {
    // The whole db, and the 2011 KEK alone: once counted as nothing to do.
    ScriptedMachine machine = NeedsUpdate();
    MakeFirmwareReady(machine);
    test::SetRealKek(machine, {test::RealCert::Kek2011});
    EXPECT_EQ(TriggerFirmwareCertUpdate(machine), kTriggered + kOnlyKek + kSuspended);
    EXPECT_TRUE(test::AvailableUpdatesValue(machine).has_value());
    ExpectEverythingReleased(machine);

    // A platform key that Microsoft's map does not know: the KEK step will stall.
    ScriptedMachine unknownPk = NeedsUpdate();
    MakeFirmwareReady(unknownPk);
    test::SetRealKek(unknownPk, {test::RealCert::Kek2011});
    unknownPk.SetFirmwareVariable(L"PK", GuidToText(EfiGlobalVariableGuid),
                                  test::RealStore({test::RealCert::UefiCa2011}));
    EXPECT_EQ(TriggerFirmwareCertUpdate(unknownPk),
              kTriggered + kOnlyKek +
                  L"\nMicrosoft 发布的 KEK 更新列表中没有此 PK 签名的更新，KEK 步骤可能停滞："
                  L"请向电脑厂商索取固件更新。" +
                  kSuspended);
}

TEST(TriggerFirmwareCertUpdate, ReadyFirmwareWithA2011BootManagerStillAsksForTheBootManager) {
    ScriptedMachine machine = NeedsUpdate();
    MakeFirmwareReady(machine);
    machine.PutFile(
        machine.volumes[test::Windows11::Esp].name + L"EFI\\Microsoft\\Boot\\bootmgfw.efi",
        test::SignedFile(L"Microsoft Windows Production PCA 2011"));
    EXPECT_EQ(TriggerFirmwareCertUpdate(machine),
              kTriggered +
                  L"\n固件证书已就绪；Windows 将换用由 Windows UEFI CA 2023 签名的引导管理器。" +
                  kSuspended);
    const auto value = test::AvailableUpdatesValue(machine);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->data, (test::Bytes{0x44, 0x59, 0x00, 0x00}));
    ExpectEverythingReleased(machine);
}

TEST(TriggerFirmwareCertUpdate, ReportsARegistryKeyThatCannotBeOpened) {
    ScriptedMachine machine = NeedsUpdate();
    machine.registryWriteAccessDenied = true;  // as for a process that is not elevated
    EXPECT_EQ(TriggerFirmwareCertUpdate(machine), L"无法打开注册表项，请确保以管理员身份运行。");
    ExpectNothingChanged(machine);
    ExpectEverythingReleased(machine);
}

TEST(TriggerFirmwareCertUpdate, AFailedWriteClosesTheKeyAndStartsNothing) {
    ScriptedMachine machine = NeedsUpdate();
    machine.encryptableVolumes.erase(L"C:");  // no BitLocker: nothing to resume
    machine.registryWriteFails = true;
    EXPECT_EQ(TriggerFirmwareCertUpdate(machine), L"设置注册表 AvailableUpdates 失败。");
    ExpectNothingChanged(machine);
    ExpectEverythingReleased(machine);
}

std::vector<std::wstring> MethodCalls(const ScriptedMachine& machine) {
    return machine.wmiMethodCalls;
}

// The confirmation promises that BitLocker is suspended for two restarts: it is, right before
// the write, once nothing else can refuse the action.
TEST(TriggerFirmwareCertUpdate, SuspendsBitLockerForTwoRestartsRightBeforeTheWrite) {
    for (const bool alreadySuspended : {false, true}) {
        SCOPED_TRACE(alreadySuspended);
        ScriptedMachine machine = NeedsUpdate();
        if (alreadySuspended) {
            machine.encryptableVolumes[L"C:"].protectionStatus = WmiValue{VariantInt32, 0};
            machine.encryptableVolumes[L"C:"].suspendCount = 1;
        }
        EXPECT_EQ(TriggerFirmwareCertUpdate(machine), kTriggered + kSuspended);
        EXPECT_THAT(MethodCalls(machine),
                    ::testing::ElementsAre(L"C: DisableKeyProtectors DisableCount=2"));
        EXPECT_EQ(machine.encryptableVolumes[L"C:"].suspendCount, 2);
        EXPECT_TRUE(test::AvailableUpdatesValue(machine).has_value());
        ExpectEverythingReleased(machine);
    }
    // Without BitLocker nothing is suspended and nothing is said of it.
    ScriptedMachine plain = NeedsUpdate();
    plain.encryptableVolumes.erase(L"C:");
    EXPECT_EQ(TriggerFirmwareCertUpdate(plain), kTriggered);
    plain.encryptableVolumes[L"C:"] = {WmiValue{VariantInt32, 0}, WmiValue{VariantInt32, 0}};
    EXPECT_EQ(TriggerFirmwareCertUpdate(plain), kTriggered);
    EXPECT_THAT(MethodCalls(plain), IsEmpty());
}

TEST(TriggerFirmwareCertUpdate, NeverSuspendsWhenAnotherCheckRefuses) {
    ScriptedMachine ready = NeedsUpdate();
    MakeFirmwareReady(ready);
    EXPECT_EQ(TriggerFirmwareCertUpdate(ready), kNothingToDo);
    ScriptedMachine denied = NeedsUpdate();
    denied.registryWriteAccessDenied = true;
    TriggerFirmwareCertUpdate(denied);
    for (const ScriptedMachine* machine : {&ready, &denied}) {
        EXPECT_THAT(MethodCalls(*machine), IsEmpty());
        EXPECT_EQ(machine->encryptableVolumes.at(L"C:").protectionStatus->int32Value, 1);
    }
}

TEST(TriggerFirmwareCertUpdate, WritesNothingWhenTheSuspensionCannotBeMadeOrChecked) {
    const std::wstring manual =
        L"\n请手动暂停 BitLocker 保护两次重启（manage-bde -protectors -disable C: -RebootCount "
        L"2）后重试。";
    ScriptedMachine refused = NeedsUpdate();
    refused.encryptableVolumes[L"C:"].disableResult = static_cast<std::int32_t>(0x80310000);
    EXPECT_EQ(TriggerFirmwareCertUpdate(refused),
              L"暂停 BitLocker 保护失败，未写入更新请求，也未启动更新任务。" + manual);
    ScriptedMachine unreadable = NeedsUpdate();
    unreadable.wmiAvailable = false;
    EXPECT_EQ(TriggerFirmwareCertUpdate(unreadable),
              L"无法读取 BitLocker 状态，无法按确认框所说暂停保护，因此未启动更新。" + manual);
    for (const ScriptedMachine* machine : {&refused, &unreadable}) {
        ExpectNothingChanged(*machine);
        ExpectEverythingReleased(*machine);
    }
}

TEST(TriggerFirmwareCertUpdate, AFailedWriteAfterTheSuspensionResumesTheProtectors) {
    ScriptedMachine machine = NeedsUpdate();
    machine.registryWriteFails = true;
    EXPECT_EQ(TriggerFirmwareCertUpdate(machine),
              L"设置注册表 AvailableUpdates 失败。已恢复 BitLocker 保护。");
    EXPECT_THAT(MethodCalls(machine),
                ::testing::ElementsAre(L"C: DisableKeyProtectors DisableCount=2",
                                       L"C: EnableKeyProtectors"));
    EXPECT_EQ(machine.encryptableVolumes[L"C:"].protectionStatus->int32Value, 1);
    ExpectNothingChanged(machine);

    ScriptedMachine stuck = NeedsUpdate();
    stuck.registryWriteFails = true;
    stuck.encryptableVolumes[L"C:"].enableResult = 1;
    EXPECT_EQ(TriggerFirmwareCertUpdate(stuck),
              L"设置注册表 AvailableUpdates 失败。恢复 BitLocker 保护也失败：保护仍暂停两次重启，"
              L"请手动恢复（manage-bde -protectors -enable C:）。");
    ExpectEverythingReleased(stuck);
}

TEST(TriggerFirmwareCertUpdate, SucceedsOnlyWhenSchtasksSaysTheTaskStarted) {
    struct Case {
        const char* name;
        std::function<void(ScriptedMachine&)> change;
    };
    const Case cases[] = {
        {"schtasks refuses",
         [](ScriptedMachine& m) { test::InstallSecureBootTask(m, false, {.exitCode = 1}); }},
        {"schtasks hangs",
         [](ScriptedMachine& m) { test::InstallSecureBootTask(m, false, {.hangs = true}); }},
        {"schtasks cannot be found",
         [](ScriptedMachine& m) { m.commands.erase(test::TaskCommandLine(m, L"run")); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedMachine machine = NeedsUpdate();
        c.change(machine);
        EXPECT_EQ(TriggerFirmwareCertUpdate(machine),
                  L"触发计划任务失败，请手动运行。" + kSuspended);
        // The servicing value stays written: Windows acts on it at the next run of the task.
        ASSERT_TRUE(test::AvailableUpdatesValue(machine).has_value());
        EXPECT_TRUE(test::TaskStartWasRequested(machine));
        ExpectEverythingReleased(machine);  // a hung start was ended with its tree
    }
}

}  // namespace
}  // namespace certvane
