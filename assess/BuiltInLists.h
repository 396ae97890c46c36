#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace certvane {

// Microsoft's published lists, built into the program from their JSON files (see
// generate-builtin-lists.py); nothing is read at run time.

// A platform key for which Microsoft holds a KEK update signed by it.
struct KekUpdateEntry {
    std::string_view thumbprint;  // SHA-1 of the PK certificate, lower-case hex
    std::string_view updateFile;
    std::string_view issuedTo;
    std::string_view issuedBy;
};
extern const std::string_view KekUpdateMapDate;
extern const std::span<const KekUpdateEntry> KekUpdateMap;  // sorted by thumbprint

// An x64 image whose Authenticode SHA-256 Microsoft's current dbx lists.
struct DbxImageHash {
    std::array<std::uint8_t, 32> sha256;
    std::string_view fileName;
};
struct DbxRevokedCertificate {
    std::string_view thumbprint;
    std::string_view subject;
};
// The latest security version of one boot application.
struct DbxSvn {
    std::array<std::uint8_t, 16> application;  // its GUID as firmware stores it
    std::uint16_t major;
    std::uint16_t minor;
    std::string_view fileName;
};
extern const std::string_view DbxListDate;  // the latest date the list records
extern const std::span<const DbxImageHash> DbxX64Hashes;
extern const std::span<const DbxRevokedCertificate> DbxCertificates;
extern const std::span<const DbxSvn> DbxSvns;

}  // namespace certvane
