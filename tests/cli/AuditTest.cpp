// certvane-cli --audit: every EFI file on the ESPs and on boot media, judged as the firmware
// would, before a dbx update strands one.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "assess/BootFileAuditJudgement.h"
#include "cli/Utf8.h"
#include "inspect/Authenticode.h"
#include "inspect/BootFileAudit.h"
#include "tests/cli/CliFixture.h"
#include "tests/support/DiskImages.h"
#include "tests/support/RealData.h"
#include "tests/support/SignatureLists.h"
#include "tests/support/SignedImages.h"
#include "tests/support/Situations.h"

namespace certvane::cli {
namespace {

using test::Bytes;
using test::ScriptedMachine;
using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;

const std::wstring kSecurity = GuidToText(ImageSecurityDatabaseGuid);

// A second-signature file: Microsoft's real Windows UEFI CA 2023 after a made CA db lacks.
Bytes TwoSignatureFile() {
    const test::PeImage image = test::MinimalPe(0x5B);  // of its own hash
    const test::TestAuthority stranger = test::MakeAuthority(L"Contoso Boot CA", nullptr);
    const test::TestAuthority windows2023 = test::RealAuthority("windows-uefi-ca-2023.der");
    return test::WithSignatures(image,
                                {test::AuthenticodeSignature(image, stranger, {&stranger}),
                                 test::AuthenticodeSignature(image, windows2023, {&windows2023})});
}

// Normal Windows 11 (Microsoft's five certificates in db) whose ESP also holds a Linux loader
// under UEFI CA 2011, an unsigned GRUB, a 2011 Windows recovery tool and a file of two signatures.
ScriptedMachine DualBootMachine() {
    ScriptedMachine machine = test::NormalWindows11();
    const std::wstring esp = machine.volumes[test::Windows11::Esp].name;
    machine.PutFile(esp + L"EFI\\ubuntu\\shimx64.efi",
                    test::SignedFile(L"Microsoft Corporation UEFI CA 2011"));
    test::ScriptedFile grub;
    grub.content = test::MinimalPe(0x47).bytes;
    machine.PutFile(esp + L"EFI\\ubuntu\\grubx64.efi", grub);
    machine.PutFile(esp + L"EFI\\Tools\\recovery.efi",
                    test::SignedFile(L"Microsoft Windows Production PCA 2011"));
    test::ScriptedFile twice;
    twice.content = TwoSignatureFile();
    machine.PutFile(esp + L"EFI\\Tools\\twice.efi", twice);
    machine.PutFile(esp + L"EFI\\Microsoft\\Boot\\BCD");
    return machine;
}

// A signed dbx update whose lists are `lists`: the header of Microsoft's real update, whose
// signature the program does not check (only the firmware does, against KEK).
Bytes DbxUpdateWith(const Bytes& lists) {
    Bytes update =
        test::ReadWholeFile(std::string(CERTVANE_REALDATA_DIR) + "/updates/dbx-update-2024.bin");
    const std::uint32_t header = update[16] | update[17] << 8 | update[18] << 16 | update[19] << 24;
    update.resize(16 + header);
    update.insert(update.end(), lists.begin(), lists.end());
    return update;
}

using AuditTest = CliRunTest;

// The table's row of the file whose path ends in `file`, its columns one blank apart.
std::string RowOf(const std::string& table, const std::string& file) {
    const std::size_t at = table.find(file + "\r\n");
    EXPECT_NE(at, std::string::npos) << file;
    if (at == std::string::npos) return {};
    const std::size_t begin = table.rfind("\r\n", at) + 2;
    std::string row;
    for (const char c : table.substr(begin, at - begin)) {
        if (c != ' ' || (!row.empty() && row.back() != ' ')) row += c;
    }
    return row;
}

TEST_F(AuditTest, JudgesEveryEfiFileOnTheEspReadThroughItsVolumeName) {
    const CliResult result = Run({L"--audit"}, DualBootMachine(), [](const ScriptedMachine& after) {
        EXPECT_THAT(after.log, ::testing::Each(Not(HasSubstr(L"Mount"))));  // no letter, no folder
    });
    EXPECT_EQ(result.exitCode, 4);  // the unsigned GRUB does not boot
    EXPECT_THAT(result.out, HasSubstr("EFI files judged: 6\r\n"));
    const auto hash = AuthenticodeSha256(test::SignedBootFile(L"Windows UEFI CA 2023"));
    ASSERT_TRUE(hash);
    EXPECT_EQ(RowOf(result.out, "EFI\\MICROSOFT\\BOOT\\BOOTMGFW.EFI"),
              "yes no - 2023 Windows UEFI CA 2023 " + HexOf(*hash) + " " +
                  ToUtf8(test::NormalWindows11().volumes[test::Windows11::Esp].name));
    EXPECT_THAT(RowOf(result.out, "EFI\\UBUNTU\\GRUBX64.EFI"),
                ::testing::StartsWith("no no - - (no signature) "));
    EXPECT_THAT(RowOf(result.out, "EFI\\UBUNTU\\SHIMX64.EFI"),
                ::testing::StartsWith("yes no - 2011 Microsoft Corporation UEFI CA 2011 "));
    // Accepted through its second signature, whose chain db holds.
    EXPECT_THAT(RowOf(result.out, "EFI\\TOOLS\\TWICE.EFI"), ::testing::StartsWith("yes no - "));

    const nlohmann::json json = Json({L"--audit"}, DualBootMachine());
    EXPECT_EQ(json["schemaVersion"], 5);
    ASSERT_EQ(json["audit"].size(), 6u);
    for (const auto& entry : json["audit"]) {
        EXPECT_TRUE(entry["path"].is_string());
        EXPECT_EQ(entry["wouldBoot"], !entry["path"].get<std::string>().ends_with("GRUBX64.EFI"))
            << entry["path"];
    }
}

// Microsoft's real dbx update of 2024 revokes PCA 2011: which files would it strand?
TEST_F(AuditTest, ADbxUpdateIsJudgedBeforeItIsApplied) {
    const std::wstring revocation =
        (std::filesystem::path(CERTVANE_REALDATA_DIR) / "updates" / "dbx-update-2024.bin")
            .wstring();
    ScriptedMachine machine = DualBootMachine();
    machine.volumes[test::Windows11::Esp].files.erase(L"EFI\\UBUNTU\\GRUBX64.EFI");
    const CliResult before = Run({L"--audit"}, machine);
    EXPECT_EQ(before.exitCode, 0);
    EXPECT_THAT(RowOf(before.out, "EFI\\TOOLS\\RECOVERY.EFI"),
                ::testing::StartsWith("yes no - 2011 Microsoft Windows Production PCA 2011 "));

    const CliResult after = Run({L"--audit", L"--apply-dbx", revocation}, machine);
    EXPECT_EQ(after.exitCode, 4);
    EXPECT_THAT(
        RowOf(after.out, "EFI\\TOOLS\\RECOVERY.EFI"),
        ::testing::StartsWith("no certificate - 2011 Microsoft Windows Production PCA 2011 "));
    // The Linux loader lives under the UEFI CA 2011, which the update leaves alone.
    EXPECT_THAT(RowOf(after.out, "EFI\\UBUNTU\\SHIMX64.EFI"), ::testing::StartsWith("yes no "));

    // An update that lists one file's own hash strands that file alone.
    const auto hash = AuthenticodeSha256(TwoSignatureFile());
    ASSERT_TRUE(hash);
    Bytes list;
    test::AppendList(list, {.type = test::Sha256Type}, {Bytes(hash->begin(), hash->end())});
    const CliResult hashed = Run(
        {L"--audit", L"--apply-dbx", WriteFile("dbx-update.bin", DbxUpdateWith(list))}, machine);
    EXPECT_EQ(hashed.exitCode, 4);
    EXPECT_THAT(RowOf(hashed.out, "EFI\\TOOLS\\TWICE.EFI"), ::testing::StartsWith("no hash "));
    EXPECT_THAT(RowOf(hashed.out, "EFI\\UBUNTU\\SHIMX64.EFI"), ::testing::StartsWith("yes no "));
}

// A FAT image holding a boot file signed under PCA 2011, and an ISO whose El Torito EFI image
// holds an unsigned one.
TEST_F(AuditTest, ReadsFatImagesAndTheElToritoImageOfAnIso) {
    using namespace test;
    ScriptedMachine machine = test::NormalWindows11();
    const std::size_t data = machine.AddVolume(ScriptedVolume{
        .name = L"\\\\?\\Volume{00000009-0000-0000-0000-000000000000}\\", .disk = 1});
    machine.AssignLetter(L'E', data);
    const auto fatWith = [](const Bytes& file) {
        FatBuilder fat(FatKind::Fat12, 64, 4);
        const std::uint32_t clusterBytes = fat.ClusterBytes();
        const auto clusters =
            static_cast<std::uint32_t>((file.size() + clusterBytes - 1) / clusterBytes);
        std::vector<std::uint32_t> chain;
        for (std::uint32_t i = 0; i < clusters; ++i) chain.push_back(10 + i);
        fat.WriteRoot(DirBuilder().Directory("EFI        ", 4).Build(), {});
        fat.WriteChain({4}, DirBuilder().Dots(4, 0).Directory("BOOT       ", 5).Build());
        fat.WriteChain(
            {5}, DirBuilder()
                     .Dots(5, 4)
                     .File("BOOTX64 EFI", chain.front(), static_cast<std::uint32_t>(file.size()))
                     .Build());
        fat.WriteChain(chain, file);
        return fat.bytes();
    };
    ScriptedFile efisys;
    efisys.content = fatWith(SignedBootFile(L"Microsoft Windows Production PCA 2011"));
    machine.PutFile(L"E:\\media\\efi\\microsoft\\boot\\efisys.bin", efisys);
    const Bytes fatImage = fatWith(MinimalPe(0x33).bytes);
    const std::size_t imageSector = 40;
    const auto count = static_cast<std::uint16_t>(fatImage.size() / 512);
    ScriptedFile medium;
    medium.content =
        IsoBuilder(imageSector + fatImage.size() / kIsoSector + 1)
            .PrimaryVolume(16)
            .BootRecord(17, 19)
            .Terminator(18)
            .Catalog(19, {ValidationEntry(kEfi), BootEntry(kBootable, imageSector, count)})
            .Put(imageSector * kIsoSector, fatImage)
            .bytes();
    machine.PutFile(L"E:\\media\\boot.iso", medium);

    const CliResult result = Run({L"--audit", L"E:\\media"}, machine);
    EXPECT_EQ(result.exitCode, 4);
    EXPECT_THAT(result.out, HasSubstr("EFI files judged: 2\r\n"));
    // The scripted machine lists names as it stores them, in capitals.
    EXPECT_THAT(
        RowOf(result.out, "E:\\media\\EFI\\MICROSOFT\\BOOT\\EFISYS.BIN » EFI/BOOT/BOOTX64.EFI"),
        ::testing::StartsWith("yes no - 2011 "));
    EXPECT_THAT(RowOf(result.out, "E:\\media\\BOOT.ISO » El Torito » EFI/BOOT/BOOTX64.EFI"),
                ::testing::StartsWith("no no - - (no signature) "));
}

TEST_F(AuditTest, ABoundThatIsHitIsOneLineAndLeavesTheAnswerOpen) {
    ScriptedMachine machine = test::NormalWindows11();
    std::wstring deep = machine.volumes[test::Windows11::Esp].name;
    for (int level = 0; level < 10; ++level) deep += L"d" + std::to_wstring(level) + L"\\";
    machine.PutFile(deep + L"deep.efi", test::SignedFile(L"Windows UEFI CA 2023"));
    const CliResult result = Run({L"--audit"}, machine);
    EXPECT_EQ(result.exitCode, 3);
    std::size_t limits = 0;
    for (std::size_t at = result.out.find("Limit: "); at != std::string::npos;
         at = result.out.find("Limit: ", at + 1))
        ++limits;
    EXPECT_EQ(limits, 1u);
    EXPECT_THAT(result.out, HasSubstr("Limit: folders deeper than 8 levels not read, first "));
    EXPECT_THAT(result.out, Not(HasSubstr("DEEP.EFI")));
}

TEST_F(AuditTest, WithoutAReadableDbNothingIsJudged) {
    const CliResult result = Run({L"--audit"}, test::LegacyBiosMachine());
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_THAT(result.out, HasSubstr("Limit: db cannot be read: no file can be judged"));
    EXPECT_THAT(result.out, Not(HasSubstr("\r\nno ")));
}

TEST_F(AuditTest, CombinesOnlyWithTheOptionsOfDbAndDbx) {
    for (const std::vector<std::wstring>& args :
         {std::vector<std::wstring>{L"--audit", L"--summary"},
          {L"--audit", L"--efi", L"x.efi"},
          {L"--efi", L"x.efi", L"--audit"},
          {L"--audit", L"--pk", L"pk.bin"}}) {
        const CliResult result = Run(args, test::NormalWindows11());
        EXPECT_EQ(result.exitCode, 64);
        EXPECT_THAT(result.err, HasSubstr("--audit combines only with"));
    }
}

// A Windows boot application is known by what it says of itself, whatever its path; the boot
// manager enforces dbx's version floor on itself, and its own version is not read.
TEST(JudgeAudit, AWindowsBootApplicationBelowAVersionFloorIsNotProvenToBoot) {
    ScriptedMachine machine = test::NormalWindows11();
    const Bytes db = machine.firmwareVariables.at({L"db", kSecurity});
    BootFile copy = InspectBootBytes(test::SignedBootFile(L"Windows UEFI CA 2023"),
                                     L"S:\\EFI\\BOOT\\BOOTX64.EFI", L"");
    copy.originalFileName = L"BOOTMGFW.EFI";
    BootFile tool = copy;
    tool.originalFileName = L"memtest.efi";
    const std::vector<BootFile> files{copy, tool};
    const DbxList& list = BuiltInReferenceLists().dbx;

    const auto noFloor = JudgeAudit(machine, files, db, {}, list);
    EXPECT_EQ(noFloor[0].svnApplication, "bootmgfw.efi");
    EXPECT_FALSE(noFloor[0].dbxSvn);
    EXPECT_EQ(noFloor[0].wouldBoot, true);

    const Bytes floor = test::RealUpdateLists("dbx-update-svn.bin");
    const auto rows = JudgeAudit(machine, files, db, floor, list);
    ASSERT_TRUE(rows[0].dbxSvn);
    EXPECT_EQ(rows[0].dbxSvn->major, 9);
    EXPECT_EQ(rows[0].wouldBoot, std::nullopt);  // never counted as passing
    EXPECT_TRUE(rows[1].svnApplication.empty());
    EXPECT_EQ(rows[1].wouldBoot, true);
    EXPECT_TRUE(RowsThatWouldNotBoot(rows).empty());
}

// Bounds counted as the walk goes: files looked at in folders and images together.
TEST(AuditRoot, StopsAtTheFileBoundAndSaysSo) {
    ScriptedMachine machine = test::NormalWindows11();
    const std::wstring esp = machine.volumes[test::Windows11::Esp].name;
    for (int i = 0; i < 6; ++i)
        machine.PutFile(esp + L"EFI\\many\\f" + std::to_wstring(i) + L".efi",
                        test::SignedFile(L"Windows UEFI CA 2023"));
    BootFileAudit audit;
    AuditRoot(machine, esp, {.maxDepth = 8, .maxFiles = 5, .maxFileBytes = 1 << 20}, audit);
    EXPECT_EQ(audit.filesSeen, 5u);
    EXPECT_LT(audit.files.size(), 5u);  // the folders on the way count too
    EXPECT_THAT(audit.limits, ::testing::Contains(L"stopped after 5 files and folders"));

    BootFileAudit small;
    AuditRoot(machine, esp, {.maxDepth = 8, .maxFiles = 100, .maxFileBytes = 100}, small);
    EXPECT_TRUE(small.files.empty());
    EXPECT_THAT(small.limits,
                ::testing::Contains(::testing::StartsWith(L"larger than 100 bytes, not read: ")));
}

}  // namespace
}  // namespace certvane::cli
