// Feeds arbitrary bytes to the Authenticode hash of boot files, which are read from disks the
// program does not control.
#include <cstddef>
#include <cstdint>

#include "inspect/Authenticode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    certvane::AuthenticodeSha256(std::span<const std::uint8_t>(data, size));
    return 0;
}
