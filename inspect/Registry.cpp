#include "inspect/Registry.h"

namespace certvane {
namespace {

// Large enough for any text value the engine reads (paths, start options).
constexpr std::size_t kMaxStringValue = 8192;

}  // namespace

std::optional<StoredRegistryValue> QueryStoredValue(RegistryApi& registry, RegistryKey key,
                                                    std::wstring_view name, std::size_t maxSize) {
    std::vector<std::uint8_t> buffer(maxSize, 0);
    const auto data = registry.QueryRegistryValue(key, name, buffer);
    if (!data || data->size > buffer.size()) return std::nullopt;
    buffer.resize(data->size);
    return StoredRegistryValue{data->type, std::move(buffer)};
}

std::optional<StoredRegistryValue> ReadStoredValue(RegistryApi& registry, RegistryRoot root,
                                                   std::wstring_view subkey, std::wstring_view name,
                                                   std::size_t maxSize) {
    const auto key = registry.OpenRegistryKey(root, subkey, RegistryKeyRead);
    if (!key) return std::nullopt;
    auto value = QueryStoredValue(registry, *key, name, maxSize);
    registry.CloseRegistryKey(*key);
    return value;
}

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
    auto value = QueryStoredValue(registry, key, name, 4);
    if (!value || value->type != RegDword) return std::nullopt;
    value->bytes.resize(4, 0);  // a shorter value reads as its bytes followed by zeros
    return LittleEndian32(value->bytes.data());
}

std::wstring ReadRegistryString(RegistryApi& registry, RegistryRoot root, std::wstring_view subkey,
                                std::wstring_view name) {
    const auto value = ReadStoredValue(registry, root, subkey, name, kMaxStringValue);
    if (!value || value->type != RegSz) return {};
    return TextOfRegistryBytes(value->bytes);
}

std::wstring TextOfRegistryBytes(const std::vector<std::uint8_t>& bytes) {
    std::wstring text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const wchar_t c = static_cast<wchar_t>(bytes[i] | bytes[i + 1] << 8);
        if (c == L'\0') break;
        text.push_back(c);
    }
    return text;
}

std::uint32_t LeadingDecimal(std::wstring_view text) {
    std::uint64_t value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') break;
        value = value * 10 + static_cast<std::uint64_t>(c - L'0');
        if (value > 0xFFFFFFFFu) return 0;
    }
    return static_cast<std::uint32_t>(value);
}

}  // namespace certvane
