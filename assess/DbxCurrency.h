#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "assess/CertificateMatrix.h"
#include "assess/ReferenceLists.h"
#include "inspect/Sha.h"

namespace certvane {

// Owner of the dbx entries that hold security version numbers instead of hashes.
inline constexpr Guid SvnOwnerGuid{
    0x9D132B6C, 0x59D5, 0x4388, {0xAB, 0x1C, 0x18, 0x5C, 0xFC, 0xB2, 0xEB, 0x92}};

struct SecurityVersion {
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    friend auto operator<=>(const SecurityVersion&, const SecurityVersion&) = default;
};

// One boot application's version floor: Microsoft's latest, and the highest the dbx holds.
struct SvnState {
    const DbxSvn* latest;
    std::optional<SecurityVersion> held;
    bool Current() const { return held && *held >= SecurityVersion{latest->major, latest->minor}; }
};

// How far the machine's dbx is behind Microsoft's current list.
struct DbxCurrency {
    std::size_t hashesListed = 0;            // x64 image hashes of the list
    std::size_t listedHashesHeld = 0;        // of those
    std::size_t certificatesListed = 0;      // certificates the list revokes
    std::size_t listedCertificatesHeld = 0;  // of those, by thumbprint
    bool pca2011Revoked = false;             // Microsoft's very certificate, by thumbprint
    std::vector<SvnState> svns;              // as the list's, pointing into it
    bool Current() const;
};

// The SHA-256 hashes of a dbx image (the SVN entries excluded).
std::vector<Sha256Digest> DbxHashes(std::span<const std::uint8_t> dbx);

// How far `dbx` is behind `list`; the result points into `list`.
DbxCurrency AssessDbxCurrency(std::span<const std::uint8_t> dbx,
                              const std::vector<MatrixRow>& matrix, const DbxList& list);

}  // namespace certvane
