// The boot chain section: which boot file, which signer, and whether the firmware trusts it.
#include "report/BootChainSection.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "assess/BootJudgement.h"
#include "tests/support/ReportLines.h"
#include "tests/support/Situations.h"

namespace certvane {
namespace {

using test::ScriptedMachine;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

using namespace test::RealCert;

constexpr std::wstring_view kPca2011 = L"Microsoft Windows Production PCA 2011";
constexpr std::wstring_view kUefiCa2011 = L"Microsoft Corporation UEFI CA 2011";
constexpr std::wstring_view kWindowsCa2023 = L"Windows UEFI CA 2023";
constexpr std::wstring_view kTrusted = L"是";
constexpr std::wstring_view kNotTrusted = L"否（固件不信任此签名）";
using Stores = std::initializer_list<const char*>;

// The verdict on a boot file signed under `authority` (Microsoft's real certificate for
// Microsoft's names) against db and dbx of Microsoft's real certificates.
std::wstring_view Verdict(std::wstring_view authority, Stores db, Stores dbx = {}) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.PutFile(L"C:\\boot.efi", test::SignedFile(authority));
    const BootFile file = InspectBootFile(machine, L"C:\\boot.efi", L"boot.efi");
    return JudgeBootFileAgainst(machine, file, test::RealStore(db), test::RealStore(dbx)).verdict;
}

TEST(BootVerdict, TrustsOnlyWhatChainsToDbAndIsNotRevokedInDbx) {
    const Stores all2011{Pca2011, UefiCa2011};
    EXPECT_EQ(Verdict(kPca2011, all2011), kTrusted);
    EXPECT_EQ(Verdict(kUefiCa2011, all2011), kTrusted);
    EXPECT_EQ(Verdict(kPca2011, {WindowsCa2023}), kNotTrusted);
    EXPECT_EQ(Verdict(kWindowsCa2023, {WindowsCa2023}), kTrusted);
    EXPECT_EQ(Verdict(L"Microsoft UEFI CA 2023", {WindowsCa2023}), kNotTrusted);
    // An authority of neither generation that db does not trust cannot be judged by name.
    EXPECT_EQ(Verdict(L"Contoso Loader CA", all2011), L"未知签名（无法判断）");
    EXPECT_EQ(Verdict(L"Microsoft Option ROM UEFI CA 2023", all2011), L"未知签名（无法判断）");
}

TEST(BootVerdict, ARevokedAuthorityBootsNothing) {
    // The end state of the transition: PCA 2011 still in db, and revoked in dbx.
    const Stores db{Pca2011, UefiCa2011, WindowsCa2023};
    EXPECT_EQ(Verdict(kPca2011, db, {Pca2011}), kNotTrusted);
    EXPECT_EQ(Verdict(kWindowsCa2023, db, {Pca2011}), kTrusted);
}

TEST(BootVerdict, TheThirdPartyCaDoesNotVouchForWindows) {
    // db holding only the third-party UEFI CA 2011 has the 2011 generation but does not trust
    // the authority that signs Windows' boot manager.
    EXPECT_EQ(Verdict(kPca2011, {UefiCa2011}), kNotTrusted);
}

std::vector<std::wstring> Section(ScriptedMachine& machine, bool isWinPE, std::wstring_view offline,
                                  Stores db, Stores dbx = {}) {
    const BootFiles files = InspectBootFiles(machine, isWinPE, offline);
    const ByteBuffer dbImage = test::RealStore(db);
    const ByteBuffer dbxImage = test::RealStore(dbx);
    const SignatureStore dbStore = SignatureStoreOf(dbImage);
    const SignatureStore dbxStore = SignatureStoreOf(dbxImage);
    std::vector<JudgedBootFile> judged{
        JudgeBootFileAs(machine, "current", files.current, dbStore, dbxStore)};
    if (isWinPE && !offline.empty())
        judged.push_back(JudgeBootFileAs(machine, "offline", files.offline, dbStore, dbxStore));
    std::wstring report;
    WriteBootChainSection(report, judged, isWinPE, offline, SignatureListNames(machine, dbImage));
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
    return test::ReportLines(report);
}

TEST(BootChainSection, ASignerOfNoGenerationIsUnknownAndMarksNoFirmwareLine) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.PutFile(
        machine.volumes[test::Windows11::Esp].name + L"EFI\\Microsoft\\Boot\\bootmgfw.efi",
        test::SignedFile(L"Contoso Loader CA"));
    EXPECT_THAT(
        Section(machine, false, L"", {WindowsCa2023}),
        ElementsAre(L"  当前 UEFI 固件引导证书：", L"  [不存在] Microsoft Corporation UEFI CA 2011",
                    L"  [有效] Microsoft UEFI CA 2023", L"", L"  当前 Windows 系统 EFI 引导证书：",
                    L"  [未知] 未知证书: 当前引导", L"            当前引导文件：bootmgfw.efi", L"",
                    L"  Windows 符合引导系统条件: 未知签名（无法判断）"));
}

