#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace certvane {

// Certificate decoding.
class CertificateApi {
  public:
    // The subject's simple display name of a DER X.509 certificate: empty when the certificate
    // has none, nullopt when the bytes are no certificate.
    virtual std::optional<std::wstring> CertificateSubjectName(
        std::span<const std::uint8_t> der) = 0;

  protected:
    ~CertificateApi() = default;
};

}  // namespace certvane
