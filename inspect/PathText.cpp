#include "inspect/PathText.h"

#include <algorithm>

namespace certvane {
namespace {

wchar_t AsciiLowerChar(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? c - L'A' + L'a' : c;
}

}  // namespace

std::wstring WithoutTrailingBackslash(std::wstring_view path) {
    const bool driveRoot = path.size() == 3 && path[1] == L':';
    if (!path.empty() && path.back() == L'\\' && !driveRoot) path.remove_suffix(1);
    return std::wstring(path);
}

std::wstring AsciiLower(std::wstring_view text) {
    std::wstring lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), AsciiLowerChar);
    return lower;
}

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() && AsciiLower(a) == AsciiLower(b);
}

std::wstring UnderDirectory(std::wstring_view directory, std::wstring_view relative) {
    std::wstring path(directory);
    path += L'\\';
    path += relative;
    return path;
}

}  // namespace certvane
