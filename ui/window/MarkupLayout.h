#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "ui/core/UiRect.h"
#include "ui/core/UiString.h"
#include "ui/window/RenderHost.h"

namespace Weft {

// Lays out and draws one text with inline markup tags, line by line. Each line is run twice
// from the same saved state: once to find where it ends and how tall it is, once to draw it.
class MarkupLayout {
  public:
    MarkupLayout(HDC dc, IRenderHostUI* host, const CUiRect& rect, std::uint32_t colour,
                 CUiRect* linkRects, CUiString* linkNames, int linkCapacity, int font, UINT format);

    void Run(const wchar_t* text);

    int LinksUsed() const { return linkSlot_; }
    // The bottom of the last line or of the lowest inline image, and the widest position.
    LONG Bottom() const { return bottom_; }
    LONG Widest() const { return widest_; }

  private:
    // What a line starts from and both passes return to.
    struct LineState {
        std::vector<HFONT> fonts;
        std::vector<std::uint32_t> colours;
        std::vector<int> spacings;
        bool selected = false;
        bool raw = false;
        bool linkOpen = false;
    };

    // EndLine leaves the text where the next line starts; EndLineAndConsume ends the line
    // after the tag just read.
    enum class Step { Continue, EndLine, EndLineAndConsume };

    const wchar_t* LayLine(const wchar_t* p, bool drawing);
    Step Tag(const wchar_t*& p, bool drawing);
    Step OpeningTag(wchar_t letter, const CUiString& argument, bool drawing);
    void ClosingTag(wchar_t letter, bool drawing);
    Step TextRun(const wchar_t*& p, bool drawing);
    Step InlineImage(const CUiString& argument, bool drawing);

    HFONT CurrentFont() const;
    std::uint32_t CurrentColour() const;
    int CurrentSpacing() const;
    void PushFont(HFONT font);
    void PopFont();
    void PushVariant(bool FontRecord::*flag);
    void SelectCurrentFont();
    void GrowLineForFont();
    std::uint32_t LinkColour(const CUiString& name) const;
    void OpenLinkSlot(const CUiString& name, bool drawing);
    void CloseLinkSlot(bool drawing);

    HDC dc_;
    IRenderHostUI* host_;
    CUiRect rect_;
    std::uint32_t startColour_;
    HFONT startFont_;
    CUiRect* linkRects_;
    CUiString* linkNames_;
    int linkCapacity_;
    UINT format_;

    LineState state_;
    TEXTMETRICW metrics_{};
    int linkSlot_ = 0;
    CUiString openLinkName_;
    LONG linkStart_ = 0;
    LONG x_ = 0;
    LONG lineTop_ = 0;
    int lineHeight_ = 0;
    int drawnHeight_ = 0;
    LONG lineShift_ = 0;
    LONG bottom_ = 0;
    LONG widest_ = 0;
};

}  // namespace Weft
