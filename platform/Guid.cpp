#include "platform/Guid.h"

namespace certvane {
namespace {

void AppendHex(std::wstring& out, std::uint32_t value, int digits) {
    static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
        out.push_back(kDigits[(value >> shift) & 0xF]);
    }
}

}  // namespace

std::wstring GuidToText(const Guid& guid) {
    std::wstring text;
    text.reserve(38);
    text.push_back(L'{');
    AppendHex(text, guid.data1, 8);
    text.push_back(L'-');
    AppendHex(text, guid.data2, 4);
    text.push_back(L'-');
    AppendHex(text, guid.data3, 4);
    text.push_back(L'-');
    for (std::size_t i = 0; i < guid.data4.size(); ++i) {
        if (i == 2) text.push_back(L'-');
        AppendHex(text, guid.data4[i], 2);
    }
    text.push_back(L'}');
    return text;
}

std::array<std::uint8_t, 16> GuidToBytes(const Guid& guid) {
    std::array<std::uint8_t, 16> bytes{};
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(guid.data1 >> (8 * i));
    for (int i = 0; i < 2; ++i) {
        bytes[4 + i] = static_cast<std::uint8_t>(guid.data2 >> (8 * i));
        bytes[6 + i] = static_cast<std::uint8_t>(guid.data3 >> (8 * i));
    }
    for (std::size_t i = 0; i < guid.data4.size(); ++i) bytes[8 + i] = guid.data4[i];
    return bytes;
}

}  // namespace certvane