TEST(BootChainSection, AnOldSignerWithOnly2023InDbIsNotTrusted) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.PutFile(
        machine.volumes[test::Windows11::Esp].name + L"EFI\\Microsoft\\Boot\\bootmgfw.efi",
        test::SignedFile(L"Microsoft Windows Production PCA 2011"));
    const auto lines = Section(machine, false, L"", {WindowsCa2023, UefiCa2023});
    EXPECT_EQ(lines[1], L"  [不存在] Microsoft Corporation UEFI CA 2011: 当前引导");
    EXPECT_EQ(lines[5], L"  [不存在] Microsoft Corporation UEFI CA 2011: 当前引导");
    EXPECT_EQ(lines.back(), L"  Windows 符合引导系统条件: 否（固件不信任此签名）");
}

TEST(BootChainSection, ABootManagerUnderARevokedAuthorityIsNotTrustedButKeepsItsLines) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.PutFile(
        machine.volumes[test::Windows11::Esp].name + L"EFI\\Microsoft\\Boot\\bootmgfw.efi",
        test::SignedFile(std::wstring(kPca2011)));
    const auto lines =
        Section(machine, false, L"", {Pca2011, UefiCa2011, WindowsCa2023}, {Pca2011});
    EXPECT_EQ(lines[1], L"  [有效] Microsoft Corporation UEFI CA 2011: 当前引导");
    EXPECT_EQ(lines[5], L"  [有效] Microsoft Corporation UEFI CA 2011: 当前引导");
    EXPECT_EQ(lines.back(), L"  Windows 符合引导系统条件: 否（固件不信任此签名）");
}

TEST(BootChainSection, AnUnsignedBootManagerCountsAsMissing) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.PutFile(machine.volumes[test::Windows11::Esp].name +
                    L"EFI\\Microsoft\\Boot\\bootmgfw.efi");
    const auto lines = Section(machine, false, L"", {WindowsCa2023});
    EXPECT_EQ(lines[5], L"  未找到引导文件或无数字签名");
    EXPECT_EQ(lines.back(), L"  Windows 符合引导系统条件: 无法检测（文件不存在或无签名）");
}

TEST(BootChainSection, InWindowsPeFallsBackToTheMediumsBootManager) {
    ScriptedMachine machine = test::WinPeBase();
    machine.volumes[test::WinPe::BootMedium].files.erase(L"EFI\\BOOT\\BOOTX64.EFI");
    const auto lines = Section(machine, true, L"", {UefiCa2011});
    EXPECT_EQ(lines[6], L"            当前引导文件：bootmgfw.efi");
}

TEST(BootChainSection, InWindowsPeAnOfflineInstallationWithoutASignedBootManager) {
    ScriptedMachine machine = test::WinPeWithOfflineOnC();
    machine.volumes[2].files.clear();                          // the ESP of disk 0
    machine.PutFile(L"C:\\Windows\\Boot\\EFI\\bootmgfw.efi");  // unsigned backup
    const auto lines = Section(machine, true, L"C:\\Windows", {UefiCa2011});
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines[8], L"  离线 Windows 系统 EFI 引导证书：");
    EXPECT_EQ(lines[9], L"  未找到引导文件或无数字签名");
    EXPECT_EQ(lines[12], L"  离线 Windows 符合引导系统条件: 无法检测（未找到离线系统或引导文件）");
}

TEST(BootChainSection, EndsEveryRunWithoutTheMountsItMadeButKeepsAForeignS) {
    ScriptedMachine folder = test::NormalWindows11();
    folder.volumes[test::Windows11::Esp].filesByVolumeName = false;  // only a mount reaches it
    folder.mountvolEsp.reset();
    const std::wstring before = folder.DescribeSystem();
    Section(folder, false, L"", {});
    EXPECT_THAT(folder.log,
                ::testing::Contains(L"RemoveMountPoint C:\\Users\\admin\\AppData\\Local\\Temp\\"
                                    L"certvane-esp-{00000000-0000-0000-0000-000000000001}\\ESP\\"));
    EXPECT_EQ(folder.DescribeSystem(), before);

    // An S: this run did not assign is never removed: not the ESP a deployment script lettered
    // S:, not a data drive S:.
    ScriptedMachine lettered = test::NormalWindows11();
    lettered.AssignLetter(L'S', test::Windows11::Esp);
    Section(lettered, false, L"", {});
    EXPECT_EQ(lettered.letters.at(L'S'), test::Windows11::Esp);
    ScriptedMachine data = test::NormalWindows11();
    const std::size_t volume = data.AddVolume({L"\\\\?\\Volume{data}\\", L"NTFS", 3});
    data.AssignLetter(L'S', volume);
    Section(data, false, L"", {});
    EXPECT_EQ(data.letters.at(L'S'), volume);
}

}  // namespace
}  // namespace certvane
