#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "inspect/KeyStores.h"
#include "inspect/X509Fields.h"

namespace certvane {

// A Microsoft certificate the matrix recognises, by its SHA-1 thumbprint.
struct WellKnownCertificate {
    std::string_view key;  // as CertificateKey gives it
    std::wstring_view subject;
    std::string_view thumbprint;
};

inline constexpr std::array<WellKnownCertificate, 7> WellKnownCertificates{{
    {"microsoft-windows-production-pca-2011", L"Microsoft Windows Production PCA 2011",
     "580a6f4cc4e4b669b9ebdc1b2b3e087b80d0678d"},
    {"microsoft-corporation-uefi-ca-2011", L"Microsoft Corporation UEFI CA 2011",
     "46def63b5ce61cf8ba0de2e6639c1019d0ed14f3"},
    {"windows-uefi-ca-2023", L"Windows UEFI CA 2023", "45a0fa32604773c82433c3b7d59e7466b3ac0c67"},
    {"microsoft-uefi-ca-2023", L"Microsoft UEFI CA 2023",
     "b5eeb4a6706048073f0ed296e7f580a790b59eaa"},
    {"microsoft-option-rom-uefi-ca-2023", L"Microsoft Option ROM UEFI CA 2023",
     "3fb39e2b8bd183bf9e4594e72183ca60afcd4277"},
    {"microsoft-corporation-kek-ca-2011", L"Microsoft Corporation KEK CA 2011",
     "31590bfd89c9d74ed087dfac66334b3931254b30"},
    {"microsoft-corporation-kek-2k-ca-2023", L"Microsoft Corporation KEK 2K CA 2023",
     "459ab6fb5e284d272d5e3e6abc8ed663829d632b"},
}};

inline constexpr const WellKnownCertificate& Pca2011 = WellKnownCertificates[0];
inline constexpr const WellKnownCertificate& UefiCa2011 = WellKnownCertificates[1];
inline constexpr const WellKnownCertificate& WindowsUefiCa2023 = WellKnownCertificates[2];
inline constexpr const WellKnownCertificate& MicrosoftUefiCa2023 = WellKnownCertificates[3];
inline constexpr const WellKnownCertificate& OptionRomUefiCa2023 = WellKnownCertificates[4];
inline constexpr const WellKnownCertificate& Kek2011 = WellKnownCertificates[5];
inline constexpr const WellKnownCertificate& Kek2023 = WellKnownCertificates[6];

// One X.509 entry of a signature store. Expiry is a fact about the certificate, not a
// revocation: firmware does not check dates.
struct MatrixRow {
    std::wstring_view store;
    std::optional<X509Fields> fields;  // nullopt when the entry is no readable certificate
    std::string thumbprint;            // SHA-1 of the certificate's DER bytes, lower-case hex
    const WellKnownCertificate* known = nullptr;
    bool knownByThumbprint = false;  // else only its subject names a known certificate
    bool expired = false;            // not-after lies before `today`
};

// The X.509 entries of every store in `keys`, store by store in image order. `today` is
// "YYYY-MM-DD" (UTC).
std::vector<MatrixRow> CertificateMatrix(const KeyStores& keys, std::string_view today);

// The subject names of a store's certificates as the matrix read them.
NameList SubjectsIn(const std::vector<MatrixRow>& matrix, std::wstring_view store);

}  // namespace certvane
