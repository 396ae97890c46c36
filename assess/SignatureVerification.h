#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "inspect/EmbeddedSignatures.h"
#include "platform/SignatureApi.h"

namespace certvane {

enum class Revocation { None, Hash, Certificate };

// What db and dbx say of one signature of a file.
struct SignatureVerdict {
    std::wstring authority;  // as the signature names it: for texts and the generation only
    std::optional<DigestAlgorithm> digestAlgorithm;
    // It proves the file (digest, messageDigest, the signer's signature) and its certificates
    // lead, each signed by the next, to a certificate db holds (whatever dbx says).
    bool verifies = false;
    Revocation revokedBy = Revocation::None;
};

// How the firmware judges a file by its certificate table, as EDK2's image verification does:
// a table that does not parse to its end, an entry without a signer, or any entry revoked by
// dbx (its certificates, or the file's own hash) refuses the file; otherwise any entry that
// verifies against db accepts it, and where none does, the file's own hash in db.
struct FileVerification {
    std::vector<SignatureVerdict> signatures;  // in table order
    std::optional<std::size_t> accepted;       // the first entry that verifies, unless refused
    bool tableIntact = true;
    bool unreadableEntry = false;
    bool hashRevoked = false;
    // No entry accepts the file, but db holds its own SHA-256 and dbx refuses nothing: the
    // firmware starts it by its hash, signed or not.
    bool hashTrusted = false;
    bool checkUnavailable = false;  // the system could not check signatures at all
    bool Accepted() const { return accepted.has_value() || hashTrusted; }
};

// The certificates and hashes a db or dbx image holds.
struct SignatureStore {
    std::vector<std::span<const std::uint8_t>> certificates;  // DER, inside the image
    std::vector<Sha256Digest> hashes;                         // SHA-256 entries, SVNs excluded
    // X.509 SHA-256 entries: the SHA-256 of a certificate's TBSCertificate. In dbx one
    // revokes that certificate wherever it appears.
    std::vector<Sha256Digest> certificateHashes;
};
SignatureStore SignatureStoreOf(std::span<const std::uint8_t> image);

FileVerification VerifyFileSignatures(SignatureApi& crypto, const CertificateTable& table,
                                      const std::optional<Sha256Digest>& fileHash,
                                      const SignatureStore& db, const SignatureStore& dbx);

}  // namespace certvane
