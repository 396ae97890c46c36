#include "tests/support/Situations.h"

#include "inspect/CapturedFirmware.h"
#include "inspect/SignatureDatabase.h"
#include "tests/support/RealData.h"
#include "tests/support/SignatureLists.h"
#include "tests/support/SignedImages.h"

namespace certvane::test {
namespace {

const std::wstring kImageSecurityGuid = GuidToText(ImageSecurityDatabaseGuid);
const std::wstring kGlobalGuid = GuidToText(EfiGlobalVariableGuid);

ScriptedVolume Volume(int number, std::wstring fileSystem, int disk, std::uint32_t driveType) {
    ScriptedVolume volume;
    volume.name =
        L"\\\\?\\Volume{0000000" + std::to_wstring(number) + L"-0000-0000-0000-000000000000}\\";
    volume.fileSystem = std::move(fileSystem);
    volume.disk = disk;
    volume.driveType = driveType;
    return volume;
}

ScriptedFile VersionedFile(std::uint32_t build, std::uint32_t revision) {
    ScriptedFile file;
    file.version = FixedFileVersion{10u << 16, build << 16 | revision};
    return file;
}

}  // namespace

ScriptedFile SignedFile(std::wstring_view authority) {
    ScriptedFile file;
    file.content = SignedBootFile(authority);
    return file;
}

ScriptedFile HiveFile(RegistryTree tree) {
    ScriptedFile file;
    file.hive = std::move(tree);
    return file;
}

Bytes DbImage(std::initializer_list<std::wstring_view> names) {
    Bytes image;
    for (std::wstring_view name : names) {
        const Bytes list = X509List(FakeCertificate(name));
        image.insert(image.end(), list.begin(), list.end());
    }
    return image;
}

void SetDb(ScriptedMachine& machine, std::initializer_list<std::wstring_view> names) {
    machine.SetFirmwareVariable(L"db", kImageSecurityGuid, DbImage(names));
}

void SetDbx(ScriptedMachine& machine, std::initializer_list<std::wstring_view> names) {
    Bytes image;
    AppendList(image, {Sha256Type}, {Bytes(32, 0xAB), Bytes(32, 0xCD)});
    const Bytes certs = DbImage(names);
    image.insert(image.end(), certs.begin(), certs.end());
    machine.SetFirmwareVariable(L"dbx", kImageSecurityGuid, image);
}

Bytes RealStore(std::initializer_list<const char*> files) {
    Bytes image;
    for (const char* file : files) {
        const Bytes list = X509List(RealCertificate(file));
        image.insert(image.end(), list.begin(), list.end());
    }
    return image;
}

void SetRealDb(ScriptedMachine& machine, std::initializer_list<const char*> files) {
    machine.SetFirmwareVariable(L"db", kImageSecurityGuid, RealStore(files));
}

void SetRealKek(ScriptedMachine& machine, std::initializer_list<const char*> files) {
    machine.SetFirmwareVariable(L"KEK", kGlobalGuid, RealStore(files));
}

void SetRealDbx(ScriptedMachine& machine, std::initializer_list<const char*> files) {
    Bytes image;
    AppendList(image, {Sha256Type}, {Bytes(32, 0xAB), Bytes(32, 0xCD)});
    const Bytes certs = RealStore(files);
    image.insert(image.end(), certs.begin(), certs.end());
    machine.SetFirmwareVariable(L"dbx", kImageSecurityGuid, image);
}

void SetVersion(RegistryTree& tree, std::wstring_view key, std::wstring_view build,
                std::uint32_t ubr, std::wstring_view editionId, std::wstring_view productName) {
    SetValue(tree, key, L"CurrentBuild", StringValue(build));
    SetValue(tree, key, L"UBR", DwordValue(ubr));
    SetValue(tree, key, L"EditionID", StringValue(editionId));
    SetValue(tree, key, L"ProductName", StringValue(productName));
}

ScriptedMachine AfterStartUp() {
    ScriptedMachine m;
    m.enabledPrivileges.insert(L"SeSystemEnvironmentPrivilege");
    return m;
}

ScriptedMachine NormalWindows11() {
    ScriptedMachine m = AfterStartUp();
    m.AddVolume(Volume(1, L"FAT32", 0, DriveFixed));
    m.AddVolume(Volume(2, L"NTFS", 0, DriveFixed));
    m.AddVolume(Volume(3, L"NTFS", 0, DriveFixed));
    m.AddVolume(Volume(4, L"CDFS", -1, 5));
    m.AssignLetter(L'C', Windows11::System);
    m.AssignLetter(L'D', Windows11::Dvd);
    const std::wstring esp = m.volumes[Windows11::Esp].name;
    m.PutFile(esp + L"EFI\\Microsoft\\Boot\\bootmgfw.efi", SignedFile(L"Windows UEFI CA 2023"));
    m.PutFile(esp + L"EFI\\Boot\\bootx64.efi", SignedFile(L"Windows UEFI CA 2023"));
    m.PutFile(m.volumes[Windows11::Recovery].name + L"Recovery\\WindowsRE\\Winre.wim");
    m.mountvolEsp = Windows11::Esp;
    m.PutFolder(m.tempDirectory);
    m.PutFile(L"C:\\Windows\\System32\\config\\SYSTEM");
    m.PutFile(L"C:\\Windows\\System32\\config\\SOFTWARE");
    m.PutFile(L"C:\\Windows\\System32\\winver.exe", VersionedFile(26100, 4652));
    m.PutFile(L"C:\\Windows\\System32\\ntoskrnl.exe", VersionedFile(26100, 4652));
    m.PutFile(L"C:\\Windows\\Boot\\EFI\\bootmgfw.efi", SignedFile(L"Windows UEFI CA 2023"));
    m.SetRegistryValue(L"SYSTEM\\CurrentControlSet\\Control", L"SystemStartOptions",
                       StringValue(L" NOEXECUTE=OPTIN  NOVGA"));
    m.SetRegistryValue(L"SYSTEM\\CurrentControlSet\\Control\\SecureBoot\\State",
                       L"UEFISecureBootEnabled", DwordValue(1));
    SetVersion(m.registry, kOnlineVersionKey, L"26100", 4652, L"Professional", L"Windows 10 Pro");
    m.firmwareType = FirmwareTypeUefi;
    SetRealDb(m, {RealCert::Pca2011, RealCert::UefiCa2011, RealCert::WindowsCa2023,
                  RealCert::UefiCa2023, RealCert::OptionRom2023});
    SetRealKek(m, {RealCert::Kek2011, RealCert::Kek2023});
    SetDbx(m, {});
    m.encryptableVolumes[L"C:"] = {WmiValue{VariantInt32, 1},
                                   WmiValue{VariantInt32, 1},
                                   {{L"{TPM-0001}", 1}, {L"{PASSWORD-0002}", 3}}};
    m.encryptableVolumes[L"D:"] = {WmiValue{VariantInt32, 0}, WmiValue{VariantInt32, 0}};
    return m;
}

ScriptedMachine WinPeBase() {
    ScriptedMachine m = AfterStartUp();
    m.windowsDirectory = L"X:\\Windows";
    m.systemDirectory = L"X:\\Windows\\system32";
    m.tempDirectory = L"X:\\Windows\\TEMP\\";
    m.currentDirectory = L"X:\\Windows\\system32";
    m.AddVolume(Volume(1, L"NTFS", -1, DriveFixed));
    m.AddVolume(Volume(2, L"FAT32", 1, DriveRemovable));
    m.AssignLetter(L'X', WinPe::RamDrive);
    m.AssignLetter(L'D', WinPe::BootMedium);
    m.PutFolder(m.tempDirectory);
    m.PutFile(L"X:\\Windows\\System32\\winpeshl.exe");
    m.PutFile(L"X:\\Windows\\System32\\config\\SYSTEM");
    m.PutFile(L"X:\\Windows\\System32\\config\\SOFTWARE");
    m.PutFile(L"D:\\EFI\\BOOT\\BOOTX64.EFI", SignedFile(L"Microsoft Windows Production PCA 2011"));
    m.PutFile(L"D:\\EFI\\Microsoft\\Boot\\bootmgfw.efi",
              SignedFile(L"Microsoft Windows Production PCA 2011"));
    m.PutFile(L"D:\\sources\\boot.wim");
    m.SetRegistryValue(L"SYSTEM\\CurrentControlSet\\Control", L"SystemStartOptions",
                       StringValue(L" MININT  REDIRECT=COM1"));
    m.SetRegistryValue(L"SYSTEM\\CurrentControlSet\\Control\\SecureBoot\\State",
                       L"UEFISecureBootEnabled", DwordValue(1));
    SetVersion(m.registry, kOnlineVersionKey, L"26100", 1, L"WindowsPE", L"Windows PE");
    m.firmwareType = FirmwareTypeUefi;
    SetRealDb(m, {RealCert::Pca2011, RealCert::UefiCa2011});
    SetRealKek(m, {RealCert::Kek2011});
    SetDbx(m, {});
    m.wmiAvailable = false;
    return m;
}

namespace {

RegistryTree OfflineSystemHive(std::uint32_t protectionStatus) {
    RegistryTree tree;
    SetValue(tree, L"Select", L"Current", DwordValue(1));
    SetValue(tree, L"ControlSet001\\Control\\BitLockerStatus", L"ProtectionStatus",
             DwordValue(protectionStatus));
    return tree;
}

void AddOfflineInstallation(ScriptedMachine& m, wchar_t letter, std::size_t system, std::size_t esp,
                            std::wstring_view build, std::uint32_t ubr, std::wstring_view edition,
                            std::wstring_view espAuthority) {
    m.AssignLetter(letter, system);
    const std::wstring root = std::wstring(1, letter) + L":\\Windows\\";
    RegistryTree software;
    SetVersion(software, L"Microsoft\\Windows NT\\CurrentVersion", build, ubr, edition, L"");
    m.PutFile(root + L"System32\\config\\SOFTWARE", HiveFile(software));
    m.PutFile(root + L"System32\\config\\SYSTEM", HiveFile(OfflineSystemHive(1)));
    m.PutFile(root + L"System32\\winver.exe");
    m.PutFile(root + L"Boot\\EFI\\bootmgfw.efi", SignedFile(espAuthority));
    m.PutFile(m.volumes[esp].name + L"EFI\\Microsoft\\Boot\\bootmgfw.efi",
              SignedFile(espAuthority));
}

}  // namespace

ScriptedMachine WinPeWithOfflineOnC() {
    ScriptedMachine m = WinPeBase();
    const std::size_t esp = m.AddVolume(Volume(3, L"FAT32", 0, DriveFixed));
    const std::size_t system = m.AddVolume(Volume(4, L"NTFS", 0, DriveFixed));
    AddOfflineInstallation(m, L'C', system, esp, L"19045", 5737, L"Professional",
                           L"Microsoft Windows Production PCA 2011");
    return m;
}

ScriptedMachine WinPeWithOfflineOnUsb() {
    ScriptedMachine m = WinPeBase();
    const std::size_t data = m.AddVolume(Volume(3, L"NTFS", 0, DriveFixed));
    m.AssignLetter(L'C', data);
    m.PutFile(L"C:\\Users\\Public\\notes.txt");
    // A USB disk with a GPT layout of its own (Windows To Go): its ESP is one by type.
    ScriptedVolume espVolume = Volume(4, L"FAT32", 2, DriveRemovable);
    espVolume.partition = {PartitionStyle::Gpt, EspPartitionType, 0};
    const std::size_t esp = m.AddVolume(std::move(espVolume));
    const std::size_t system = m.AddVolume(Volume(5, L"NTFS", 2, DriveRemovable));
    AddOfflineInstallation(m, L'E', system, esp, L"22631", 0, L"Enterprise",
                           L"Windows UEFI CA 2023");
    return m;
}

ScriptedMachine LegacyBiosMachine() {
    ScriptedMachine m = AfterStartUp();
    const std::size_t reserved = m.AddVolume(Volume(1, L"NTFS", 0, DriveFixed));
    const std::size_t system = m.AddVolume(Volume(2, L"NTFS", 0, DriveFixed));
    m.AssignLetter(L'C', system);
    m.PutFile(m.volumes[reserved].name + L"Boot\\BCD");
    m.PutFile(m.volumes[reserved].name + L"bootmgr");
    m.PutFolder(m.tempDirectory);
    m.PutFile(L"C:\\Windows\\System32\\config\\SYSTEM");
    m.PutFile(L"C:\\Windows\\System32\\winver.exe", VersionedFile(19045, 3803));
    SetVersion(m.registry, kOnlineVersionKey, L"19045", 3803, L"Core", L"Windows 10 Home");
    m.firmwareType = FirmwareTypeBios;
    m.encryptableVolumes.clear();
    return m;
}

}  // namespace certvane::test
