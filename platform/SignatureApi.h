#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/Handles.h"

namespace certvane {

// What opening a file as a cryptographic object yields; either part may be missing.
struct SignedObject {
    std::optional<CertStoreHandle> store;
    std::optional<CryptMessageHandle> message;
};

enum class CertNameOf { Subject, Issuer };

// Embedded signatures (Authenticode) and the certificates they carry.
class SignatureApi {
  public:
    // Any content type and format; nullopt when the file is no cryptographic object.
    virtual std::optional<SignedObject> OpenSignedObject(std::wstring_view path) = 0;
    // The first certificate of the store's enumeration.
    virtual std::optional<CertContextHandle> FirstStoreCertificate(CertStoreHandle store) = 0;
    // The certificate of the message's first signer, found in the store by issuer and
    // serial number.
    virtual std::optional<CertContextHandle> SignerCertificate(CertStoreHandle store,
                                                               CryptMessageHandle message) = 0;
    // The simple display name of the certificate's subject or issuer; empty when it has none.
    virtual std::wstring CertificateDisplayName(CertContextHandle certificate,
                                                CertNameOf whose) = 0;
    virtual void FreeCertificate(CertContextHandle certificate) = 0;
    virtual void CloseCertificateStore(CertStoreHandle store) = 0;
    virtual void CloseSignedMessage(CryptMessageHandle message) = 0;

  protected:
    ~SignatureApi() = default;
};

}  // namespace certvane
