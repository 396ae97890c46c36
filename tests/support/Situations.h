#pragma once

#include <string>

#include "tests/support/ScriptedMachine.h"

namespace certvane::test {

// A file whose content is SignedBootFile(authority).
ScriptedFile SignedFile(std::wstring_view authority);

// A db holding the given certificates, one X.509 list each.
Bytes DbImage(std::initializer_list<std::wstring_view> names);
void SetDb(ScriptedMachine& machine, std::initializer_list<std::wstring_view> names);
void SetDbx(ScriptedMachine& machine, std::initializer_list<std::wstring_view> names);

// Microsoft's real certificates (file names under realdata/certs), one X.509 list each, as
// the stores of the machine.
namespace RealCert {
inline constexpr char Pca2011[] = "microsoft-windows-production-pca-2011.der";
inline constexpr char UefiCa2011[] = "microsoft-corporation-uefi-ca-2011.der";
inline constexpr char WindowsCa2023[] = "windows-uefi-ca-2023.der";
inline constexpr char UefiCa2023[] = "microsoft-uefi-ca-2023.der";
inline constexpr char OptionRom2023[] = "microsoft-option-rom-uefi-ca-2023.der";
inline constexpr char Kek2011[] = "microsoft-corporation-kek-ca-2011.der";
inline constexpr char Kek2023[] = "microsoft-corporation-kek-2k-ca-2023.der";
}  // namespace RealCert
Bytes RealStore(std::initializer_list<const char*> files);
void SetRealDb(ScriptedMachine& machine, std::initializer_list<const char*> files);
void SetRealKek(ScriptedMachine& machine, std::initializer_list<const char*> files);
// A dbx of two hashes and the given real certificates.
void SetRealDbx(ScriptedMachine& machine, std::initializer_list<const char*> files);

// The registry values of a Windows version (CurrentVersion key, relative to SOFTWARE).
void SetVersion(RegistryTree& tree, std::wstring_view key, std::wstring_view build,
                std::uint32_t ubr, std::wstring_view editionId, std::wstring_view productName);

inline constexpr wchar_t kOnlineVersionKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

// An empty machine as every program of the project leaves it at start-up: with the firmware
// privilege enabled. The machines below start from it.
ScriptedMachine AfterStartUp();

// Whole machines. Volume indices are named in each for the tests that change them.
namespace Windows11 {
inline constexpr std::size_t Esp = 0, System = 1, Recovery = 2, Dvd = 3;
}
// A running Windows 11 Pro 26100.4652 on disk 0 with UEFI, Secure Boot, Microsoft's real
// five certificates in db and both KEKs in KEK, a letterless ESP whose boot manager is signed under
// Windows UEFI CA 2023, BitLocker on and unlocked (TPM and a recovery password), and a DVD drive.
ScriptedMachine NormalWindows11();

namespace WinPe {
inline constexpr std::size_t RamDrive = 0, BootMedium = 1;
}
// Windows PE 26100 booted from a USB stick (D:, disk 1, loader signed under PCA 2011),
// Microsoft's real 2011 certificates in db and KEK, no WMI, no offline installation yet.
ScriptedMachine WinPeBase();
// ... with Windows 10 Pro 19045.5737 on C: (disk 0) and its ESP on disk 0 (boot manager
// signed under PCA 2011), BitLocker recorded as on in the offline SYSTEM hive.
ScriptedMachine WinPeWithOfflineOnC();
// ... with Windows 11 Enterprise 22631 on a USB disk E: (disk 2) and its ESP on disk 2
// (boot manager signed under Windows UEFI CA 2023); disk 0 holds only data on C:.
ScriptedMachine WinPeWithOfflineOnUsb();

// A legacy BIOS machine: no firmware variables, no Secure Boot value, no ESP; a letterless
// "System Reserved" NTFS volume on disk 0; mountvol finds no ESP.
ScriptedMachine LegacyBiosMachine();

// The hive of an installation (SOFTWARE or SYSTEM) as a file.
ScriptedFile HiveFile(RegistryTree tree);

}  // namespace certvane::test
