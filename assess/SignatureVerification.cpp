#include "assess/SignatureVerification.h"

#include <algorithm>

#include "assess/DbxCurrency.h"
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

bool SameBytes(View a, View b) {
    return std::ranges::equal(a, b);
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
        } else if (revocation.Reaches(signer)) {
            verdict.revokedBy = Revocation::Certificate;
            refused = true;
        }
        ChainSearch trust(crypto, signature, db, true);
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
    }
    return result;
}

}  // namespace certvane
