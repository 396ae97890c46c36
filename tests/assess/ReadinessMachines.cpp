#include "tests/assess/ReadinessMachines.h"

#include "inspect/CapturedFirmware.h"
#include "tests/actions/ActionSituations.h"
#include "tests/support/RealData.h"
#include "tests/support/SignatureLists.h"
#include "tests/support/Situations.h"

namespace certvane::test {
namespace {

ReadinessMachine With(std::string name, std::initializer_list<const char*> db,
                      std::initializer_list<const char*> kek) {
    ScriptedMachine machine = NormalWindows11();
    SetRealDb(machine, db);
    SetRealKek(machine, kek);
    InstallSecureBootTask(machine);
    return {std::move(name), std::move(machine)};
}

ReadinessMachine WithFiveAnd(std::string name, std::initializer_list<const char*> kek) {
    return With(std::move(name),
                {RealCert::Pca2011, RealCert::UefiCa2011, RealCert::WindowsCa2023,
                 RealCert::UefiCa2023, RealCert::OptionRom2023},
                kek);
}

}  // namespace

ReadinessMachine Kek2011Only() {
    return WithFiveAnd("KEK 2011 only", {RealCert::Kek2011});
}

ReadinessMachine BothKeks() {
    return WithFiveAnd("both KEKs", {RealCert::Kek2011, RealCert::Kek2023});
}

ReadinessMachine NoThirdPartyCa2011() {
    return With("no third-party CA 2011", {RealCert::Pca2011, RealCert::WindowsCa2023},
                {RealCert::Kek2011, RealCert::Kek2023});
}

ReadinessMachine ThirdPartyCa2011Without2023Pair() {
    return With("third-party CA 2011 without the 2023 pair",
                {RealCert::Pca2011, RealCert::UefiCa2011, RealCert::WindowsCa2023},
                {RealCert::Kek2011, RealCert::Kek2023});
}

ReadinessMachine Revoked2023() {
    ReadinessMachine m = BothKeks();
    m.name = "Windows UEFI CA 2023 revoked";
    SetRealDbx(m.machine, {RealCert::WindowsCa2023});
    return m;
}

ReadinessMachine KekUnreadable() {
    ReadinessMachine m = BothKeks();
    m.name = "KEK unreadable";
    m.machine.firmwareFailures[{L"KEK", GuidToText(EfiGlobalVariableGuid)}] =
        FirmwareReadFailure::Other;
    return m;
}

ReadinessMachine NameOnlyWindowsCa() {
    ReadinessMachine m =
        With("name-only Windows UEFI CA 2023", {RealCert::Pca2011, RealCert::UefiCa2011},
             {RealCert::Kek2011, RealCert::Kek2023});
    const Bytes impostor = X509List(NameOnlyCertificate("windows-uefi-ca-2023.der"));
    const std::wstring security = GuidToText(ImageSecurityDatabaseGuid);
    Bytes db = RealStore(
        {RealCert::Pca2011, RealCert::UefiCa2011, RealCert::UefiCa2023, RealCert::OptionRom2023});
    db.insert(db.end(), impostor.begin(), impostor.end());
    m.machine.SetFirmwareVariable(L"db", security, db);
    return m;
}

}  // namespace certvane::test
