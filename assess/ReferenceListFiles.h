#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "assess/ReferenceLists.h"

namespace certvane {

// Readers of Microsoft's published lists in the JSON forms of its Secure Boot objects
// repository (kek-update-map.json, dbx-info-latest.json), for lists newer than the ones built
// in. The files are outside input: each field the judgement uses is checked for presence and
// type, unknown fields are ignored (the files gain fields over time), and anything else is
// refused with the reason. README lists the fields.

inline constexpr std::size_t MaxReferenceListFileSize = 16u << 20;

// The map of platform keys with a signed KEK update, or why `json` is not one. `file` becomes
// the map's origin.
std::variant<KekUpdateMap, std::string> ParseKekUpdateMap(std::string_view json, std::wstring file);

// The current dbx list, or why `json` is not one; its date is the latest the list records.
std::variant<DbxList, std::string> ParseDbxInfo(std::string_view json, std::wstring file);

}  // namespace certvane
