// Feeds arbitrary bytes to the reader of the signed update files --apply-db and --apply-dbx
// take, and to the certificate reader over the certificates its signature carries.
#include <cstddef>
#include <cstdint>

#include "inspect/SignedUpdate.h"
#include "inspect/X509Fields.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto update = certvane::ReadSignedUpdate(std::span<const std::uint8_t>(data, size));
    if (!update) return 0;
    for (const auto& certificate : update->signerCertificates) {
        certvane::ReadX509Fields(certificate);
    }
    return 0;
}
