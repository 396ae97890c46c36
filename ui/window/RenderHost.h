#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/core/FontRecord.h"
#include "ui/core/UiRect.h"

namespace Weft {

class CControlUI;
struct DrawingDescription;
struct ImageRecord;

// What the render engine asks of the paint manager it draws for: its resource tables, its
// scale, its drawing options and the last mouse position. The paint manager implements it;
// the engine itself keeps no state.
class IRenderHostUI {
  public:
    virtual int GetScalePercentage() = 0;
    virtual int Scale(int value) = 0;
    virtual bool IsLayered() = 0;
    virtual bool IsGdiplusText() = 0;
    virtual int GetTextRenderingHint() = 0;
    virtual POINT GetMousePos() = 0;
    virtual std::uint32_t GetDefaultLinkFontColor() = 0;
    virtual std::uint32_t GetDefaultLinkHoverFontColor() = 0;
    virtual std::uint32_t GetDefaultSelectedBkColor() = 0;

    // The font of that number, or the default font for a negative or unknown number.
    virtual FontRecord* GetFont(int number) = 0;
    // The font with that handle, or the default font.
    virtual FontRecord* GetFontByHandle(HFONT font) = 0;
    virtual HFONT FindFont(const wchar_t* face, int size, bool bold, bool underline,
                           bool italic) = 0;
    virtual HFONT AddFont(int number, const wchar_t* face, int size, bool bold, bool underline,
                          bool italic, bool shared) = 0;

    virtual ImageRecord* FindOrLoadImage(const wchar_t* name, const wchar_t* type,
                                         std::uint32_t mask, bool keepPixels, bool gdiplus,
                                         HINSTANCE instance) = 0;
    virtual DrawingDescription* GetDrawingDescription(const wchar_t* imageText,
                                                      const wchar_t* modifierText) = 0;

    virtual HDC GetPaintContext() = 0;
    // Lets the control paint the part of itself inside paintArea into dc.
    virtual void PaintControl(CControlUI* control, HDC dc, const CUiRect& paintArea) = 0;

  protected:
    ~IRenderHostUI() = default;
};

inline HFONT FontHandleOf(IRenderHostUI* host, int number) {
    const FontRecord* record = host->GetFont(number);
    return record != nullptr ? record->font : nullptr;
}

}  // namespace Weft
