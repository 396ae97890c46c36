#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "inspect/ByteOrder.h"
#include "platform/Platform.h"

namespace certvane {

// True when the value exists and is a REG_DWORD; `value` is then set.
bool ReadRegistryDword(RegistryApi& registry, RegistryRoot root, std::wstring_view subkey,
                       std::wstring_view name, std::uint32_t& value);

// The REG_SZ text up to its first NUL, or empty for a missing value or one of another type.
std::wstring ReadRegistryString(RegistryApi& registry, RegistryRoot root, std::wstring_view subkey,
                                std::wstring_view name);

// A REG_DWORD value of an open key; nullopt when it is missing or of another type.
std::optional<std::uint32_t> QueryDwordValue(RegistryApi& registry, RegistryKey key,
                                             std::wstring_view name);

// The text in a raw registry buffer up to its first NUL (or its end).
std::wstring TextOfRegistryBytes(const std::uint8_t* bytes, std::size_t size);

}  // namespace certvane
