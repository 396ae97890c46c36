#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Handles.h"

namespace certvane {

// The only registry root the program reads or loads hives under.
enum class RegistryRoot { LocalMachine };

inline constexpr std::uint32_t RegistryKeyRead = 0x20019;  // KEY_READ
inline constexpr std::uint32_t RegistryKeySetValue = 0x2;  // KEY_SET_VALUE
inline constexpr std::uint32_t RegSz = 1;
inline constexpr std::uint32_t RegDword = 4;

struct RegistryValueData {
    std::uint32_t type;
    std::uint32_t size;  // bytes written to the buffer
};

// The registry, offline hives included.
class RegistryApi {
  public:
    virtual std::optional<RegistryKey> OpenRegistryKey(RegistryRoot root, std::wstring_view subkey,
                                                       std::uint32_t access) = 0;
    // Copies the value into `buffer`; nullopt when it is missing or does not fit.
    virtual std::optional<RegistryValueData> QueryRegistryValue(RegistryKey key,
                                                                std::wstring_view name,
                                                                std::span<std::uint8_t> buffer) = 0;
    // Stores the value whole under the name, replacing whatever the key held there; the key
    // must be open for setting values.
    virtual bool WriteRegistryValue(RegistryKey key, std::wstring_view name, std::uint32_t type,
                                    std::span<const std::uint8_t> data) = 0;
    // The names of the key's values in the registry's order (at most `maxNames`); empty when
    // it has none or they cannot be read.
    virtual std::vector<std::wstring> RegistryValueNames(RegistryKey key, std::size_t maxNames) = 0;
    virtual void CloseRegistryKey(RegistryKey key) = 0;
    // Mounts the hive file as root\name; needs the backup and restore privileges.
    virtual bool LoadRegistryHive(RegistryRoot root, std::wstring_view name,
                                  std::wstring_view hiveFile) = 0;
    virtual bool UnloadRegistryHive(RegistryRoot root, std::wstring_view name) = 0;

  protected:
    ~RegistryApi() = default;
};

}  // namespace certvane
