// Feeds arbitrary bytes to what reads a boot file's OriginalFilename from its version resource;
// boot files come from disks the program does not control.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "inspect/VersionResource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto name = certvane::OriginalFileNameOf(std::span<const std::uint8_t>(data, size));
    // A name is read from the input, cut at its first NUL and never empty.
    if (name && (name->empty() || name->size() * 2 > size || name->find(u'\0') != name->npos))
        std::abort();
    return 0;
}
