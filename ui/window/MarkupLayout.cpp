#include "ui/window/MarkupLayout.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

#include "ui/window/Colours.h"
#include "ui/window/ImagePairReader.h"
#include "ui/window/RenderEngine.h"

namespace Weft {
namespace {

bool IsTagStart(wchar_t ch) {
    return ch == L'<' || ch == L'{';
}
bool IsTagEnd(wchar_t ch) {
    return ch == L'>' || ch == L'}';
}
bool IsLetter(wchar_t ch) {
    return ch >= L'a' && ch <= L'z';
}
bool IsAsciiLetter(wchar_t ch) {
    return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z');
}

const wchar_t* FindTagEnd(const wchar_t* p) {
    while (*p != L'\0' && !IsTagEnd(*p)) {
        ++p;
    }
    return p;
}

// "<{>" and "<}>" stand for braces, "{<}" and "{>}" for angle brackets.
bool IsEscape(const wchar_t* p) {
    return (p[0] == L'<' && (p[1] == L'{' || p[1] == L'}') && p[2] == L'>') ||
           (p[0] == L'{' && (p[1] == L'<' || p[1] == L'>') && p[2] == L'}');
}

bool IsOpeningTag(const wchar_t* p) {
    return IsTagStart(p[0]) && IsLetter(p[1]) && (p[2] == L' ' || IsTagEnd(p[2]));
}

bool IsClosingTag(const wchar_t* p) {
    return IsTagStart(p[0]) && p[1] == L'/' && IsLetter(p[2]);
}

bool IsRawEnd(const wchar_t* p) {
    return std::wcsncmp(p, L"</r>", 4) == 0 || std::wcsncmp(p, L"{/r}", 4) == 0;
}

std::uint32_t ParseHexColour(const wchar_t* text) {
    if (*text == L'#') {
        ++text;
    }
    return static_cast<std::uint32_t>(std::wcstoul(text, nullptr, 16));
}

// Fonts named by face in a tag get a table number of their own, derived from the style so
// that it stays clear of the small numbers layouts use.
int NumberForFace(const CUiString& face, int size, bool bold, bool underline, bool italic) {
    std::uint32_t hash = 2166136261u;
    for (int i = 0; i < face.GetLength(); ++i) {
        hash = (hash ^ face.GetAt(i)) * 16777619u;
    }
    hash = (hash ^ static_cast<std::uint32_t>(size)) * 16777619u;
    hash = (hash ^ (bold ? 1u : 0u) ^ (underline ? 2u : 0u) ^ (italic ? 4u : 0u)) * 16777619u;
    return static_cast<int>(0x40000000u | (hash & 0x3FFFFFFFu));
}

}  // namespace

MarkupLayout::MarkupLayout(HDC dc, IRenderHostUI* host, const CUiRect& rect, std::uint32_t colour,
                           CUiRect* linkRects, CUiString* linkNames, int linkCapacity, int font,
                           UINT format)
    : dc_(dc),
      host_(host),
      rect_(rect),
      startColour_(colour),
      startFont_(FontHandleOf(host, font)),
      linkRects_(linkRects),
      linkNames_(linkNames),
      linkCapacity_(linkRects != nullptr && linkNames != nullptr ? std::max(linkCapacity, 0) : 0),
      format_(format) {}

void MarkupLayout::Run(const wchar_t* p) {
    const bool singleLine = (format_ & DT_SINGLELINE) != 0;
    const bool calculating = (format_ & DT_CALCRECT) != 0;
    lineTop_ = rect_.top;
    bottom_ = rect_.top;
    widest_ = rect_.left;
    SelectCurrentFont();
    while (*p != L'\0') {
        const LineState saved = state_;
        lineHeight_ = metrics_.tmHeight + metrics_.tmExternalLeading + CurrentSpacing();
        x_ = rect_.left;
        lineShift_ = 0;
        const wchar_t* end = LayLine(p, false);
        const LONG lineEnd = x_;
        drawnHeight_ = lineHeight_;

        state_ = saved;
        SelectCurrentFont();
        if (!singleLine && (format_ & (DT_CENTER | DT_RIGHT)) != 0) {
            // The whole line moves, so runs in different fonts keep their spacing.
            const LONG space = std::max<LONG>(rect_.right - lineEnd, 0);
            lineShift_ = (format_ & DT_CENTER) != 0 ? space / 2 : space;
        }
        x_ = rect_.left;
        if (state_.linkOpen) {
            linkStart_ = rect_.left + lineShift_;
        }
        LayLine(p, true);

        widest_ = std::max(widest_, lineEnd);
        bottom_ = std::max<LONG>(bottom_, lineTop_ + drawnHeight_);
        lineTop_ += drawnHeight_;
        // A line that could not take even one character would repeat forever.
        p = end != p ? end : p + 1;
        if (singleLine || (!calculating && lineTop_ > rect_.bottom)) {
            break;
        }
    }
}

const wchar_t* MarkupLayout::LayLine(const wchar_t* p, bool drawing) {
    while (*p != L'\0') {
        if (*p == L'\n') {
            ++p;
            break;
        }
        const Step step = state_.raw && !IsRawEnd(p) ? TextRun(p, drawing) : Tag(p, drawing);
        if (step == Step::EndLine) {
            break;
        }
    }
    if (drawing && state_.linkOpen) {
        // A link that goes on over the line end gets one rectangle per line, all named alike.
        CloseLinkSlot(drawing);
        state_.linkOpen = true;
        if (linkSlot_ < linkCapacity_) {
            linkNames_[linkSlot_] = openLinkName_;
        }
    }
    return p;
}

MarkupLayout::Step MarkupLayout::Tag(const wchar_t*& p, bool drawing) {
    if (IsRawEnd(p) && state_.raw) {
        state_.raw = false;
        p += 4;
        return Step::Continue;
    }
    if (IsEscape(p) || (!IsOpeningTag(p) && !IsClosingTag(p))) {
        return TextRun(p, drawing);
    }
    if (IsClosingTag(p)) {
        const wchar_t letter = p[2];
        const wchar_t* end = FindTagEnd(p + 3);
        // A paragraph closing at the very end of the text has no line left to end; moving to
        // a new one would only add an empty line to the measured height.
        if (letter == L'p' && x_ > rect_.left && *end != L'\0' && end[1] != L'\0') {
            return Step::EndLine;
        }
        p = *end != L'\0' ? end + 1 : end;
        ClosingTag(letter, drawing);
        return Step::Continue;
    }
    const wchar_t letter = p[1];
    const wchar_t* argumentStart = p[2] == L' ' ? p + 3 : p + 2;
    const wchar_t* end = FindTagEnd(argumentStart);
    const CUiString argument(argumentStart, static_cast<int>(end - argumentStart));
    const Step step = OpeningTag(letter, argument, drawing);
    if (step == Step::EndLine) {
        return step;
    }
    p = *end != L'\0' ? end + 1 : end;
    return step == Step::EndLineAndConsume ? Step::EndLine : Step::Continue;
}

MarkupLayout::Step MarkupLayout::OpeningTag(wchar_t letter, const CUiString& argument,
                                            bool drawing) {
    switch (letter) {
        case L'a':
            OpenLinkSlot(argument, drawing);
            break;
        case L'b':
            PushVariant(&FontRecord::bold);
            break;
        case L'c':
            state_.colours.push_back(ParseHexColour(argument.GetData()));
            ::SetTextColor(dc_, ToColorRef(CurrentColour()));
            break;
        case L'f': {
            if (std::iswdigit(argument.GetAt(0))) {
                PushFont(FontHandleOf(host_, std::wcstol(argument.GetData(), nullptr, 10)));
                break;
            }
            const int blank = argument.Find(L' ');
            const CUiString face = blank < 0 ? argument : argument.Prefix(blank);
            CUiString rest = blank < 0 ? CUiString() : argument.Substring(blank + 1);
            wchar_t* afterSize = nullptr;
            long size = std::wcstol(rest.GetData(), &afterSize, 10);
            if (afterSize == rest.GetData()) {
                size = 10;
            }
            rest.ToLowerInPlace();
            const bool bold = rest.Find(L"bold") >= 0;
            const bool underline = rest.Find(L"underline") >= 0;
            const bool italic = rest.Find(L"italic") >= 0;
            const int points = static_cast<int>(size);
            HFONT font = host_->FindFont(face, points, bold, underline, italic);
            if (font == nullptr) {
                font = host_->AddFont(NumberForFace(face, points, bold, underline, italic), face,
                                      points, bold, underline, italic, false);
            }
            PushFont(font);
            break;
        }
        case L'i':
            if (!argument.IsEmpty()) {
                return InlineImage(argument, drawing);
            }
            PushVariant(&FontRecord::italic);
            break;
        case L'n':
            if ((format_ & DT_SINGLELINE) == 0) {
                return Step::EndLineAndConsume;
            }
            break;
        case L'p':
            if (x_ > rect_.left) {
                return Step::EndLine;
            }
            state_.spacings.push_back(std::wcstol(argument.GetData(), nullptr, 10));
            GrowLineForFont();
            break;
        case L'r':
            state_.raw = true;
            break;
        case L's':
            state_.selected = !state_.selected;
            break;
        case L'u':
            PushVariant(&FontRecord::underline);
            break;
        case L'x':
            x_ += std::wcstol(argument.GetData(), nullptr, 10);
            break;
        case L'y':
            lineHeight_ = std::wcstol(argument.GetData(), nullptr, 10);
            break;
        default:
            break;
    }
    return Step::Continue;
}

void MarkupLayout::ClosingTag(wchar_t letter, bool drawing) {
    switch (letter) {
        case L'a':
            CloseLinkSlot(drawing);
            if (!state_.colours.empty()) {
                state_.colours.pop_back();
            }
            ::SetTextColor(dc_, ToColorRef(CurrentColour()));
            PopFont();
            break;
        case L'b':
        case L'f':
        case L'i':
        case L'u':
            PopFont();
            break;
        case L'c':
            if (!state_.colours.empty()) {
                state_.colours.pop_back();
            }
            ::SetTextColor(dc_, ToColorRef(CurrentColour()));
            break;
        case L'p':
            if (!state_.spacings.empty()) {
                state_.spacings.pop_back();
            }
            break;
        case L's':
            state_.selected = !state_.selected;
            break;
        default:
            break;
    }
}

MarkupLayout::Step MarkupLayout::TextRun(const wchar_t*& p, bool drawing) {
    // An escape stands for its middle character; any other run goes up to the next tag.
    const bool escape = !state_.raw && IsEscape(p);
    const wchar_t* chars = escape ? p + 1 : p;
    int length = 1;
    if (!escape) {
        while (chars[length] != L'\0' && chars[length] != L'\n' &&
               !(state_.raw ? IsRawEnd(chars + length) : IsTagStart(chars[length]))) {
            ++length;
        }
    }
    const int available = rect_.right - x_;
    int taken = length;
    SIZE extent{};
    if (static_cast<long>(length) * metrics_.tmMaxCharWidth > available) {
        // Only near the edge is the run measured character by character.
        INT fit = 0;
        ::GetTextExtentExPointW(dc_, chars, length, std::max(available, 0), &fit, nullptr, &extent);
        taken = fit;
    }
    const bool cut = taken < length;
    if (cut) {
        if (format_ & DT_WORDBREAK) {
            for (int i = taken - 1; i >= 0; --i) {
                if (!IsAsciiLetter(chars[i])) {
                    taken = i + 1;
                    break;
                }
            }
        }
        if (taken == 0 && x_ == rect_.left) {
            taken = 1;
        }
        if (format_ & DT_END_ELLIPSIS) {
            taken = std::max(taken - (taken >= 2 ? 2 : 1), 0);
        }
    }
    if (taken > 0) {
        ::GetTextExtentPoint32W(dc_, chars, taken, &extent);
        if (drawing && (format_ & DT_CALCRECT) == 0) {
            ::SetBkMode(dc_, state_.selected ? OPAQUE : TRANSPARENT);
            const int y = lineTop_ + drawnHeight_ - metrics_.tmExternalLeading - metrics_.tmHeight;
            ::TextOutW(dc_, x_ + lineShift_, y, chars, taken);
        }
        x_ += extent.cx;
    }
    if (!cut) {
        p = escape ? p + 3 : p + length;
        return Step::Continue;
    }
    if (!escape) {
        p += taken;
    } else if (taken > 0) {
        p += 3;
    }
    if (format_ & DT_END_ELLIPSIS) {
        if (drawing && (format_ & DT_CALCRECT) == 0) {
            ::TextOutW(dc_, x_ + lineShift_, lineTop_, L"...", 3);
        }
        SIZE dots{};
        ::GetTextExtentPoint32W(dc_, L"...", 3, &dots);
        x_ += dots.cx;
    }
    return Step::EndLine;
}

MarkupLayout::Step MarkupLayout::InlineImage(const CUiString& argument, bool drawing) {
    CUiString name;
    CUiString type;
    const wchar_t* numbers = nullptr;
    ImagePairReader reader(argument.GetData());
    CUiString key;
    CUiString value;
    bool paired = false;
    while (reader.Next(key, value)) {
        paired = true;
        if (key == L"file" || key == L"res") {
            name = value;
        } else if (key == L"restype") {
            type = value;
        }
    }
    if (paired) {
        numbers = reader.Rest();
    } else {
        const int blank = argument.Find(L' ');
        name = blank < 0 ? argument : argument.Prefix(blank);
        numbers = argument.GetData() + (blank < 0 ? argument.GetLength() : blank);
    }
    wchar_t* afterCount = nullptr;
    long frames = std::wcstol(numbers, &afterCount, 10);
    long frame = std::wcstol(afterCount, nullptr, 10);
    frames = std::max(frames, 1L);
    if (frame < 0 || frame >= frames) {
        frame = 0;
    }
    const ImageRecord* image =
        name.IsEmpty() ? nullptr
                       : host_->FindOrLoadImage(name, type.IsEmpty() ? nullptr : type.GetData(), 0,
                                                false, false, nullptr);
    if (image == nullptr) {
        return Step::Continue;
    }
    const int width = image->width / static_cast<int>(frames);
    if (x_ + width > rect_.right && x_ > rect_.left && (format_ & DT_SINGLELINE) == 0) {
        return Step::EndLine;
    }
    if (drawing) {
        CUiRect box(x_ + lineShift_, 0, x_ + lineShift_ + width, 0);
        if (image->height < drawnHeight_) {
            box.top = lineTop_ + (drawnHeight_ - image->height) / 2;
        } else {
            box.top = lineTop_ + drawnHeight_ - image->height;
        }
        box.bottom = box.top + image->height;
        if ((format_ & DT_CALCRECT) == 0) {
            const CUiRect source(static_cast<LONG>(frame) * width, 0,
                                 static_cast<LONG>(frame + 1) * width, image->height);
            CRenderEngine::PaintBitmapNineSlice(dc_, image->bitmap, box, rect_, source, CUiRect(),
                                                image->hasAlpha, 255, false, false, false);
        }
        bottom_ = std::max(bottom_, box.bottom);
    }
    x_ += width;
    lineHeight_ = std::max(lineHeight_, static_cast<int>(image->height));
    return Step::Continue;
}

HFONT MarkupLayout::CurrentFont() const {
    return state_.fonts.empty() ? startFont_ : state_.fonts.back();
}

std::uint32_t MarkupLayout::CurrentColour() const {
    return state_.colours.empty() ? startColour_ : state_.colours.back();
}

int MarkupLayout::CurrentSpacing() const {
    return state_.spacings.empty() ? 0 : state_.spacings.back();
}

void MarkupLayout::SelectCurrentFont() {
    if (HFONT font = CurrentFont()) {
        ::SelectObject(dc_, font);
    }
    ::GetTextMetricsW(dc_, &metrics_);
    ::SetTextColor(dc_, ToColorRef(CurrentColour()));
}

void MarkupLayout::GrowLineForFont() {
    lineHeight_ = std::max<int>(lineHeight_,
                                metrics_.tmHeight + metrics_.tmExternalLeading + CurrentSpacing());
}

void MarkupLayout::PushFont(HFONT font) {
    if (font == nullptr) {
        return;
    }
    state_.fonts.push_back(font);
    SelectCurrentFont();
    GrowLineForFont();
}

void MarkupLayout::PopFont() {
    const bool wasItalic = metrics_.tmItalic != 0;
    if (!state_.fonts.empty()) {
        state_.fonts.pop_back();
    }
    SelectCurrentFont();
    GrowLineForFont();
    if (wasItalic && metrics_.tmItalic == 0) {
        // The slanted last glyph leans into what follows; half a blank keeps them apart.
        ABC blank{};
        if (::GetCharABCWidthsW(dc_, L' ', L' ', &blank)) {
            x_ += static_cast<LONG>(blank.abcB / 2);
        }
    }
}

void MarkupLayout::PushVariant(bool FontRecord::*flag) {
    const FontRecord* current = host_->GetFontByHandle(CurrentFont());
    if (current == nullptr || current->*flag) {
        return;
    }
    FontRecord style;
    style.size = current->size;
    style.bold = current->bold;
    style.underline = current->underline;
    style.italic = current->italic;
    style.*flag = true;
    // The face is copied: adding a font may change the table the record lives in.
    const CUiString face(current->faceName);
    HFONT font = host_->FindFont(face, style.size, style.bold, style.underline, style.italic);
    if (font == nullptr) {
        font = host_->AddFont(
            NumberForFace(face, style.size, style.bold, style.underline, style.italic), face,
            style.size, style.bold, style.underline, style.italic, false);
    }
    PushFont(font);
}

std::uint32_t MarkupLayout::LinkColour(const CUiString& name) const {
    const POINT mouse = host_->GetMousePos();
    for (int i = 0; i < linkCapacity_; ++i) {
        if (linkNames_[i] == name.GetData() && ::PtInRect(&linkRects_[i], mouse)) {
            return host_->GetDefaultLinkHoverFontColor();
        }
    }
    return startColour_ != 0 ? startColour_ : host_->GetDefaultLinkFontColor();
}

void MarkupLayout::OpenLinkSlot(const CUiString& name, bool drawing) {
    const std::uint32_t colour = LinkColour(name);
    if (drawing && linkSlot_ < linkCapacity_) {
        linkNames_[linkSlot_] = name;
    }
    openLinkName_ = name;
    state_.linkOpen = true;
    linkStart_ = x_ + lineShift_;
    state_.colours.push_back(colour);
    SelectCurrentFont();
    PushVariant(&FontRecord::underline);
}

void MarkupLayout::CloseLinkSlot(bool drawing) {
    if (drawing && state_.linkOpen && linkSlot_ < linkCapacity_) {
        linkRects_[linkSlot_] =
            CUiRect(linkStart_, lineTop_, x_ + lineShift_, lineTop_ + drawnHeight_);
        ++linkSlot_;
    }
    state_.linkOpen = false;
}

}  // namespace Weft
