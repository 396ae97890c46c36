#include "tests/cli/KeyHierarchies.h"

#include <gtest/gtest.h>

#include "cli/KeyStores.h"
#include "cli/SignedUpdate.h"
#include "tests/cli/CliFixture.h"
#include "tests/support/RealData.h"
#include "tests/support/SignatureLists.h"
#include "tests/support/Situations.h"

namespace certvane::cli {
namespace {

using test::Bytes;
using test::Concat;
using test::RealCertificate;
using test::ScriptedMachine;
using test::X509List;

const std::wstring kGlobal = GuidToText(EfiGlobalVariableGuid);
const std::wstring kSecurity = GuidToText(ImageSecurityDatabaseGuid);

Bytes Kek2011() {
    return X509List(RealCertificate("microsoft-corporation-kek-ca-2011.der"));
}

Bytes KekBoth() {
    return Concat({Kek2011(), test::RealUpdateLists("kek-update-ami-test-pk1.bin")});
}

void SetStores(ScriptedMachine& machine, const Bytes& pk, const Bytes& kek, const Bytes& db,
               const Bytes& dbx) {
    machine.SetFirmwareVariable(L"PK", kGlobal, pk);
    machine.SetFirmwareVariable(L"KEK", kGlobal, kek);
    machine.SetFirmwareVariable(L"db", kSecurity, db);
    machine.SetFirmwareVariable(L"dbx", kSecurity, dbx);
    machine.SetFirmwareVariable(L"SecureBoot", kGlobal, {1});
    machine.SetFirmwareVariable(L"SetupMode", kGlobal, {0});
}

void SetDefaults(ScriptedMachine& machine, const Bytes& pk, const Bytes& kek, const Bytes& db,
                 const Bytes& dbx) {
    machine.SetFirmwareVariable(L"PKDefault", kGlobal, pk);
    machine.SetFirmwareVariable(L"KEKDefault", kGlobal, kek);
    machine.SetFirmwareVariable(L"dbDefault", kGlobal, db);
    machine.SetFirmwareVariable(L"dbxDefault", kGlobal, dbx);
}

ScriptedMachine WithRealDecoder(ScriptedMachine machine) {
    machine.decodeCertificate = test::DerSubjectCommonName;
    return machine;
}

}  // namespace

Bytes AmiTestPk() {
    const auto update = ReadSignedUpdate(test::ReadWholeFile(
        std::string(CERTVANE_REALDATA_DIR) + "/updates/kek-update-ami-test-pk1.bin"));
    if (!update || update->signerCertificates.empty()) {
        ADD_FAILURE() << "the AMI test PK update carries no certificate";
        return {};
    }
    return update->signerCertificates.front();
}

ScriptedMachine FullyUpdatedMachine() {
    ScriptedMachine machine = WithRealDecoder(test::NormalWindows11());
    const Bytes pk = X509List(RealCertificate("windows-oem-devices-pk.der"));
    const Bytes dbx = test::RealUpdateLists("dbx-update-amd64.bin");
    SetStores(machine, pk, KekBoth(), RealDbFull(), dbx);
    SetDefaults(machine, pk, KekBoth(), RealDbFull(), dbx);
    return machine;
}

ScriptedMachine Only2011WithTestPk() {
    ScriptedMachine machine = WithRealDecoder(test::NormalWindows11());
    const Bytes pk = X509List(AmiTestPk());
    SetStores(machine, pk, Kek2011(), RealDb2011(), {});
    SetDefaults(machine, pk, Kek2011(), RealDb2011(), {});
    machine.PutFile(
        machine.volumes[test::Windows11::Esp].name + L"EFI\\Microsoft\\Boot\\bootmgfw.efi",
        test::SignedFile(L"Microsoft Windows Production PCA 2011"));
    return machine;
}

ScriptedMachine DefaultsWithout2023() {
    ScriptedMachine machine = FullyUpdatedMachine();
    SetDefaults(machine, X509List(RealCertificate("windows-oem-devices-pk.der")), Kek2011(),
                RealDb2011(), {});
    return machine;
}

ScriptedMachine Pca2011Revoked() {
    ScriptedMachine machine = FullyUpdatedMachine();
    machine.SetFirmwareVariable(L"dbx", kSecurity, RealDbxRevoking2011());
    return machine;
}

}  // namespace certvane::cli
