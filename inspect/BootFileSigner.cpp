#include "inspect/BootFileSigner.h"

#include "inspect/SignatureDatabase.h"

namespace certvane {
namespace {

std::wstring CommonNameOf(SignatureApi& signatures, CertContextHandle certificate,
                          CertNameOf whose) {
    const std::wstring displayName = signatures.CertificateDisplayName(certificate, whose);
    signatures.FreeCertificate(certificate);
    return CertificateNameFromDisplayName(displayName);
}

// The leaf certificate of a signature names a product ("Microsoft Windows"), not a
// generation; the authority is the leaf's issuer.
std::wstring AuthorityName(SignatureApi& signatures, const SignedObject& object) {
    if (!object.store) return {};
    if (object.message) {
        if (const auto signer = signatures.SignerCertificate(*object.store, *object.message)) {
            return CommonNameOf(signatures, *signer, CertNameOf::Issuer);
        }
    }
    if (const auto first = signatures.FirstStoreCertificate(*object.store)) {
        return CommonNameOf(signatures, *first, CertNameOf::Subject);
    }
    return {};
}

}  // namespace

std::wstring GetFileSignerName(Platform& platform, std::wstring_view path) {
    const auto object = platform.OpenSignedObject(path);
    if (!object) return {};
    std::wstring name = AuthorityName(platform, *object);
    if (object->store) platform.CloseCertificateStore(*object->store);
    if (object->message) platform.CloseSignedMessage(*object->message);
    return name;
}

}  // namespace certvane
