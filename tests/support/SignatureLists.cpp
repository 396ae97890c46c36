#include "tests/support/SignatureLists.h"

#include <algorithm>

#include "inspect/SignatureDatabase.h"

namespace certvane::test {

void AppendLe32(Bytes& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void AppendList(Bytes& image, const ListHeader& header, const std::vector<Bytes>& entries) {
    std::size_t longest = 0;
    for (const Bytes& e : entries) longest = std::max(longest, e.size());
    const std::uint32_t entrySize =
        header.entrySize.value_or(static_cast<std::uint32_t>(16 + longest));
    const std::uint32_t listSize = header.listSize.value_or(
        static_cast<std::uint32_t>(28 + header.headerSize + entries.size() * entrySize));
    const auto type = GuidToBytes(header.type);
    image.insert(image.end(), type.begin(), type.end());
    AppendLe32(image, listSize);
    AppendLe32(image, header.headerSize);
    AppendLe32(image, entrySize);
    image.insert(image.end(), header.headerSize, 0xEE);
    for (const Bytes& e : entries) {
        Bytes entry(16, 0x11);  // owner GUID
        entry.insert(entry.end(), e.begin(), e.end());
        entry.resize(entrySize, 0);
        image.insert(image.end(), entry.begin(), entry.end());
    }
}

Bytes X509List(const Bytes& der) {
    Bytes image;
    AppendList(image, {.type = CertX509Guid}, {der});
    return image;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

}  // namespace certvane::test
