#pragma once

#include <string_view>

namespace certvane {

enum CertGeneration : int { Unclassified = 0, Gen2011 = 1, Gen2023 = 2 };

// Places any certificate name (a database entry or a boot file signer) in a generation by
// case-sensitive substring search.
CertGeneration ClassifyCertName(std::wstring_view name);

// True when the name carries a 2011 (or 2023) generation pattern; the same patterns that
// ClassifyCertName uses.
bool HasGen2011Pattern(std::wstring_view name);
bool HasGen2023Pattern(std::wstring_view name);

std::wstring_view CertGenerationName(int generation);

}  // namespace certvane
