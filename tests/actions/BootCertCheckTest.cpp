// The boot certificate check: its checks in their order and the guidance by build number.
#include "actions/BootCertCheck.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/Fold.h"
#include "tests/support/Situations.h"

namespace certvane {
namespace {

using test::ScriptedMachine;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

const std::wstring kEspBootManager = L"EFI\\Microsoft\\Boot\\bootmgfw.efi";

// A Windows 11 machine ready in firmware whose boot manager is signed under `authority`.
ScriptedMachine ReadyWithBootManagerSignedBy(std::wstring_view authority) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.AssignLetter(L'B', test::Windows11::Esp);
    machine.PutFile(L"B:\\" + kEspBootManager, test::SignedFile(authority));
    return machine;
}

void SetBuild(ScriptedMachine& machine, std::wstring_view build) {
    machine.SetRegistryValue(test::kOnlineVersionKey, L"CurrentBuild", test::StringValue(build));
}

std::wstring Guidance(std::wstring_view signer, std::wstring_view updateLines) {
    return L"当前引导文件仍由旧证书签名（" + std::wstring(signer) +
           L"）。\n\n请通过以下方式更新引导文件：\n1. 安装适用于您系统的最新动态更新包：\n" +
           std::wstring(updateLines) +
           L"2. 或者，直接运行 Windows Update 并安装所有最新累积更新。\n"
           L"3. 安装完成后，重启电脑，引导文件将自动更新为 2023 签名版本。\n"
           L"\n提示：若更新后仍为旧签名，请检查 BIOS 中安全启动设置是否正确。";
}

const std::wstring kWindows11Lines =
    L"   - Windows 11 24H2/25H2：KB5074110\n   - Windows 11 23H2：KB5077374\n";
const std::wstring kWindows10Line = L"   - Windows 10：KB5075912\n";
const std::wstring kOptionalLine = L"   请检查 Windows Update 中的可选更新。\n";

TEST(CheckBootCertUpdate, ABootManagerSignedUnder2023NeedsNothing) {
    for (const wchar_t* authority : {L"Windows UEFI CA 2023", L"Microsoft UEFI CA 2023"}) {
        ScriptedMachine machine = ReadyWithBootManagerSignedBy(authority);
        EXPECT_EQ(CheckBootCertUpdate(machine), L"当前引导文件已由 CA 2023 证书签名，无需更新。");
    }
}

TEST(CheckBootCertUpdate, EnablesTheFirmwarePrivilegeBeforeReadingFirmware) {
    ScriptedMachine machine = ReadyWithBootManagerSignedBy(L"Windows UEFI CA 2023");
    machine.enabledPrivileges.clear();
    machine.firmwareType.reset();  // the boot mode then comes from db as well
    EXPECT_EQ(CheckBootCertUpdate(machine), L"当前引导文件已由 CA 2023 证书签名，无需更新。");
    ASSERT_FALSE(machine.firmwareReads.empty());
    for (const auto& read : machine.firmwareReads) EXPECT_FALSE(read.refused) << read.name;
}

TEST(CheckBootCertUpdate, GuidanceNamesTheOldAuthorityAndTheUpdatesForTheBuild) {
    struct Case {
        std::optional<std::wstring> build;
        std::wstring lines;
    };
    const Case cases[] = {
        {L"26100", kWindows11Lines},   {L"22000", kWindows11Lines}, {L"21999", kWindows10Line},
        {L"10240", kWindows10Line},    {L"9600", kOptionalLine},    {L"abc", kOptionalLine},
        {std::nullopt, kOptionalLine},
    };
    for (const Case& c : cases) {
        ScriptedMachine machine =
            ReadyWithBootManagerSignedBy(L"Microsoft Windows Production PCA 2011");
        if (c.build) {
            SetBuild(machine, *c.build);
        } else {
            machine.registry.erase(test::Fold(test::kOnlineVersionKey));
        }
        EXPECT_EQ(CheckBootCertUpdate(machine),
                  Guidance(L"Microsoft Windows Production PCA 2011", c.lines))
            << (c.build ? std::string(c.build->begin(), c.build->end()) : "unreadable");
    }
}

TEST(CheckBootCertUpdate, AnOptionRomOr2011UefiSignerIsStillOld) {
    for (const wchar_t* authority :
         {L"Microsoft Corporation UEFI CA 2011", L"Microsoft Option ROM UEFI CA 2023"}) {
        ScriptedMachine machine = ReadyWithBootManagerSignedBy(authority);
        EXPECT_THAT(CheckBootCertUpdate(machine),
                    StartsWith(L"当前引导文件仍由旧证书签名（" + std::wstring(authority) + L"）"));
    }
}

TEST(CheckBootCertUpdate, AnUnsignedBootManagerGetsEmptyParentheses) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.AssignLetter(L'B', test::Windows11::Esp);
    machine.PutFile(L"B:\\" + kEspBootManager, {});
    EXPECT_THAT(CheckBootCertUpdate(machine), StartsWith(L"当前引导文件仍由旧证书签名（）。\n\n"));
}

