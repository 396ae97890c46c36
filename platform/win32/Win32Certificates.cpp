#include <windows.h>
#include <wincrypt.h>

#include <string>

#include "platform/win32/SystemLibraries.h"
#include "platform/win32/Win32Platform.h"

namespace certvane {

std::optional<std::wstring> Win32Platform::CertificateSubjectName(
    std::span<const std::uint8_t> der) {
    const Crypt32Entries* crypt = Crypt32();
    if (crypt == nullptr || der.size() > MAXDWORD) return std::nullopt;
    PCCERT_CONTEXT cert = crypt->CertCreateCertificateContext(
        X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, der.data(), static_cast<DWORD>(der.size()));
    if (cert == nullptr) return std::nullopt;
    std::wstring name;
    const DWORD length =
        crypt->CertGetNameStringW(cert, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, nullptr, 0);
    if (length > 1) {
        name.resize(length);
        crypt->CertGetNameStringW(cert, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name.data(),
                                  length);
        name.resize(length - 1);
    }
    crypt->CertFreeCertificateContext(cert);
    return name;
}

}  // namespace certvane
