// Feeds arbitrary bytes to the readers of Microsoft's published lists (--kek-map, --dbx-info).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "assess/ReferenceListFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace certvane;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ParseKekUpdateMap(text, L"fuzz");
    ParseDbxInfo(text, L"fuzz");
    return 0;
}
