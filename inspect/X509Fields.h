#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace certvane {

// What the certificate matrix states of one X.509 certificate.
struct X509Fields {
    std::wstring subjectCommonName;  // empty when the name has no CN
    std::wstring issuerCommonName;
    std::string notAfter;  // "YYYY-MM-DD", UTC
};

// Where the parts a signature check needs lie inside a certificate's DER bytes.
struct X509Parts {
    std::span<const std::uint8_t> toBeSigned;     // the whole TBSCertificate
    std::span<const std::uint8_t> serialNumber;   // the INTEGER's contents
    std::span<const std::uint8_t> issuer;         // the whole Name, tag and length included
    std::span<const std::uint8_t> subject;        // likewise
    std::span<const std::uint8_t> publicKeyInfo;  // the whole SubjectPublicKeyInfo
};

// nullopt when the bytes are not exactly one certificate this reader understands.
std::optional<X509Parts> ReadX509Parts(std::span<const std::uint8_t> der);

// Reads the fields from DER bytes that hold exactly one certificate; nullopt when the bytes
// are no certificate this reader understands. Every length is checked against its parent.
std::optional<X509Fields> ReadX509Fields(std::span<const std::uint8_t> der);

}  // namespace certvane
