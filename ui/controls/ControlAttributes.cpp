#include <cwchar>

#include "ui/controls/ControlUI.h"
#include "ui/controls/PaintManagerUI.h"
#include "ui/core/UiValueParsers.h"

namespace Weft {
namespace {

bool Is(const wchar_t* name, const wchar_t* known) {
    return ::lstrcmpiW(name, known) == 0;
}

struct CursorWord {
    const wchar_t* word;
    int id;
};

constexpr CursorWord kCursors[] = {
    {L"arrow", 32512},    {L"ibeam", 32513},  {L"wait", 32514},   {L"cross", 32515},
    {L"uparrow", 32516},  {L"size", 32640},   {L"icon", 32641},   {L"sizenwse", 32642},
    {L"sizenesw", 32643}, {L"sizewe", 32644}, {L"sizens", 32645}, {L"sizeall", 32646},
    {L"no", 32648},       {L"hand", 32649},
};

}  // namespace

void CControlUI::SetAttribute(const wchar_t* attribute, const wchar_t* value) {
    if (attribute == nullptr) return;
    if (value == nullptr) value = L"";
    if (Is(attribute, L"style")) {
        const wchar_t* style = manager != nullptr ? manager->GetStyle(value) : nullptr;
        if (style != nullptr) {
            ApplyAttributeText(style);
        } else {
            AddCustomAttribute(attribute, value);
        }
    } else if (Is(attribute, L"innerstyle")) {
        ApplyAttributeText(value);
    } else if (Is(attribute, L"pos")) {
        long v[4] = {};
        ParseIntegerList(value, v, 4);
        SetFixedPos(CUiSize(v[0] >= 0 ? v[0] : v[2], v[1] >= 0 ? v[1] : v[3]));
        SetFixedWidth(static_cast<int>(v[2] > v[0] ? v[2] - v[0] : v[0] - v[2]));
        SetFixedHeight(static_cast<int>(v[3] > v[1] ? v[3] - v[1] : v[1] - v[3]));
    } else if (Is(attribute, L"float")) {
        if (std::wcschr(value, L',') == nullptr) {
            SetFloat(ParseBoolean(value));
        } else {
            double percent[4] = {};
            ParseRealList(value, percent, 4);
            SetFloatPercent(percent);
            SetFloat(true);
        }
    } else if (Is(attribute, L"floatalign")) {
        SetFloatAlignWords(value);
    } else if (Is(attribute, L"padding")) {
        SetPadding(ParseRect(value));
    } else if (Is(attribute, L"gradient")) {
        SetGradient(value);
    } else if (Is(attribute, L"bkcolor") || Is(attribute, L"bkcolor1")) {
        SetBkColor(ParseColour(value));
    } else if (Is(attribute, L"bkcolor2")) {
        SetBkColor2(ParseColour(value));
    } else if (Is(attribute, L"bkcolor3")) {
        SetBkColor3(ParseColour(value));
    } else if (Is(attribute, L"forecolor")) {
        SetForeColor(ParseColour(value));
    } else if (Is(attribute, L"bordercolor")) {
        SetBorderColor(ParseBorderColour(value));
    } else if (Is(attribute, L"focusbordercolor")) {
        SetFocusBorderColor(ParseBorderColour(value));
    } else if (Is(attribute, L"colorhsl")) {
        SetColorHsl(ParseBoolean(value));
    } else if (Is(attribute, L"bordersize")) {
        if (std::wcschr(value, L',') == nullptr) {
            SetBorderSize(ParseInteger(value));
            SetBorderRect(CUiRect());
        } else {
            SetBorderRect(ParseRect(value));
        }
    } else if (Is(attribute, L"leftbordersize")) {
        SetLeftBorderSize(ParseInteger(value));
    } else if (Is(attribute, L"topbordersize")) {
        SetTopBorderSize(ParseInteger(value));
    } else if (Is(attribute, L"rightbordersize")) {
        SetRightBorderSize(ParseInteger(value));
    } else if (Is(attribute, L"bottombordersize")) {
        SetBottomBorderSize(ParseInteger(value));
    } else if (Is(attribute, L"borderstyle")) {
        SetBorderStyle(ParseInteger(value));
    } else if (Is(attribute, L"borderround")) {
        SetBorderRound(ParseSize(value));
    } else if (Is(attribute, L"bkimage")) {
        SetBkImage(value);
    } else if (Is(attribute, L"foreimage")) {
        SetForeImage(value);
    } else if (Is(attribute, L"width")) {
        SetFixedWidth(ParseInteger(value));
    } else if (Is(attribute, L"height")) {
        SetFixedHeight(ParseInteger(value));
    } else if (Is(attribute, L"minwidth")) {
        SetMinWidth(ParseInteger(value));
    } else if (Is(attribute, L"minheight")) {
        SetMinHeight(ParseInteger(value));
    } else if (Is(attribute, L"maxwidth")) {
        SetMaxWidth(ParseInteger(value));
    } else if (Is(attribute, L"maxheight")) {
        SetMaxHeight(ParseInteger(value));
    } else if (Is(attribute, L"name")) {
        SetName(value);
    } else if (Is(attribute, L"drag")) {
        SetDragEnabled(ParseBoolean(value));
    } else if (Is(attribute, L"drop")) {
        SetDropEnabled(ParseBoolean(value));
    } else if (Is(attribute, L"resourcetext")) {
        SetResourceText(ParseBoolean(value));
    } else if (Is(attribute, L"richevent")) {
        SetRichEvent(ParseBoolean(value));
    } else if (Is(attribute, L"text")) {
        SetText(value);
    } else if (Is(attribute, L"tooltip")) {
        SetToolTip(value);
    } else if (Is(attribute, L"userdata")) {
        SetUserData(value);
    } else if (Is(attribute, L"enabled")) {
        SetEnabled(ParseBoolean(value));
    } else if (Is(attribute, L"mouse")) {
        SetMouseEnabled(ParseBoolean(value));
    } else if (Is(attribute, L"keyboard")) {
        SetKeyboardEnabled(ParseBoolean(value));
    } else if (Is(attribute, L"visible")) {
        SetVisible(ParseBoolean(value));
    } else if (Is(attribute, L"shortcut")) {
        SetShortcut(value[0]);
    } else if (Is(attribute, L"menu")) {
        SetMenuEnabled(ParseBoolean(value));
    } else if (Is(attribute, L"cursor")) {
        SetCursorWord(value);
    } else if (Is(attribute, L"virtualwnd")) {
        SetVirtualWindow(value);
    } else {
        AddCustomAttribute(attribute, value);
    }
}

void CControlUI::SetCursorWord(const wchar_t* word) {
    for (const CursorWord& known : kCursors) {
        if (Is(word, known.word)) {
            SetCursorShape(known.id);
            return;
        }
    }
}

// Words separated by commas or blanks, each changing the current bits.
void CControlUI::SetFloatAlignWords(const wchar_t* words) {
    std::uint32_t align = floatAlign;
    const wchar_t* p = words;
    while (*p != L'\0') {
        while (*p == L',' || *p == L' ') ++p;
        const wchar_t* start = p;
        while (*p != L'\0' && *p != L',' && *p != L' ') ++p;
        const CUiString word(start, static_cast<int>(p - start));
        if (Is(word, L"null")) {
            align = 0;
        } else if (Is(word, L"left")) {
            align &= ~(kFloatCenter | kFloatRight);
        } else if (Is(word, L"center")) {
            align = (align | kFloatCenter) & ~kFloatRight;
        } else if (Is(word, L"right")) {
            align = (align | kFloatRight) & ~kFloatCenter;
        } else if (Is(word, L"top")) {
            align &= ~(kFloatVCenter | kFloatBottom);
        } else if (Is(word, L"vcenter")) {
            align = (align | kFloatVCenter) & ~kFloatBottom;
        } else if (Is(word, L"bottom")) {
            align = (align | kFloatBottom) & ~kFloatVCenter;
        }
    }
    SetFloatAlign(align);
}

// Pairs name="value" separated by one blank or comma; the first malformed pair ends the text.
// Styles may name styles; nesting deeper than kMaxStyleDepth (a style that reaches itself) is
// cut off instead of recursing until the stack runs out.
void CControlUI::ApplyAttributeText(const wchar_t* attributes) {
    constexpr int kMaxStyleDepth = 16;
    static int depth = 0;  // window thread only
    if (attributes == nullptr || depth >= kMaxStyleDepth) return;
    struct Nesting {
        Nesting() { ++depth; }
        ~Nesting() { --depth; }
    } nesting;
    if (manager != nullptr) {
        if (const wchar_t* style = manager->GetStyle(attributes)) {
            ApplyAttributeText(style);
            return;
        }
    }
    CUiString copy(attributes);
    copy.Replace(L"&quot;", L"\"");
    copy.Replace(L"\r", L" ");
    copy.Replace(L"\n", L" ");
    copy.Replace(L"\t", L" ");
    copy.Trim();
    const wchar_t* p = copy.GetData();
    while (*p != L'\0') {
        while (*p == L' ') ++p;
        const wchar_t* nameStart = p;
        while (*p != L'\0' && *p != L'=') ++p;
        const CUiString attribute(nameStart, static_cast<int>(p - nameStart));
        if (*p != L'=' || p[1] != L'"') return;
        p += 2;
        const wchar_t* valueStart = p;
        while (*p != L'\0' && *p != L'"') ++p;
        if (*p != L'"') return;
        const CUiString value(valueStart, static_cast<int>(p - valueStart));
        SetAttribute(attribute, value);
        ++p;
        if (*p == L'\0') return;
        if (*p != L' ' && *p != L',') return;
        ++p;
    }
}

}  // namespace Weft
