// Feeds arbitrary bytes to what reads a boot file, which comes from disks the program does not
// control: its Authenticode hash, its certificate table and the signatures in it, and the
// chain search over them (with a signature check that accepts every other signature, so that
// the search goes as deep as a file can make it).
#include <cstddef>
#include <cstdint>

#include "assess/SignatureVerification.h"
#include "inspect/EmbeddedSignatures.h"

namespace {

class AlternatingChecks : public certvane::SignatureApi {
  public:
    certvane::SignatureCheck VerifySignedContent(std::span<const std::uint8_t>,
                                                 std::span<const std::uint8_t>) override {
        return (++calls_ % 2 == 0) ? certvane::SignatureCheck::Valid
                                   : certvane::SignatureCheck::Invalid;
    }

  private:
    unsigned calls_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> image(data, size);
    const auto hash = certvane::AuthenticodeSha256(image);
    const auto layout = certvane::ReadPeLayout(image);
    if (!layout) return 0;
    const certvane::CertificateTable table = certvane::ReadCertificateTable(image, *layout);
    // The file's own certificates stand in for db and dbx: every anchor test is then reached.
    certvane::SignatureStore store;
    for (const auto& signature : table.signatures) {
        for (const auto& certificate : signature.certificates)
            store.certificates.push_back(certificate);
    }
    AlternatingChecks checks;
    certvane::VerifyFileSignatures(checks, table, hash, store, store);
    return 0;
}
