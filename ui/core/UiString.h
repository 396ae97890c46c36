#pragma once

#include <windows.h>

namespace Weft {

// A zero-terminated UTF-16 string. Texts of up to InlineMaxLength units live in the object
// itself, so control names, attribute names and short texts never touch the heap. The length is
// always the position of the terminator; it is never cached.
class CUiString {
  public:
    static constexpr int InlineUnits = 64;
    static constexpr int InlineMaxLength = 62;

    CUiString();
    // A negative length takes the text up to its terminator.
    CUiString(const wchar_t* text, int length = -1);
    explicit CUiString(wchar_t ch);
    CUiString(const CUiString& other);
    ~CUiString();

    CUiString& operator=(const CUiString& other);
    CUiString& operator=(const wchar_t* text);
    CUiString& operator+=(const CUiString& other);
    CUiString& operator+=(const wchar_t* text);
    CUiString& operator+=(wchar_t ch);
    CUiString operator+(const CUiString& other) const { return Concat(other); }
    CUiString operator+(const wchar_t* text) const;

    // A null text counts as empty; a negative length takes the whole text. Exactly `length`
    // units are copied, so the caller guarantees that many are readable.
    void Assign(const wchar_t* text, int length = -1);
    void Append(const wchar_t* text);
    void AppendChar(wchar_t ch);
    CUiString Concat(const CUiString& other) const;
    void Empty();

    int GetLength() const;
    bool IsEmpty() const { return data_[0] == L'\0'; }
    const wchar_t* GetData() const { return data_; }
    operator const wchar_t*() const { return data_; }
    // Unchecked: the caller keeps the index within 0..length. Writing a zero shortens the text.
    wchar_t GetAt(int index) const { return data_[index]; }
    void SetAt(int index, wchar_t ch) { data_[index] = ch; }

    int Compare(const wchar_t* text) const;
    int CompareIgnoreCase(const wchar_t* text) const;
    bool operator==(const wchar_t* text) const { return Compare(text) == 0; }
    bool operator!=(const wchar_t* text) const { return Compare(text) != 0; }
    bool operator<(const wchar_t* text) const { return Compare(text) < 0; }
    void ToLowerInPlace();

    CUiString Prefix(int count) const;
    CUiString Suffix(int count) const;
    // A negative count means up to the end; the caller keeps `pos` within 0..length.
    CUiString Substring(int pos, int count = -1) const;
    int Find(wchar_t ch, int start = 0) const;
    int Find(const wchar_t* text, int start = 0) const;
    int FindLast(wchar_t ch) const;
    // Replaced text is never scanned again, so replacing "a" by "aa" ends.
    int Replace(const wchar_t* from, const wchar_t* to);

    int Format(const wchar_t* format, ...);
    // At most 63 characters; longer output is cut and reported as -1.
    int FormatShort(const wchar_t* format, ...);

    void TrimLeft();
    void TrimRight();
    void Trim();

  private:
    bool IsInline() const { return data_ == buffer_; }
    void FreeHeap();

    wchar_t* data_;
    wchar_t buffer_[InlineUnits];
};

}  // namespace Weft
