// Reading db/dbx from firmware, certificate status and the 2023 readiness test.
#include "inspect/SignatureDatabase.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "assess/MachineAssessment.h"
#include "tests/support/SignatureLists.h"
#include "tests/support/Situations.h"

namespace certvane {
namespace {

using test::Bytes;
using test::ScriptedMachine;

const std::wstring kDbGuidText = L"{D719B2CB-3D3A-4596-A3BC-DAD00E67656F}";

TEST(GuidToText, FormatsTheImageSecurityDatabaseGuid) {
    EXPECT_EQ(GuidToText(ImageSecurityDatabaseGuid), kDbGuidText);
    EXPECT_EQ(GuidToText(CertX509Guid), L"{A5C059A1-94E4-4AA7-87B5-AB155C2BF072}");
}

TEST(ReadFirmwareVariable, ReadsOnceIntoOneMebibyteAndShrinksToTheCount) {
    ScriptedMachine machine = test::AfterStartUp();
    machine.SetFirmwareVariable(L"db", kDbGuidText, {1, 2, 3});
    EXPECT_EQ(ReadFirmwareVariable(machine, L"db", ImageSecurityDatabaseGuid), (Bytes{1, 2, 3}));
    ASSERT_EQ(machine.firmwareReads.size(), 1u);
    EXPECT_EQ(machine.firmwareReads[0].name, L"db");
    EXPECT_EQ(machine.firmwareReads[0].guidText, kDbGuidText);
    EXPECT_EQ(machine.firmwareReads[0].bufferSize, 1048576u);
}

TEST(ReadFirmwareVariable, IsRefusedUntilThePrivilegeIsEnabled) {
    ScriptedMachine machine;
    machine.SetFirmwareVariable(L"db", kDbGuidText, {1, 2, 3});
    EXPECT_TRUE(ReadFirmwareVariable(machine, L"db", ImageSecurityDatabaseGuid).empty());
    EXPECT_TRUE(machine.firmwareReads.back().refused);
    machine.enabledPrivileges.insert(L"SeSystemEnvironmentPrivilege");
    EXPECT_EQ(ReadFirmwareVariable(machine, L"db", ImageSecurityDatabaseGuid), (Bytes{1, 2, 3}));
}

TEST(ReadFirmwareVariable, UnreadableOrOversizedVariablesGiveAnEmptyImage) {
    ScriptedMachine machine = test::AfterStartUp();
    EXPECT_TRUE(ReadFirmwareVariable(machine, L"dbx", ImageSecurityDatabaseGuid).empty());

    machine.SetFirmwareVariable(L"db", kDbGuidText, Bytes(MaxFirmwareVariableSize + 1, 7));
    EXPECT_TRUE(ReadFirmwareVariable(machine, L"db", ImageSecurityDatabaseGuid).empty());
    // No second attempt with a larger buffer.
    EXPECT_EQ(machine.firmwareReads.size(), 2u);

    machine.SetFirmwareVariable(L"db", kDbGuidText, Bytes(MaxFirmwareVariableSize, 7));
    EXPECT_EQ(ReadFirmwareVariable(machine, L"db", ImageSecurityDatabaseGuid).size(),
              MaxFirmwareVariableSize);
}

TEST(ReadFirmwareVariable, ACountBeyondTheBufferIsTreatedAsAFailure) {
    ScriptedMachine machine = test::AfterStartUp();
    machine.firmwareCountOverride = MaxFirmwareVariableSize + 1;
    EXPECT_TRUE(ReadFirmwareVariable(machine, L"db", ImageSecurityDatabaseGuid).empty());
}

TEST(CertificateStatus, RevocationWinsThenPresenceThenAbsence) {
    const KnownCertificate& row = KnownCertificates[2];
    const NameList withRow{L"Other", std::wstring(row.matchName)};
    EXPECT_EQ(CertificateStatus(row, withRow, {}), L"[有效]");
    EXPECT_EQ(CertificateStatus(row, withRow, withRow), L"[已吊销]");
    EXPECT_EQ(CertificateStatus(row, {}, withRow), L"[已吊销]");
    EXPECT_EQ(CertificateStatus(row, {L"Other"}, {}), L"[不存在]");
}

TEST(CertificateStatus, MatchesWholeNamesCaseSensitivelyOnly) {
    const KnownCertificate& row = KnownCertificates[3];  // Microsoft UEFI CA 2023
    EXPECT_EQ(CertificateStatus(row, {L"microsoft uefi ca 2023"}, {}), L"[不存在]");
    EXPECT_EQ(CertificateStatus(row, {L"Microsoft UEFI CA 2023 (test)"}, {}), L"[不存在]");
    EXPECT_EQ(CertificateStatus(row, {L"Microsoft UEFI CA 2023"}, {L"Microsoft UEFI CA 202"}),
              L"[有效]");
}

TEST(Ca2023SetTrustedByName, WantsAllThree2023NamesInDbAndNoneInDbx) {
    const NameList all{L"Microsoft Windows Production PCA 2011", L"Windows UEFI CA 2023",
                       L"Microsoft UEFI CA 2023", L"Microsoft Option ROM UEFI CA 2023"};
    EXPECT_TRUE(Ca2023SetTrustedByName(all, {L"Microsoft Windows Production PCA 2011"}));
    EXPECT_FALSE(Ca2023SetTrustedByName({}, {}));
    EXPECT_FALSE(Ca2023SetTrustedByName({L"Windows UEFI CA 2023", L"Microsoft UEFI CA 2023"}, {}));
    EXPECT_FALSE(Ca2023SetTrustedByName(all, {L"Microsoft UEFI CA 2023"}));
}

}  // namespace
}  // namespace certvane
