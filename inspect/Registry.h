#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ByteOrder.h"
#include "platform/Platform.h"

namespace certvane {

// One stored value: its type and its bytes as the registry returned them.
struct StoredRegistryValue {
    std::uint32_t type;
    std::vector<std::uint8_t> bytes;
};

// A value of an open key; nullopt when it is missing or larger than `maxSize` bytes (a value
// that does not fit is not read in part).
std::optional<StoredRegistryValue> QueryStoredValue(RegistryApi& registry, RegistryKey key,
                                                    std::wstring_view name, std::size_t maxSize);

// The same for a key that is opened for reading this one value and closed again.
std::optional<StoredRegistryValue> ReadStoredValue(RegistryApi& registry, RegistryRoot root,
                                                   std::wstring_view subkey, std::wstring_view name,
                                                   std::size_t maxSize);

// True when the value exists and is a REG_DWORD; `value` is then set.
bool ReadRegistryDword(RegistryApi& registry, RegistryRoot root, std::wstring_view subkey,
                       std::wstring_view name, std::uint32_t& value);

// The REG_SZ text up to its first NUL, or empty for a missing value or one of another type.
std::wstring ReadRegistryString(RegistryApi& registry, RegistryRoot root, std::wstring_view subkey,
                                std::wstring_view name);

// A REG_DWORD value of an open key; nullopt when it is missing or of another type.
std::optional<std::uint32_t> QueryDwordValue(RegistryApi& registry, RegistryKey key,
                                             std::wstring_view name);

// The text in raw registry bytes up to the first NUL (or their end).
std::wstring TextOfRegistryBytes(const std::vector<std::uint8_t>& bytes);

// The number the leading decimal digits of a text spell (0 when there are none). A number
// beyond 32 bits is no build or revision anyone has: 0, as for no number, rather than a
// wrapped or capped one that looks plausible.
std::uint32_t LeadingDecimal(std::wstring_view text);

}  // namespace certvane
