#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace certvane {

// The OriginalFilename a PE image's version resource states (its first RT_VERSION resource:
// type id 16, first name entry, first language entry), from the first StringTable of its
// StringFileInfo that has one; nullopt when the image has no readable version resource or no
// such string. What the file says about itself: Windows boot applications (bootmgfw.efi,
// cdboot.efi, wdsmgfw.efi) are recognised by it whatever their path.
std::optional<std::u16string> OriginalFileNameOf(std::span<const std::uint8_t> image);

}  // namespace certvane
