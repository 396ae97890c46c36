#include "ui/core/UiValueParsers.h"

#include <cwchar>

namespace Weft {
namespace {

const wchar_t* OrEmpty(const wchar_t* text) {
    return text ? text : L"";
}

// The separator is skipped only when there is one, so reading never passes the terminator.
template <typename T, typename Read>
void ParseList(const wchar_t* text, T* values, int count, Read read) {
    const wchar_t* p = OrEmpty(text);
    for (int i = 0; i < count; ++i) {
        if (*p == L'\0') {
            values[i] = 0;
            continue;
        }
        wchar_t* end = nullptr;
        values[i] = read(p, &end);
        p = end;
        if (*p != L'\0') ++p;
    }
}

}  // namespace

std::uint32_t ParseBorderColour(const wchar_t* text) {
    const wchar_t* p = OrEmpty(text);
    if (*p == L'#') ++p;
    return static_cast<std::uint32_t>(std::wcstoul(p, nullptr, 16));
}

std::uint32_t ParseColour(const wchar_t* text) {
    const wchar_t* p = OrEmpty(text);
    while (*p != L'\0' && *p <= L' ') ++p;
    return ParseBorderColour(p);
}

int ParseInteger(const wchar_t* text) {
    return _wtoi(OrEmpty(text));
}

void ParseIntegerList(const wchar_t* text, long* values, int count) {
    ParseList(text, values, count,
              [](const wchar_t* p, wchar_t** end) { return std::wcstol(p, end, 10); });
}

void ParseRealList(const wchar_t* text, double* values, int count) {
    ParseList(text, values, count,
              [](const wchar_t* p, wchar_t** end) { return std::wcstod(p, end); });
}

CUiRect ParseRect(const wchar_t* text) {
    long v[4];
    ParseIntegerList(text, v, 4);
    return CUiRect(v[0], v[1], v[2], v[3]);
}

CUiSize ParseSize(const wchar_t* text) {
    long v[2];
    ParseIntegerList(text, v, 2);
    return CUiSize(v[0], v[1]);
}

bool ParseBoolean(const wchar_t* text) {
    return _wcsicmp(OrEmpty(text), L"true") == 0;
}

}  // namespace Weft
