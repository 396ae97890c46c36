#pragma once

#include <cstdint>
#include <span>

namespace certvane {

enum class SignatureCheck {
    Valid,
    Invalid,      // the signature does not verify, or its algorithm is not one the system checks
    Unavailable,  // the system cannot check signatures at all
};

// Signature checks by the system's cryptography.
class SignatureApi {
  public:
    // Whether `signedContent`, DER in the form of a signed certificate (SEQUENCE { to-be-signed
    // bytes, signature AlgorithmIdentifier, BIT STRING signature }), carries a valid signature
    // made with the key of `publicKeyInfo` (a DER SubjectPublicKeyInfo). Certificates are
    // checked as they are; other signed data is wrapped into that form first.
    virtual SignatureCheck VerifySignedContent(std::span<const std::uint8_t> signedContent,
                                               std::span<const std::uint8_t> publicKeyInfo) = 0;

  protected:
    ~SignatureApi() = default;
};

}  // namespace certvane
