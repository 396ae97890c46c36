#include "ui/window/ImagePairReader.h"

namespace Weft {
namespace {

const wchar_t* SkipControlAndBlank(const wchar_t* p) {
    while (*p != L'\0' && *p <= L' ') {
        ++p;
    }
    return p;
}

}  // namespace

bool ImagePairReader::Next(CUiString& key, CUiString& value) {
    if (cursor_ == nullptr) {
        return false;
    }
    const wchar_t* p = SkipControlAndBlank(cursor_);
    if (*p == L'\0') {
        cursor_ = nullptr;
        return false;
    }
    const wchar_t* keyStart = p;
    while (*p != L'\0' && *p != L'=' && *p > L' ') {
        ++p;
    }
    key.Assign(keyStart, static_cast<int>(p - keyStart));
    p = SkipControlAndBlank(p);
    if (*p != L'=') {
        return false;
    }
    p = SkipControlAndBlank(p + 1);
    if (*p != L'\'') {
        return false;
    }
    const wchar_t* valueStart = ++p;
    while (*p != L'\0' && *p != L'\'') {
        ++p;
    }
    if (*p == L'\0') {
        return false;
    }
    value.Assign(valueStart, static_cast<int>(p - valueStart));
    ++p;
    // The pair just read counts even when what follows is malformed; the walk ends after it.
    rest_ = *p == L' ' ? p + 1 : p;
    cursor_ = *p == L' ' ? rest_ : nullptr;
    return true;
}

}  // namespace Weft
