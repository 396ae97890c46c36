#include "inspect/Registry.h"

#include <array>

namespace certvane {

bool ReadRegistryDword(RegistryApi& registry, RegistryRoot root, std::wstring_view subkey,
                       std::wstring_view name, std::uint32_t& value) {
    const auto key = registry.OpenRegistryKey(root, subkey, RegistryKeyRead);
    if (!key) return false;
    const auto read = QueryDwordValue(registry, *key, name);
    registry.CloseRegistryKey(*key);
    if (!read) return false;
    value = *read;
    return true;
}

std::optional<std::uint32_t> QueryDwordValue(RegistryApi& registry, RegistryKey key,
                                             std::wstring_view name) {
    std::array<std::uint8_t, 4> buffer{};
    const auto data = registry.QueryRegistryValue(key, name, buffer);
    if (!data || data->type != RegDword) return std::nullopt;
    return LittleEndian32(buffer.data());
}

std::wstring ReadRegistryString(RegistryApi& registry, RegistryRoot root, std::wstring_view subkey,
                                std::wstring_view name) {
    const auto key = registry.OpenRegistryKey(root, subkey, RegistryKeyRead);
    if (!key) return {};
    std::array<std::uint8_t, 8192> buffer{};
    const auto data = registry.QueryRegistryValue(*key, name, buffer);
    registry.CloseRegistryKey(*key);
    if (!data || data->type != RegSz) return {};
    return TextOfRegistryBytes(buffer.data(), data->size);
}

std::wstring TextOfRegistryBytes(const std::uint8_t* bytes, std::size_t size) {
    std::wstring text;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const wchar_t c = static_cast<wchar_t>(bytes[i] | bytes[i + 1] << 8);
        if (c == L'\0') break;
        text.push_back(c);
    }
    return text;
}

}  // namespace certvane
