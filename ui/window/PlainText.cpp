#include <cwchar>

#include "ui/window/Colours.h"
#include "ui/window/GdiplusHeaders.h"
#include "ui/window/RenderEngine.h"

namespace Weft {
namespace {

void ApplyFormat(Gdiplus::StringFormat& format, UINT flags) {
    if (flags & DT_END_ELLIPSIS) {
        format.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
    }
    format.SetHotkeyPrefix((flags & DT_NOPREFIX) ? Gdiplus::HotkeyPrefixHide
                                                 : Gdiplus::HotkeyPrefixShow);
    INT formatFlags = 0;
    if (flags & DT_NOCLIP) {
        formatFlags |= Gdiplus::StringFormatFlagsNoClip;
    }
    if (flags & DT_SINGLELINE) {
        formatFlags |= Gdiplus::StringFormatFlagsNoWrap;
    }
    format.SetFormatFlags(formatFlags);
    format.SetAlignment((flags & DT_CENTER)  ? Gdiplus::StringAlignmentCenter
                        : (flags & DT_RIGHT) ? Gdiplus::StringAlignmentFar
                                             : Gdiplus::StringAlignmentNear);
    format.SetLineAlignment((flags & DT_VCENTER)  ? Gdiplus::StringAlignmentCenter
                            : (flags & DT_BOTTOM) ? Gdiplus::StringAlignmentFar
                                                  : Gdiplus::StringAlignmentNear);
}

void PaintGdiplusText(HDC dc, IRenderHostUI* host, CUiRect& rect, const wchar_t* text,
                      std::uint32_t colour, int font, UINT flags) {
    const HFONT handle = FontHandleOf(host, font);
    const HGDIOBJ previous = handle != nullptr ? ::SelectObject(dc, handle) : nullptr;
    {
        LOGFONTA logical{};
        const HGDIOBJ selected = ::GetCurrentObject(dc, OBJ_FONT);
        Gdiplus::Font gdiplusFont =
            selected != nullptr && ::GetObjectA(selected, sizeof(logical), &logical)
                ? Gdiplus::Font(dc, &logical)
                : Gdiplus::Font(dc);
        Gdiplus::Graphics graphics(dc);
        const int hint = host->GetTextRenderingHint();
        graphics.SetTextRenderingHint(
            static_cast<Gdiplus::TextRenderingHint>(hint >= 1 && hint <= 5 ? hint : 0));
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        const Gdiplus::RectF layout(
            static_cast<Gdiplus::REAL>(rect.left), static_cast<Gdiplus::REAL>(rect.top),
            static_cast<Gdiplus::REAL>(rect.Width()), static_cast<Gdiplus::REAL>(rect.Height()));
        // An alpha of 0xFE keeps GDI+ from switching to its opaque shortcut, which would drop
        // the text's anti-aliasing against the background.
        Gdiplus::SolidBrush brush(ToGdiplusColour((colour & 0x00FFFFFF) | 0xFE000000));
        Gdiplus::StringFormat format(Gdiplus::StringFormat::GenericTypographic());
        ApplyFormat(format, flags);
        if (flags & DT_CALCRECT) {
            Gdiplus::RectF bounds;
            graphics.MeasureString(text, -1, &gdiplusFont, layout, &format, &bounds);
            rect.right = rect.left + static_cast<LONG>(bounds.Width) + 1;
            rect.bottom = rect.top + static_cast<LONG>(bounds.Height) + 1;
        } else {
            graphics.DrawString(text, -1, &gdiplusFont, layout, &format, &brush);
        }
    }
    if (previous != nullptr) {
        ::SelectObject(dc, previous);
    }
}

// "&#xE001;" names one UTF-16 code unit by its hexadecimal value: an icon font's glyph.
bool CharacterReference(const wchar_t* text, wchar_t& ch) {
    const wchar_t* found = std::wcsstr(text, L"&#x");
    if (found == nullptr) {
        return false;
    }
    CUiString digits(found + 3);
    if (digits.GetLength() > 4) {
        digits = digits.Prefix(4);
    }
    if (!digits.IsEmpty() && digits.GetAt(digits.GetLength() - 1) == L' ') {
        digits = digits.Prefix(digits.GetLength() - 1);
    }
    if (!digits.IsEmpty() && digits.GetAt(digits.GetLength() - 1) == L';') {
        digits = digits.Prefix(digits.GetLength() - 1);
    }
    ch = static_cast<wchar_t>(std::wcstol(digits.GetData(), nullptr, 16));
    return true;
}

}  // namespace

void CRenderEngine::PaintPlainText(HDC dc, IRenderHostUI* host, CUiRect& rect, const wchar_t* text,
                                   std::uint32_t colour, int font, UINT format) {
    if (dc == nullptr || host == nullptr || text == nullptr) {
        return;
    }
    if (host->IsLayered() || host->IsGdiplusText()) {
        PaintGdiplusText(dc, host, rect, text, colour, font, format);
        return;
    }
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ToColorRef(colour));
    const HFONT handle = FontHandleOf(host, font);
    const HGDIOBJ previous = handle != nullptr ? ::SelectObject(dc, handle) : nullptr;
    wchar_t single[2] = {};
    if (CharacterReference(text, single[0])) {
        ::DrawTextW(dc, single, -1, &rect, format);
    } else {
        ::DrawTextW(dc, text, -1, &rect, format);
    }
    if (previous != nullptr) {
        ::SelectObject(dc, previous);
    }
}

void CRenderEngine::PaintTextOnColour(HDC dc, IRenderHostUI* host, CUiRect& rect,
                                      const wchar_t* text, std::uint32_t textColour, int font,
                                      UINT format, std::uint32_t background) {
    FillSolid(dc, rect, background);
    PaintPlainText(dc, host, rect, text, textColour, font, format);
}

CUiSize CRenderEngine::MeasureTextExtent(HDC dc, IRenderHostUI* host, const wchar_t* text,
                                         int font) {
    CUiSize size;
    if (dc == nullptr || host == nullptr || text == nullptr) {
        return size;
    }
    const HFONT handle = FontHandleOf(host, font);
    const HGDIOBJ previous = handle != nullptr ? ::SelectObject(dc, handle) : nullptr;
    ::GetTextExtentPoint32W(dc, text, static_cast<int>(std::wcslen(text)), &size);
    if (previous != nullptr) {
        ::SelectObject(dc, previous);
    }
    return size;
}

}  // namespace Weft
