#include <windows.h>
#include <wincrypt.h>

#include <vector>

#include "platform/win32/SystemLibraries.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"

namespace certvane {
namespace {

constexpr DWORD kEncoding = X509_ASN_ENCODING | PKCS_7_ASN_ENCODING;

}  // namespace

// Stores, messages and certificates come only from OpenSignedObject, which needs crypt32: every
// call that takes one finds the entry table loaded.

std::optional<SignedObject> Win32Platform::OpenSignedObject(std::wstring_view path) {
    const Crypt32Entries* crypt = Crypt32();
    if (crypt == nullptr) return std::nullopt;
    const std::wstring file = Terminated(path);
    HCERTSTORE store = nullptr;
    HCRYPTMSG message = nullptr;
    if (!crypt->CryptQueryObject(CERT_QUERY_OBJECT_FILE, file.c_str(), CERT_QUERY_CONTENT_FLAG_ALL,
                                 CERT_QUERY_FORMAT_FLAG_ALL, 0, nullptr, nullptr, nullptr, &store,
                                 &message, nullptr)) {
        return std::nullopt;
    }
    SignedObject object;
    if (store != nullptr) object.store = FromNative<CertStoreHandle>(store);
    if (message != nullptr) object.message = FromNative<CryptMessageHandle>(message);
    return object;
}

std::optional<CertContextHandle> Win32Platform::FirstStoreCertificate(CertStoreHandle store) {
    PCCERT_CONTEXT certificate = Crypt32()->CertFindCertificateInStore(
        ToNative<HCERTSTORE>(store), kEncoding, 0, CERT_FIND_ANY, nullptr, nullptr);
    if (certificate == nullptr) return std::nullopt;
    return FromNative<CertContextHandle>(certificate);
}

std::optional<CertContextHandle> Win32Platform::SignerCertificate(CertStoreHandle store,
                                                                  CryptMessageHandle message) {
    const Crypt32Entries* crypt = Crypt32();
    DWORD size = 0;
    const HCRYPTMSG msg = ToNative<HCRYPTMSG>(message);
    if (!crypt->CryptMsgGetParam(msg, CMSG_SIGNER_CERT_INFO_PARAM, 0, nullptr, &size) ||
        size == 0) {
        return std::nullopt;
    }
    std::vector<BYTE> info(size);
    if (!crypt->CryptMsgGetParam(msg, CMSG_SIGNER_CERT_INFO_PARAM, 0, info.data(), &size)) {
        return std::nullopt;
    }
    PCCERT_CONTEXT certificate = crypt->CertGetSubjectCertificateFromStore(
        ToNative<HCERTSTORE>(store), kEncoding, reinterpret_cast<PCERT_INFO>(info.data()));
    if (certificate == nullptr) return std::nullopt;
    return FromNative<CertContextHandle>(certificate);
}

std::wstring Win32Platform::CertificateDisplayName(CertContextHandle certificate,
                                                   CertNameOf whose) {
    const Crypt32Entries* crypt = Crypt32();
    const auto context = ToNative<PCCERT_CONTEXT>(certificate);
    const DWORD flags = whose == CertNameOf::Issuer ? CERT_NAME_ISSUER_FLAG : 0;
    const DWORD length = crypt->CertGetNameStringW(context, CERT_NAME_SIMPLE_DISPLAY_TYPE, flags,
                                                   nullptr, nullptr, 0);
    if (length <= 1) return {};
    std::wstring name(length, L'\0');
    crypt->CertGetNameStringW(context, CERT_NAME_SIMPLE_DISPLAY_TYPE, flags, nullptr, name.data(),
                              length);
    name.resize(length - 1);
    return name;
}

void Win32Platform::FreeCertificate(CertContextHandle certificate) {
    Crypt32()->CertFreeCertificateContext(ToNative<PCCERT_CONTEXT>(certificate));
}

void Win32Platform::CloseCertificateStore(CertStoreHandle store) {
    Crypt32()->CertCloseStore(ToNative<HCERTSTORE>(store), 0);
}

void Win32Platform::CloseSignedMessage(CryptMessageHandle message) {
    Crypt32()->CryptMsgClose(ToNative<HCRYPTMSG>(message));
}

}  // namespace certvane
