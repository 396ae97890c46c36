#pragma once

#include <string>
#include <string_view>

namespace certvane::cli {

// UTF-8 of a wide string (UTF-16 on Windows, UTF-32 elsewhere); unpaired surrogates become
// U+FFFD.
std::string ToUtf8(std::wstring_view text);

}  // namespace certvane::cli
