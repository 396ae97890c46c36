#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace certvane {

// The product generation a build number belongs to ("Windows 11", ...); build 0 has none.
std::wstring_view GenerationForBuild(std::uint32_t build);

// The Chinese edition text of an EditionID (case-sensitive), or the EditionID itself.
std::wstring EditionFromId(std::wstring_view editionId);

// The Chinese edition text by keywords of a product name, or the product name itself.
std::wstring EditionFromProductName(std::wstring_view productName);

}  // namespace certvane
