#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/Guid.h"
#include "platform/Platform.h"

namespace certvane {

// Where a UEFI load option (Boot####) starts a loader: the GPT partition its device path names
// (unset when the path names none, or an MBR partition) and the file path on it.
struct BootTarget {
    std::optional<Guid> partition;
    std::wstring file;

    friend bool operator==(const BootTarget&, const BootTarget&) = default;
};

// Reads an EFI_LOAD_OPTION: attributes, file path list length, NUL-terminated description, then
// the device path, of which only the first instance is read. nullopt when the option does not
// parse within its bytes.
std::optional<BootTarget> ParseLoadOption(std::span<const std::uint8_t> option);

// The target of the load option the firmware started this boot from (BootCurrent, then its
// Boot####): the firmware's own statement of which partition it booted, which no file on any
// volume can change. nullopt when either variable cannot be read (it needs the firmware
// privilege) or does not parse.
std::optional<BootTarget> ReadCurrentBootTarget(Platform& platform);

}  // namespace certvane
