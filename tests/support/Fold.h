#pragma once

#include <string>
#include <string_view>

namespace certvane::test {

// Upper-case ASCII: the scripted machine compares paths, registry names and drive letters
// without regard to case, as Windows does.
inline std::wstring Fold(std::wstring_view text) {
    std::wstring folded(text);
    for (wchar_t& c : folded) {
        if (c >= L'a' && c <= L'z') c = c - L'a' + L'A';
    }
    return folded;
}

inline bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace certvane::test
