// Feeds arbitrary bytes to the reader of UEFI load options (Boot####), which firmware fills.
#include <cstddef>
#include <cstdint>

#include "inspect/BootOption.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    certvane::ParseLoadOption(std::span<const std::uint8_t>(data, size));
    return 0;
}
