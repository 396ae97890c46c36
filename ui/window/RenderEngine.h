#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/core/UiRect.h"
#include "ui/core/UiString.h"
#include "ui/window/DrawingDescription.h"
#include "ui/window/ImageRecord.h"
#include "ui/window/RenderHost.h"

namespace Weft {

// A clip region entered for a while and restored by its owner with RestoreClip. Restoring is
// idempotent: a restored scope has no DC.
struct ClipScope {
    CUiRect rect;
    HDC dc = nullptr;
    HRGN region = nullptr;
    HRGN previousRegion = nullptr;
};

// Stateless drawing routines on a device context. Colours are 0xAARRGGBB. Missing inputs
// draw nothing; the boolean operations then answer false.
class CRenderEngine {
  public:
    static ImageRecord* LoadImageRecord(const wchar_t* name, const wchar_t* type,
                                        std::uint32_t mask, HINSTANCE instance);
    static ImageRecord* LoadBitmapRecord(const wchar_t* name, const wchar_t* type,
                                         std::uint32_t mask, HINSTANCE instance);

    static bool PaintImageText(HDC dc, IRenderHostUI* host, const CUiRect& control,
                               const CUiRect& paint, const wchar_t* imageText,
                               const wchar_t* modifierText, HINSTANCE instance);
    static bool PaintDescription(HDC dc, IRenderHostUI* host, const CUiRect& control,
                                 const CUiRect& paint, const DrawingDescription& description,
                                 HINSTANCE instance);
    static void PaintBitmapNineSlice(HDC dc, HBITMAP bitmap, const CUiRect& dest,
                                     const CUiRect& paint, const CUiRect& source,
                                     const CUiRect& corners, bool alpha, unsigned fade, bool hole,
                                     bool xTiled, bool yTiled);
    static void PaintImageGdiplus(HDC dc, const ImageRecord* image, const CUiRect& dest,
                                  const CUiRect& source, unsigned fade, unsigned rotate);

    static void FillSolid(HDC dc, const CUiRect& rect, std::uint32_t colour);
    static void FillGradient(HDC dc, const CUiRect& rect, std::uint32_t first, std::uint32_t second,
                             bool vertical, int steps);
    static void StrokeLine(HDC dc, const CUiRect& rect, int width, std::uint32_t colour,
                           int penStyle = PS_SOLID);
    static void StrokeRect(HDC dc, const CUiRect& rect, int width, std::uint32_t colour,
                           int dashStyle = 0);
    static void StrokeRoundRect(HDC dc, const CUiRect& rect, int width, int cornerWidth,
                                std::uint32_t colour, int dashStyle = 0);

    // With DT_CALCRECT the rectangle is measured instead of drawn into.
    static void PaintPlainText(HDC dc, IRenderHostUI* host, CUiRect& rect, const wchar_t* text,
                               std::uint32_t colour, int font, UINT format);
    static void PaintTextOnColour(HDC dc, IRenderHostUI* host, CUiRect& rect, const wchar_t* text,
                                  std::uint32_t textColour, int font, UINT format,
                                  std::uint32_t background);
    static void PaintMarkupText(HDC dc, IRenderHostUI* host, CUiRect& rect, const wchar_t* text,
                                std::uint32_t colour, CUiRect* linkRects, CUiString* linkNames,
                                int& linkCount, int font, UINT format);
    static CUiSize MeasureTextExtent(HDC dc, IRenderHostUI* host, const wchar_t* text, int font);

    static HBITMAP CaptureControlBitmap(IRenderHostUI* host, CControlUI* control,
                                        const CUiRect& rect, std::uint32_t overlay);

    static std::uint32_t AdjustColorHsl(std::uint32_t colour, int hue, int saturation,
                                        int lightness);
    static void AdjustImageHsl(bool enable, ImageRecord* image, int hue, int saturation,
                               int lightness);

    static void EnterRectClip(HDC dc, const CUiRect& rect, ClipScope& scope);
    static void EnterRoundClip(HDC dc, const CUiRect& rect, int width, int height,
                               ClipScope& scope);
    static void RestoreClip(ClipScope& scope);
    static void SelectPreviousClip(const ClipScope& scope);
    static void SelectScopeClip(const ClipScope& scope);
};

// Restores its scope when it goes out of scope, on every return path; Restore ends it early.
class ClipGuard {
  public:
    ClipGuard() = default;
    ClipGuard(const ClipGuard&) = delete;
    ClipGuard& operator=(const ClipGuard&) = delete;
    ~ClipGuard() { Restore(); }

    void EnterRect(HDC dc, const CUiRect& rect) { CRenderEngine::EnterRectClip(dc, rect, scope_); }
    void EnterRound(HDC dc, const CUiRect& rect, int width, int height) {
        CRenderEngine::EnterRoundClip(dc, rect, width, height, scope_);
    }
    void Restore() { CRenderEngine::RestoreClip(scope_); }
    const ClipScope& Scope() const { return scope_; }

  private:
    ClipScope scope_;
};

}  // namespace Weft
