#pragma once

#include <optional>
#include <span>
#include <vector>

#include "inspect/SignatureDatabase.h"

namespace certvane {

// A signed variable update as Windows servicing applies it: an EFI_TIME, a
// WIN_CERTIFICATE_UEFI_GUID holding a PKCS#7 signature, then the signature lists to append.
struct SignedUpdate {
    ByteBuffer lists;
    // The certificates the signature carries (DER), in its order: for a KEK update, the
    // platform key that signed it.
    std::vector<ByteBuffer> signerCertificates;
};

// nullopt when the file is no such update: header fields out of range, a certificate type
// other than PKCS#7, or lists that do not exactly fill the rest of the file.
std::optional<SignedUpdate> ReadSignedUpdate(std::span<const std::uint8_t> file);

}  // namespace certvane
