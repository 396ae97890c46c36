#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace certvane::test {

using Bytes = std::vector<std::uint8_t>;

// Whole file contents; fails the running test when the file cannot be read.
Bytes ReadWholeFile(const std::string& path);

// One of Microsoft's published transition certificates (DER), by file name.
Bytes RealCertificate(const std::string& fileName);

// The signature lists of one of Microsoft's signed variable updates: the payload after its
// EFI_TIME and WIN_CERTIFICATE_UEFI_GUID header, as it is appended to the variable.
Bytes RealUpdateLists(const std::string& fileName);

// A self-signed certificate that carries the subject of one of Microsoft's certificates (the
// file name of the real one) without being it; see tests/fixtures/make-name-only-certificates.sh.
Bytes NameOnlyCertificate(const std::string& fileName);

// Debian's signed shim (shimx64.efi.signed): signed by Microsoft under Microsoft Corporation
// UEFI CA 2011 in its first certificate-table entry and Microsoft UEFI CA 2023 in its second.
Bytes RealShim();

// The engine's own DER reader standing in for the system's certificate decoder on the host: the
// first common name of the subject, nullopt when the bytes are no X.509 certificate.
std::optional<std::wstring> DerSubjectCommonName(std::span<const std::uint8_t> der);

}  // namespace certvane::test