TEST(CheckBootCertUpdate, ReleasesTheEspMountsItMadeToReadTheBootManager) {
    // The ESP has no letter nor usable volume path: the search gives it S: or, when mountvol
    // fails, a folder mount.
    for (bool folderMount : {false, true}) {
        ScriptedMachine machine = test::NormalWindows11();
        machine.PutFile(machine.volumes[test::Windows11::Esp].name + kEspBootManager,
                        test::SignedFile(L"Windows UEFI CA 2023"));
        machine.volumes[test::Windows11::Esp].filesByVolumeName = false;  // only a mount reaches it
        if (folderMount) machine.mountvolEsp.reset();
        const std::wstring before = machine.DescribeSystem();
        EXPECT_EQ(CheckBootCertUpdate(machine), L"当前引导文件已由 CA 2023 证书签名，无需更新。");
        EXPECT_EQ(machine.DescribeSystem(), before) << (folderMount ? "folder" : "S:");
        EXPECT_THAT(machine.HeldResources(), IsEmpty());
        EXPECT_THAT(machine.misuse, IsEmpty());
    }
}

TEST(CheckBootCertUpdate, RefusesInOrderBeforeLookingAtTheBootFile) {
    {
        ScriptedMachine machine = test::LegacyBiosMachine();
        EXPECT_EQ(CheckBootCertUpdate(machine),
                  L"当前系统未以 UEFI 模式引导，无法进行引导证书更新。");
    }
    {
        ScriptedMachine machine = test::NormalWindows11();
        machine.SetRegistryValue(L"SYSTEM\\CurrentControlSet\\Control\\SecureBoot\\State",
                                 L"UEFISecureBootEnabled", test::DwordValue(0));
        EXPECT_EQ(CheckBootCertUpdate(machine), L"安全启动未启用，无法进行引导证书更新。");
    }
    for (bool revoke : {false, true}) {
        ScriptedMachine machine = test::NormalWindows11();
        if (revoke) {
            test::SetRealDbx(machine, {test::RealCert::WindowsCa2023});
        } else {
            // Certificates of Microsoft's names, but not Microsoft's certificates.
            test::SetDb(machine, {L"Windows UEFI CA 2023", L"Microsoft UEFI CA 2023"});
        }
        EXPECT_EQ(CheckBootCertUpdate(machine),
                  L"固件中未找到有效的 CA 2023 证书，请先执行“固件证书更新”。");
        EXPECT_THAT(machine.processStarts, IsEmpty());  // no ESP search was started
        EXPECT_THAT(machine.HeldResources(), IsEmpty());
    }
}

TEST(CheckBootCertUpdate, ReportsAMissingBootManager) {
    ScriptedMachine machine = test::LegacyBiosMachine();
    machine.firmwareType = test::NormalWindows11().firmwareType;
    machine.SetRegistryValue(L"SYSTEM\\CurrentControlSet\\Control\\SecureBoot\\State",
                             L"UEFISecureBootEnabled", test::DwordValue(1));
    test::SetRealDb(machine, {test::RealCert::WindowsCa2023});
    EXPECT_EQ(CheckBootCertUpdate(machine),
              L"未找到当前系统的引导文件 (bootmgfw.efi)，请检查 ESP 分区。");
    EXPECT_THAT(machine.misuse, IsEmpty());
}

TEST(CheckBootCertUpdate, NeedsOnlyWindowsUefiCa2023InDbToLookAtTheBootManager) {
    // A secured-core machine: no third-party CA 2011 in db, so no third-party 2023 certificates
    // either, and a KEK still of 2011. The 2023 boot manager needs only Windows UEFI CA 2023.
    ScriptedMachine machine = test::NormalWindows11();
    test::SetRealDb(machine, {test::RealCert::Pca2011, test::RealCert::WindowsCa2023});
    test::SetRealKek(machine, {test::RealCert::Kek2011});
    EXPECT_EQ(CheckBootCertUpdate(machine), L"当前引导文件已由 CA 2023 证书签名，无需更新。");
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
}

TEST(ReadCurrentBuildNumber, ReadsTheLeadingDecimalDigitsOfAnyType) {
    ScriptedMachine machine = test::NormalWindows11();
    SetBuild(machine, L"19045");
    EXPECT_EQ(ReadCurrentBuildNumber(machine), 19045u);
    SetBuild(machine, L"22631.1");
    EXPECT_EQ(ReadCurrentBuildNumber(machine), 22631u);
    SetBuild(machine, L"99999999999999999999");
    EXPECT_EQ(ReadCurrentBuildNumber(machine), 0u);
    // A value too long for the 64-byte buffer cannot be read.
    SetBuild(machine, std::wstring(40, L'1'));
    EXPECT_EQ(ReadCurrentBuildNumber(machine), 0u);
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
}

}  // namespace
}  // namespace certvane
