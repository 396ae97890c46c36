#include <windows.h>
#include <wincrypt.h>

#include "platform/win32/SystemLibraries.h"
#include "platform/win32/Win32Platform.h"

namespace certvane {

SignatureCheck Win32Platform::VerifySignedContent(std::span<const std::uint8_t> signedContent,
                                                  std::span<const std::uint8_t> publicKeyInfo) {
    const Crypt32Entries* crypt = Crypt32();
    if (crypt == nullptr) return SignatureCheck::Unavailable;
    CERT_PUBLIC_KEY_INFO* key = nullptr;
    DWORD keySize = 0;
    if (!crypt->CryptDecodeObjectEx(X509_ASN_ENCODING, X509_PUBLIC_KEY_INFO, publicKeyInfo.data(),
                                    static_cast<DWORD>(publicKeyInfo.size()),
                                    CRYPT_DECODE_ALLOC_FLAG, nullptr, &key, &keySize)) {
        return SignatureCheck::Invalid;
    }
    CRYPT_DATA_BLOB subject{static_cast<DWORD>(signedContent.size()),
                            const_cast<BYTE*>(signedContent.data())};
    const BOOL valid = crypt->CryptVerifyCertificateSignatureEx(
        0, X509_ASN_ENCODING, CRYPT_VERIFY_CERT_SIGN_SUBJECT_BLOB, &subject,
        CRYPT_VERIFY_CERT_SIGN_ISSUER_PUBKEY, key, 0, nullptr);
    LocalFree(key);
    return valid ? SignatureCheck::Valid : SignatureCheck::Invalid;
}

}  // namespace certvane
