#include <windows.h>
#include <wincrypt.h>

#include <string>

#include "platform/win32/Win32Platform.h"

namespace certvane {

std::optional<std::wstring> Win32Platform::CertificateSubjectName(
    std::span<const std::uint8_t> der) {
    if (der.size() > MAXDWORD) return std::nullopt;
    PCCERT_CONTEXT cert = CertCreateCertificateContext(X509_ASN_ENCODING | PKCS_7_ASN_ENCODING,
                                                       der.data(), static_cast<DWORD>(der.size()));
    if (cert == nullptr) return std::nullopt;
    std::wstring name;
    const DWORD length = CertGetNameStringW(cert, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr,
                                            nullptr, 0);
    if (length > 1) {
        name.resize(length);
        CertGetNameStringW(cert, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name.data(), length);
        name.resize(length - 1);
    }
    CertFreeCertificateContext(cert);
    return name;
}

}  // namespace certvane
