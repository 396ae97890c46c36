#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "inspect/Authenticode.h"

namespace certvane {

// One entry of a PE file's certificate table, read as an Authenticode signature. What it
// proves about the file is read here; whom it chains to is judged against db and dbx later.
struct EmbeddedSignature {
    // The signature parsed and names a signer whose certificate it carries; an entry without
    // one makes the firmware refuse the file.
    bool readable = false;
    // The digest the signed content names for the file; nullopt when it is none of the four.
    std::optional<DigestAlgorithm> digestAlgorithm;
    // That digest is the file's Authenticode digest under that algorithm.
    bool fileDigestMatches = false;
    // The signer's messageDigest attribute is the digest of the signed content.
    bool messageDigestMatches = false;
    std::vector<std::vector<std::uint8_t>> certificates;  // DER, in the order carried
    std::size_t signer = 0;                               // index of the signer's certificate
    // What the signer's key must have signed, in the form of a signed certificate:
    // SEQUENCE { signed attributes (as a SET), signature algorithm, BIT STRING signature }.
    std::vector<std::uint8_t> signedAttributes;
    // The common name of the signer certificate's issuer (the authority whose generation the
    // file belongs to); for an unreadable entry, the subject of the first certificate carried.
    std::wstring authority;
};

struct CertificateTable {
    // The table parses to its exact end, entry by entry (each padded to eight bytes).
    bool intact = true;
    std::vector<EmbeddedSignature> signatures;  // the Authenticode entries, in table order
};

// Reads every entry of the image's certificate table. Other entry types are skipped, and
// signatures nested in a signature's unsigned attributes are never read.
CertificateTable ReadCertificateTable(std::span<const std::uint8_t> image, const PeLayout& layout);

}  // namespace certvane
