#include "tests/cli/KeyHierarchies.h"

#include <gtest/gtest.h>

#include "inspect/KeyStores.h"
#include "inspect/SignedUpdate.h"
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

// PK, KEK, db and dbx; or, with the suffix "Default", their defaults (all of the global GUID).
void SetStores(ScriptedMachine& machine, const std::wstring& suffix, const Bytes& pk,
               const Bytes& kek, const Bytes& db, const Bytes& dbx) {
    const std::wstring& databases = suffix.empty() ? kSecurity : kGlobal;
    machine.SetFirmwareVariable(L"PK" + suffix, kGlobal, pk);
    machine.SetFirmwareVariable(L"KEK" + suffix, kGlobal, kek);
    machine.SetFirmwareVariable(L"db" + suffix, databases, db);
    machine.SetFirmwareVariable(L"dbx" + suffix, databases, dbx);
}

// Reads the real certificates, Secure Boot on and in user mode.
ScriptedMachine SecureBootMachine(ScriptedMachine machine) {
    machine.decodeCertificate = test::DerSubjectCommonName;
    machine.SetFirmwareVariable(L"SecureBoot", kGlobal, {1});
    machine.SetFirmwareVariable(L"SetupMode", kGlobal, {0});
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
    ScriptedMachine machine = SecureBootMachine(test::NormalWindows11());
    const Bytes pk = X509List(RealCertificate("windows-oem-devices-pk.der"));
    const Bytes dbx = test::RealUpdateLists("dbx-update-amd64.bin");
    SetStores(machine, L"", pk, KekBoth(), RealDbFull(), dbx);
    SetStores(machine, L"Default", pk, KekBoth(), RealDbFull(), dbx);
    return machine;
}

ScriptedMachine Only2011WithTestPk() {
    ScriptedMachine machine = SecureBootMachine(test::NormalWindows11());
    const Bytes pk = X509List(AmiTestPk());
    SetStores(machine, L"", pk, Kek2011(), RealDb2011(), {});
    SetStores(machine, L"Default", pk, Kek2011(), RealDb2011(), {});
    machine.PutFile(
        machine.volumes[test::Windows11::Esp].name + L"EFI\\Microsoft\\Boot\\bootmgfw.efi",
        test::SignedFile(L"Microsoft Windows Production PCA 2011"));
    return machine;
}

ScriptedMachine DefaultsWithout2023() {
    ScriptedMachine machine = FullyUpdatedMachine();
    SetStores(machine, L"Default", X509List(RealCertificate("windows-oem-devices-pk.der")),
              Kek2011(), RealDb2011(), {});
    return machine;
}

ScriptedMachine Pca2011Revoked() {
    ScriptedMachine machine = FullyUpdatedMachine();
    machine.SetFirmwareVariable(L"dbx", kSecurity, RealDbxRevoking2011());
    return machine;
}

}  // namespace certvane::cli
