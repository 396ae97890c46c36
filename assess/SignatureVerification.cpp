#include "assess/SignatureVerification.h"

#include <algorithm>

#include "assess/DbxCurrency.h"
#include "inspect/Sha.h"
#include "inspect/SignatureDatabase.h"
#include "inspect/SignatureEntries.h"
#include "inspect/X509Fields.h"

namespace certvane {
namespace {

using View = std::span<const std::uint8_t>;

// A chain longer than this, or a search that needs more checks, reaches nothing: a file can
// carry many certificates of one name and key, and every path through them would be tried.
constexpr int kMaxChainLength = 8;
constexpr int kMaxChecks = 256;

// EFI_CERT_X509_SHA256: a TBSCertificate's SHA-256, then the time of revocation.
constexpr Guid kCertX509Sha256Type{
    0x3BD2A492, 0x96C0, 0x4079, {0xB4, 0x20, 0xFC, 0xF9, 0x8E, 0xF1, 0x03, 0xED}};

bool SameBytes(View a, View b) {
    return std::ranges::equal(a, b);
}

bool ListedByHash(View certificate, const std::vector<Sha256Digest>& certificateHashes) {
    if (certificateHashes.empty()) return false;
    const auto parts = ReadX509Parts(certificate);
    return parts && std::ranges::find(certificateHashes, Sha256Of(parts->toBeSigned)) !=
                        certificateHashes.end();
}

// db without the certificates dbx revokes by their hash: a chain to one of them trusts nothing.
SignatureStore WithoutRevokedAnchors(const SignatureStore& db, const SignatureStore& dbx) {
    SignatureStore trusted = db;
    std::erase_if(trusted.certificates,
                  [&](View anchor) { return ListedByHash(anchor, dbx.certificateHashes); });
    return trusted;
}

// Searches a path of certificates from the signer's to one the store holds, each certificate
// signed by the key of the next. Towards db a link also needs the issuer's name to be the
// next one's subject, as the firmware's chain building does; towards dbx any key that signed
// a certificate of the path revokes it.
class ChainSearch {
  public:
    ChainSearch(SignatureApi& crypto, const EmbeddedSignature& signature,
                const SignatureStore& anchors, bool namesMustMatch)
        : crypto_(crypto),
          signature_(signature),
          anchors_(anchors),
          namesMustMatch_(namesMustMatch) {}

    bool Reaches(View certificate, int length = 1) {
        for (View anchor : anchors_.certificates) {
            if (SameBytes(anchor, certificate)) return true;
        }
        const auto parts = ReadX509Parts(certificate);
        if (!parts) return false;
        for (View anchor : anchors_.certificates) {
            const auto issuer = ReadX509Parts(anchor);
            if (!issuer || (namesMustMatch_ && !SameBytes(issuer->subject, parts->issuer)))
                continue;
            if (Signs(certificate, issuer->publicKeyInfo)) return true;
        }
        if (length == kMaxChainLength) return false;
        for (const auto& carried : signature_.certificates) {
            if (SameBytes(carried, certificate)) continue;
            const auto issuer = ReadX509Parts(carried);
            if (!issuer || !SameBytes(issuer->subject, parts->issuer)) continue;
            if (Signs(certificate, issuer->publicKeyInfo) && Reaches(carried, length + 1))
                return true;
        }
        return false;
    }

    bool Signs(View signedContent, View publicKeyInfo) {
        if (checks_++ >= kMaxChecks) return false;
        const SignatureCheck check = crypto_.VerifySignedContent(signedContent, publicKeyInfo);
        unavailable_ = unavailable_ || check == SignatureCheck::Unavailable;
        return check == SignatureCheck::Valid;
    }

    bool Unavailable() const { return unavailable_; }

  private:
    SignatureApi& crypto_;
    const EmbeddedSignature& signature_;
    const SignatureStore& anchors_;
    bool namesMustMatch_;
    int checks_ = 0;
    bool unavailable_ = false;
};

}  // namespace

SignatureStore SignatureStoreOf(std::span<const std::uint8_t> image) {
    SignatureStore store;
    for (const SignatureEntry& entry : SignatureEntriesOf(image)) {
        if (entry.IsOfType(CertX509Guid)) store.certificates.push_back(entry.data);
        if (entry.IsOfType(kCertX509Sha256Type) && entry.data.size() >= Sha256Digest{}.size()) {
            Sha256Digest hash{};
            std::copy_n(entry.data.begin(), hash.size(), hash.begin());
            store.certificateHashes.push_back(hash);
        }
    }
    store.hashes = DbxHashes(image);
    return store;
}

FileVerification VerifyFileSignatures(SignatureApi& crypto, const CertificateTable& table,
                                      const std::optional<Sha256Digest>& fileHash,
                                      const SignatureStore& db, const SignatureStore& dbx) {
    FileVerification result;
    result.tableIntact = table.intact;
    result.hashRevoked = fileHash && std::ranges::find(dbx.hashes, *fileHash) != dbx.hashes.end();
    bool refused = !table.intact || result.hashRevoked;
    const SignatureStore trusted = WithoutRevokedAnchors(db, dbx);
    for (const EmbeddedSignature& signature : table.signatures) {
        SignatureVerdict verdict{signature.authority, signature.digestAlgorithm};
        if (!signature.readable) {
            result.unreadableEntry = true;
            refused = true;
            result.signatures.push_back(std::move(verdict));
            continue;
        }
        const View signer = signature.certificates[signature.signer];
        ChainSearch revocation(crypto, signature, dbx, false);
        if (result.hashRevoked) {
            verdict.revokedBy = Revocation::Hash;
        } else if (std::ranges::any_of(signature.certificates,
                                       [&](View carried) {
                                           return ListedByHash(carried, dbx.certificateHashes);
                                       }) ||
                   revocation.Reaches(signer)) {
            verdict.revokedBy = Revocation::Certificate;
            refused = true;
        }
        ChainSearch trust(crypto, signature, trusted, true);
        const auto key = ReadX509Parts(signer);
        verdict.verifies =
            signature.digestAlgorithm && signature.fileDigestMatches &&
            signature.messageDigestMatches && key && !signature.signedAttributes.empty() &&
            trust.Signs(signature.signedAttributes, key->publicKeyInfo) && trust.Reaches(signer);
        result.checkUnavailable =
            result.checkUnavailable || revocation.Unavailable() || trust.Unavailable();
        result.signatures.push_back(std::move(verdict));
    }
    if (refused || result.checkUnavailable) return result;
    const auto first = std::ranges::find_if(result.signatures, [](const SignatureVerdict& s) {
        return s.verifies && s.revokedBy == Revocation::None;
    });
    if (first != result.signatures.end()) {
        result.accepted = static_cast<std::size_t>(first - result.signatures.begin());
    } else {
        // As the firmware does last: a file no signature admits may still be listed by hash.
        result.hashTrusted = fileHash && std::ranges::find(db.hashes, *fileHash) != db.hashes.end();
    }
    return result;
}

}  // namespace certvane
