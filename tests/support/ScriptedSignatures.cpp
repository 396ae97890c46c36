// The scripted machine's embedded signatures.
#include "tests/support/ScriptedMachine.h"

namespace certvane::test {

std::optional<SignedObject> ScriptedMachine::OpenSignedObject(std::wstring_view path) {
    const ScriptedFile* file = FileAt(path);
    if (file == nullptr || file->unreadable || !file->signature) return std::nullopt;
    Handle store{HandleKind::Store, std::wstring(path)};
    store.text = path;
    Handle message{HandleKind::Message, std::wstring(path)};
    message.text = path;
    return SignedObject{CertStoreHandle{NewHandle(std::move(store))},
                        CryptMessageHandle{NewHandle(std::move(message))}};
}

std::optional<CertContextHandle> ScriptedMachine::FirstStoreCertificate(CertStoreHandle store) {
    const Handle* handle = FindHandle(static_cast<std::uintptr_t>(store), HandleKind::Store);
    if (handle == nullptr) return std::nullopt;
    const ScriptedFile* file = FileAt(handle->text);
    if (file == nullptr || file->signature->certificates.empty()) return std::nullopt;
    Handle certificate{HandleKind::Certificate, L"first of " + handle->text, 0};
    certificate.text = handle->text;
    return CertContextHandle{NewHandle(std::move(certificate))};
}

std::optional<CertContextHandle> ScriptedMachine::SignerCertificate(CertStoreHandle store,
                                                                    CryptMessageHandle message) {
    const Handle* storeHandle = FindHandle(static_cast<std::uintptr_t>(store), HandleKind::Store);
    if (storeHandle == nullptr ||
        FindHandle(static_cast<std::uintptr_t>(message), HandleKind::Message) == nullptr) {
        return std::nullopt;
    }
    const ScriptedFile* file = FileAt(storeHandle->text);
    if (file == nullptr) return std::nullopt;
    const ScriptedSignature& signature = *file->signature;
    if (!signature.signer || *signature.signer >= signature.certificates.size())
        return std::nullopt;
    Handle certificate{HandleKind::Certificate, L"signer of " + storeHandle->text,
                       *signature.signer};
    certificate.text = storeHandle->text;
    return CertContextHandle{NewHandle(std::move(certificate))};
}

std::wstring ScriptedMachine::CertificateDisplayName(CertContextHandle certificate,
                                                     CertNameOf whose) {
    const Handle* handle =
        FindHandle(static_cast<std::uintptr_t>(certificate), HandleKind::Certificate);
    if (handle == nullptr) return {};
    const ScriptedFile* file = FileAt(handle->text);
    if (file == nullptr) return {};
    const ScriptedCertificate& cert = file->signature->certificates[handle->index];
    return whose == CertNameOf::Issuer ? cert.issuer : cert.subject;
}

void ScriptedMachine::FreeCertificate(CertContextHandle certificate) {
    ReleaseHandle(static_cast<std::uintptr_t>(certificate), HandleKind::Certificate,
                  L"FreeCertificate");
}

void ScriptedMachine::CloseCertificateStore(CertStoreHandle store) {
    ReleaseHandle(static_cast<std::uintptr_t>(store), HandleKind::Store, L"CloseCertificateStore");
}

void ScriptedMachine::CloseSignedMessage(CryptMessageHandle message) {
    ReleaseHandle(static_cast<std::uintptr_t>(message), HandleKind::Message, L"CloseSignedMessage");
}

}  // namespace certvane::test
