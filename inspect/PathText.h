#pragma once

#include <string>
#include <string_view>

namespace certvane {

// Drops one trailing backslash, except from a drive root such as C:\ (the rule of the shell's
// PathRemoveBackslash, which the directory comparisons rely on).
std::wstring WithoutTrailingBackslash(std::wstring_view path);

// Letter case folding of the ASCII range only: enough for drive letters and the fixed
// English names compared here, and the same on every toolchain.
std::wstring AsciiLower(std::wstring_view text);
bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b);

// "directory\relative", the form of every "%s\..." path built from a directory.
std::wstring UnderDirectory(std::wstring_view directory, std::wstring_view relative);

}  // namespace certvane
