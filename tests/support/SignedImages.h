#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "inspect/Digest.h"
#include "tests/support/PeImages.h"

namespace certvane::test {

// A certificate of the scripted machine's world, with what signing under it takes.
struct TestAuthority {
    Bytes certificate;    // DER
    Bytes publicKeyInfo;  // its key
};

// Microsoft's real certificate (a file under realdata/certs): its bytes and key are real, and
// the scripted machine accepts signatures made for that key.
TestAuthority RealAuthority(const char* file);

// A certificate "C=US, O=Certvane Test, CN=<commonName>" whose key comes from `keySeed` (the
// name when empty), issued and signed by `issuer`, or self-signed without one.
TestAuthority MakeAuthority(std::wstring_view commonName, const TestAuthority* issuer,
                            std::string_view keySeed = {});

// What a signature made by AuthenticodeSignature gets wrong on purpose.
struct SignatureFlaws {
    bool fileDigest = false;     // the content names a digest that is not the file's
    bool messageDigest = false;  // messageDigest is not the content's digest
    bool signature = false;      // the signer's signature is not over its attributes
    bool noSignerInfo = false;   // the signature has no SignerInfo
};

// The PKCS#7 signature of `image` by `signer`, carrying `carried` in that order.
Bytes AuthenticodeSignature(const PeImage& image, const TestAuthority& signer,
                            std::initializer_list<const TestAuthority*> carried,
                            DigestAlgorithm digest = DigestAlgorithm::Sha256,
                            SignatureFlaws flaws = {});

// The image with its certificate table replaced by these signatures, one WIN_CERTIFICATE entry
// of PKCS signed data each, padded to eight bytes.
Bytes WithSignatures(const PeImage& image, std::initializer_list<Bytes> signatures);

// Microsoft's real certificate for one of the transition's authority names; nullptr for any
// other name.
const char* RealCertificateNamed(std::wstring_view authority);

// A boot file signed as Windows signs its boot files: by a leaf "Microsoft Windows" issued by
// `authority`, carrying the leaf, then the authority. Microsoft's names are Microsoft's real
// certificates (RealCertificateNamed); any other name gets a made certificate.
Bytes SignedBootFile(std::wstring_view authority);

}  // namespace certvane::test
