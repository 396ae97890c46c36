// The in-place parser: names, values and content texts are ended with zeros inside the
// document's own buffer, and the delimiters between them are turned into blanks, so that the
// attribute cache of a node can walk them back without any further bookkeeping.
#include <cstdlib>
#include <cwchar>
#include <cwctype>
#include <vector>

#include "ui/core/UiMarkup.h"

namespace Weft {
namespace {

void SkipWhitespace(wchar_t*& p) {
    while (*p != L'\0' && *p <= L' ') p = CharNextW(p);
}

bool IsNameChar(wchar_t ch) {
    return ch == L'_' || ch == L':' || std::iswalnum(ch);
}

void SkipName(wchar_t*& p) {
    while (*p != L'\0' && IsNameChar(*p)) ++p;
}

// Moves past the next occurrence of the two-character closing pair, or to the end of the text.
void SkipPast(wchar_t*& p, const wchar_t* pair) {
    const wchar_t* found = std::wcsstr(p, pair);
    p = found ? const_cast<wchar_t*>(found) + 2 : p + std::wcslen(p);
}

struct Entity {
    const wchar_t* name;
    size_t length;
    wchar_t ch;
};

constexpr Entity Entities[] = {
    {L"amp;", 4, L'&'},  {L"lt;", 3, L'<'},    {L"gt;", 3, L'>'},
    {L"quot;", 5, L'"'}, {L"apos;", 5, L'\''},
};

}  // namespace

// An element whose end tag the parser still waits for.
struct CUiMarkup::OpenElement {
    std::uint32_t index;
    wchar_t* nameEnd;
    wchar_t* contentEnd;
};

void CUiMarkup::ClearError() {
    errorMessage_[0] = L'\0';
    errorLocation_[0] = L'\0';
}

bool CUiMarkup::Fail(const wchar_t* message, const wchar_t* location) {
    std::wcsncpy(errorMessage_, message, 99);
    errorMessage_[99] = L'\0';
    std::wcsncpy(errorLocation_, location ? location : L"", 49);
    errorLocation_[49] = L'\0';
    Release();
    return false;
}

std::uint32_t CUiMarkup::AppendElement() {
    if (elementCount_ == elementCapacity_) {
        const std::uint32_t capacity = elementCapacity_ + elementCapacity_ / 2 + 500;
        auto* grown = static_cast<Element*>(std::realloc(elements_, sizeof(Element) * capacity));
        if (grown == nullptr) return 0;
        elements_ = grown;
        elementCapacity_ = capacity;
    }
    elements_[elementCount_] = Element{};
    return elementCount_++;
}

bool CUiMarkup::Parse() {
    ClearError();
    if (elementCount_ == 0) elementCapacity_ = 0;
    AppendElement();
    if (elements_ == nullptr) return Fail(L"");
    return ParseContent(text_);
}

// Copies the text up to `end` towards the front of the buffer, decoding the five entities,
// and fills the gap it leaves behind with blanks. `out` ends where the decoded text ends.
void CUiMarkup::ReadData(wchar_t*& p, wchar_t*& out, wchar_t end) const {
    out = p;
    while (*p != L'\0' && *p != end) {
        if (*p == L'&') {
            ++p;
            wchar_t decoded = L'&';
            for (const Entity& entity : Entities) {
                if (std::wcsncmp(p, entity.name, entity.length) == 0) {
                    decoded = entity.ch;
                    p += entity.length;
                    break;
                }
            }
            *out++ = decoded;
        } else if (*p == L' ') {
            *out++ = *p++;
            if (!preserveWhitespace_) {
                while (*p != L'\0' && *p <= L' ') ++p;
            }
        } else {
            const wchar_t* next = CharNextW(p);
            while (p < next) *out++ = *p++;
        }
    }
    for (wchar_t* gap = out + 1; gap < p; ++gap) *gap = L' ';
}

bool CUiMarkup::ParseAttributes(wchar_t*& p) {
    if (*p == L'>' || (p[0] == L'/' && p[1] == L'>')) return true;
    *p++ = L'\0';
    SkipWhitespace(p);
    while (*p != L'\0' && *p != L'>' && *p != L'/') {
        SkipName(p);
        wchar_t* nameEnd = p;
        SkipWhitespace(p);
        if (*p != L'=') return Fail(L"Error while parsing attributes", p);
        *p++ = L' ';
        *nameEnd = L'\0';
        SkipWhitespace(p);
        if (*p != L'"') return Fail(L"Expected attribute value", p);
        ++p;
        wchar_t* valueEnd = nullptr;
        ReadData(p, valueEnd, L'"');
        if (*p == L'\0') return Fail(L"Error while parsing attribute string", p);
        *valueEnd = L'\0';
        if (valueEnd != p) *p = L' ';
        ++p;
        SkipWhitespace(p);
    }
    return true;
}

bool CUiMarkup::CloseElement(wchar_t*& p, const OpenElement& element) {
    *element.contentEnd = L'\0';
    *p = L'\0';
    p += 2;
    SkipWhitespace(p);
    const wchar_t* name = text_ + elements_[element.index].start;
    const size_t nameLength = static_cast<size_t>(element.nameEnd - name);
    if (std::wcsncmp(p, name, nameLength) != 0) return Fail(L"Unmatched closing tag", p);
    p += nameLength;
    SkipWhitespace(p);
    if (*p != L'>') return Fail(L"Unmatched closing tag", p);
    ++p;
    *element.nameEnd = L'\0';
    return true;
}

// A document may end inside its root, before the end tags that would otherwise end the names
// of the elements still open; their names are ended here instead, so that no name runs on
// into the element's content.
void CUiMarkup::EndOpenNames(const std::vector<OpenElement>& open) {
    for (const OpenElement& element : open) *element.nameEnd = L'\0';
}

// Each open element waits on an explicit stack rather than on the call stack, so that a
// deeply nested document cannot exhaust the thread's stack.
bool CUiMarkup::ParseContent(wchar_t* p) {
    std::vector<OpenElement> open;
    std::uint32_t parent = 0;
    std::uint32_t previous = 0;
    for (;;) {
        SkipWhitespace(p);
        if (*p == L'\0') {
            if (parent > 1) return Fail(L"Expected start tag", p);
            EndOpenNames(open);
            return true;
        }
        if (*p != L'<') return Fail(L"Expected start tag", p);
        if (p[1] == L'/') {
            // At document level an end tag ends the document; what follows it is not read.
            if (open.empty()) return true;
            const OpenElement element = open.back();
            open.pop_back();
            if (!CloseElement(p, element)) return false;
            previous = element.index;
            parent = elements_[element.index].parent;
            continue;
        }
        *p++ = L'\0';
        SkipWhitespace(p);
        if (*p == L'!') {
            SkipPast(p, L"->");
            continue;
        }
        if (*p == L'?') {
            SkipPast(p, L"?>");
            continue;
        }
        const std::uint32_t index = AppendElement();
        if (index == 0) return Fail(L"");
        Element& element = elements_[index];
        element.start = static_cast<std::uint32_t>(p - text_);
        element.parent = parent;
        if (previous != 0) {
            elements_[previous].next = index;
        } else if (parent != 0) {
            elements_[parent].child = index;
        }
        previous = index;
        SkipName(p);
        if (*p == L'\0') return Fail(L"Error parsing element name", p);
        wchar_t* nameEnd = p;
        if (!ParseAttributes(p)) return false;
        SkipWhitespace(p);
        if (p[0] == L'/' && p[1] == L'>') {
            elements_[index].data = static_cast<std::uint32_t>(p - text_);
            *p = L'\0';
            p += 2;
            *nameEnd = L'\0';
            continue;
        }
        if (*p != L'>') return Fail(L"Expected start-tag closing", p);
        elements_[index].data = static_cast<std::uint32_t>(p + 1 - text_);
        ++p;
        wchar_t* contentEnd = nullptr;
        ReadData(p, contentEnd, L'<');
        if (*p == L'\0') {
            if (parent > 1) return Fail(L"Expected end-tag start", p);
            *nameEnd = L'\0';
            EndOpenNames(open);
            return true;
        }
        if (p[1] != L'/') {
            open.push_back({index, nameEnd, contentEnd});
            parent = index;
            previous = 0;
            continue;
        }
        if (!CloseElement(p, {index, nameEnd, contentEnd})) return false;
    }
}

}  // namespace Weft
