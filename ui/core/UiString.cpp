#include "ui/core/UiString.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <cwctype>

namespace Weft {
namespace {

wchar_t* AllocateUnits(int count) {
    return static_cast<wchar_t*>(std::malloc(sizeof(wchar_t) * static_cast<size_t>(count)));
}

int TextLength(const wchar_t* text) {
    return text ? static_cast<int>(std::wcslen(text)) : 0;
}

}  // namespace

CUiString::CUiString() : data_(buffer_) {
    buffer_[0] = L'\0';
}

CUiString::CUiString(const wchar_t* text, int length) : CUiString() {
    Assign(text, length);
}

CUiString::CUiString(wchar_t ch) : CUiString() {
    buffer_[0] = ch;
    buffer_[1] = L'\0';
}

CUiString::CUiString(const CUiString& other) : CUiString() {
    Assign(other.data_);
}

CUiString::~CUiString() {
    FreeHeap();
}

CUiString& CUiString::operator=(const CUiString& other) {
    Assign(other.data_);
    return *this;
}

CUiString& CUiString::operator=(const wchar_t* text) {
    Assign(text);
    return *this;
}

CUiString& CUiString::operator+=(const CUiString& other) {
    Append(other.data_);
    return *this;
}

CUiString& CUiString::operator+=(const wchar_t* text) {
    Append(text);
    return *this;
}

CUiString& CUiString::operator+=(wchar_t ch) {
    AppendChar(ch);
    return *this;
}

CUiString CUiString::operator+(const wchar_t* text) const {
    CUiString result(*this);
    result.Append(text);
    return result;
}

void CUiString::FreeHeap() {
    if (!IsInline()) {
        std::free(data_);
        data_ = buffer_;
    }
}

// The source may lie inside this string's own storage (trimming, self-assignment), so the text
// is always copied before an old block is released.
void CUiString::Assign(const wchar_t* text, int length) {
    if (text == nullptr) {
        text = L"";
        length = 0;
    }
    if (length < 0) length = TextLength(text);
    if (length <= InlineMaxLength) {
        std::wmemmove(buffer_, text, static_cast<size_t>(length));
        buffer_[length] = L'\0';
        FreeHeap();
        return;
    }
    if (IsInline() || GetLength() < length) {
        wchar_t* block = AllocateUnits(length + 1);
        std::wmemcpy(block, text, static_cast<size_t>(length));
        block[length] = L'\0';
        FreeHeap();
        data_ = block;
        return;
    }
    std::wmemmove(data_, text, static_cast<size_t>(length));
    data_[length] = L'\0';
}

void CUiString::Append(const wchar_t* text) {
    const int oldLength = GetLength();
    const int added = TextLength(text);
    const int total = oldLength + added;
    if (total > InlineMaxLength) {
        wchar_t* block = AllocateUnits(total + 1);
        std::wmemcpy(block, data_, static_cast<size_t>(oldLength));
        std::wmemcpy(block + oldLength, text, static_cast<size_t>(added));
        block[total] = L'\0';
        FreeHeap();
        data_ = block;
        return;
    }
    if (!IsInline()) std::wmemcpy(buffer_, data_, static_cast<size_t>(oldLength));
    if (added > 0) std::wmemmove(buffer_ + oldLength, text, static_cast<size_t>(added));
    buffer_[total] = L'\0';
    FreeHeap();
}

void CUiString::AppendChar(wchar_t ch) {
    const wchar_t text[2] = {ch, L'\0'};
    Append(text);
}

CUiString CUiString::Concat(const CUiString& other) const {
    CUiString result(*this);
    result.Append(other.data_);
    return result;
}

void CUiString::Empty() {
    FreeHeap();
    buffer_[0] = L'\0';
}

int CUiString::GetLength() const {
    return static_cast<int>(std::wcslen(data_));
}

int CUiString::Compare(const wchar_t* text) const {
    return std::wcscmp(data_, text ? text : L"");
}

int CUiString::CompareIgnoreCase(const wchar_t* text) const {
    return _wcsicmp(data_, text ? text : L"");
}

void CUiString::ToLowerInPlace() {
    _wcslwr(data_);
}

CUiString CUiString::Prefix(int count) const {
    const int length = GetLength();
    if (count < 0) count = 0;
    if (count > length) count = length;
    return CUiString(data_, count);
}

CUiString CUiString::Suffix(int count) const {
    const int length = GetLength();
    if (count > length) return *this;
    if (count <= 0) return CUiString();
    return CUiString(data_ + length - count, count);
}

CUiString CUiString::Substring(int pos, int count) const {
    const int length = GetLength();
    if (count < 0 || count > length - pos) count = length - pos;
    if (count <= 0) return CUiString();
    return CUiString(data_ + pos, count);
}

int CUiString::Find(wchar_t ch, int start) const {
    const int length = GetLength();
    if (start != 0 && (start <= 0 || start >= length)) return -1;
    for (int i = start; i < length; ++i) {
        if (data_[i] == ch) return i;
    }
    return -1;
}

int CUiString::Find(const wchar_t* text, int start) const {
    if (text == nullptr) return -1;
    if (start != 0 && (start < 0 || start > GetLength())) return -1;
    // Some C libraries find no empty text at the very end, so that case is answered here.
    if (*text == L'\0') return start;
    const wchar_t* found = std::wcsstr(data_ + start, text);
    return found ? static_cast<int>(found - data_) : -1;
}

int CUiString::FindLast(wchar_t ch) const {
    for (int i = GetLength() - 1; i >= 0; --i) {
        if (data_[i] == ch) return i;
    }
    return -1;
}

// An empty pattern would match everywhere without ever advancing, so it replaces nothing.
int CUiString::Replace(const wchar_t* from, const wchar_t* to) {
    const int fromLength = TextLength(from);
    if (fromLength == 0) return 0;
    if (to == nullptr) to = L"";
    const int toLength = TextLength(to);
    int count = 0;
    for (int pos = Find(from); pos >= 0; pos = Find(from, pos + toLength)) {
        CUiString result(data_, pos);
        result.Append(to);
        result.Append(data_ + pos + fromLength);
        Assign(result.data_);
        ++count;
    }
    return count;
}

// The string is replaced only after formatting, so its own text may be one of the arguments.
int CUiString::Format(const wchar_t* format, ...) {
    if (format == nullptr) {
        Empty();
        return -1;
    }
    va_list args;
    va_start(args, format);
    va_list measureArgs;
    va_copy(measureArgs, args);
    const int length = _vscwprintf(format, measureArgs);
    va_end(measureArgs);
    int written = -1;
    if (length >= 0) {
        wchar_t* text = AllocateUnits(length + 1);
        written = _vsnwprintf(text, static_cast<size_t>(length) + 1, format, args);
        Assign(written >= 0 ? text : L"", written >= 0 ? written : 0);
        std::free(text);
    } else {
        Empty();
    }
    va_end(args);
    return written;
}

int CUiString::FormatShort(const wchar_t* format, ...) {
    if (format == nullptr) {
        Empty();
        return -1;
    }
    wchar_t text[InlineUnits] = {};
    va_list args;
    va_start(args, format);
    const int written = _vsnwprintf(text, InlineUnits - 1, format, args);
    va_end(args);
    Assign(text);
    return written;
}

void CUiString::TrimLeft() {
    const wchar_t* p = data_;
    while (*p != L'\0' && std::iswspace(*p)) p = CharNextW(p);
    if (p != data_) Assign(p);
}

void CUiString::TrimRight() {
    const wchar_t* end = data_;
    for (const wchar_t* p = data_; *p != L'\0'; p = CharNextW(p)) {
        if (!std::iswspace(*p)) end = CharNextW(p);
    }
    data_[end - data_] = L'\0';
}

void CUiString::Trim() {
    TrimRight();
    TrimLeft();
}

}  // namespace Weft
