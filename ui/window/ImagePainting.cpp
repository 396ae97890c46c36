#include <algorithm>

#include "ui/window/GdiplusHeaders.h"
#include "ui/window/RenderEngine.h"

namespace Weft {
namespace {

bool AnySet(const CUiRect& r) {
    return r.left != 0 || r.top != 0 || r.right != 0 || r.bottom != 0;
}

bool Meets(const CUiRect& a, const CUiRect& b) {
    RECT meet;
    return ::IntersectRect(&meet, &a, &b) != FALSE;
}

// Places a span of `size` at the start, centre or end of [low, high] by the first alignment
// word found; without one the span keeps [first, last].
void AlignSpan(const CUiString& align, const wchar_t* start, const wchar_t* centre,
               const wchar_t* end, LONG low, LONG high, int size, LONG& first, LONG& last) {
    if (align.Find(start) >= 0) {
        first = low;
    } else if (align.Find(centre) >= 0) {
        first = low + (high - size - low) / 2;
    } else if (align.Find(end) >= 0) {
        first = high - size;
    } else {
        return;
    }
    last = first + size;
}

// The box the image is drawn into: the control rectangle, narrowed by "dest", or a box of
// "size" aligned in the control rectangle and shifted by "padding".
CUiRect PlaceBox(IRenderHostUI* host, const CUiRect& rc, const DrawingDescription& d) {
    CUiRect box = rc;
    if (AnySet(d.dest)) {
        box = CUiRect(rc.left + d.dest.left, rc.top + d.dest.top,
                      std::min<LONG>(rc.right, rc.left + d.dest.right),
                      std::min<LONG>(rc.bottom, rc.top + d.dest.bottom));
    }
    if (d.size.cx <= 0 || d.size.cy <= 0) {
        return box;
    }
    const int width = host->Scale(d.size.cx);
    const int height = host->Scale(d.size.cy);
    const CUiRect padding(host->Scale(d.padding.left), host->Scale(d.padding.top),
                          host->Scale(d.padding.right), host->Scale(d.padding.bottom));
    AlignSpan(d.align, L"left", L"hcenter", L"right", rc.left, rc.right, width, box.left,
              box.right);
    AlignSpan(d.align, L"top", L"vcenter", L"bottom", rc.top, rc.bottom, height, box.top,
              box.bottom);
    box.Offset(padding.left, padding.top);
    box.Offset(-padding.right, -padding.bottom);
    box.right = std::min(box.right, rc.right);
    box.bottom = std::min(box.bottom, rc.bottom);
    return box;
}

}  // namespace

bool CRenderEngine::PaintImageText(HDC dc, IRenderHostUI* host, const CUiRect& control,
                                   const CUiRect& paint, const wchar_t* imageText,
                                   const wchar_t* modifierText, HINSTANCE instance) {
    if (dc == nullptr || host == nullptr) {
        return false;
    }
    const DrawingDescription* description = host->GetDrawingDescription(imageText, modifierText);
    return description != nullptr &&
           PaintDescription(dc, host, control, paint, *description, instance);
}

bool CRenderEngine::PaintDescription(HDC dc, IRenderHostUI* host, const CUiRect& control,
                                     const CUiRect& paint, const DrawingDescription& d,
                                     HINSTANCE instance) {
    if (dc == nullptr || host == nullptr) {
        return false;
    }
    const CUiRect box = PlaceBox(host, control, d);
    if (d.imageName.IsEmpty()) {
        return false;
    }
    const ImageRecord* image = host->FindOrLoadImage(
        d.imageName, d.resourceType.IsEmpty() ? nullptr : d.resourceType.GetData(), d.mask, false,
        d.gdiplus, instance);
    if (image == nullptr) {
        return false;
    }
    CUiRect source = d.source;
    if (!AnySet(source)) {
        source = CUiRect(0, 0, image->width, image->height);
    }
    source.right = std::min<LONG>(source.right, image->width);
    source.bottom = std::min<LONG>(source.bottom, image->height);
    if (!Meets(box, control) || !Meets(box, paint)) {
        return true;
    }
    const bool alpha = host->IsLayered() || image->hasAlpha;
    if (d.gdiplus) {
        PaintImageGdiplus(dc, image, box, source, d.fade, d.rotate);
    } else {
        PaintBitmapNineSlice(dc, image->bitmap, box, paint, source, d.corner, alpha, d.fade, d.hole,
                             d.xTiled, d.yTiled);
    }
    return true;
}

void CRenderEngine::PaintImageGdiplus(HDC dc, const ImageRecord* image, const CUiRect& dest,
                                      const CUiRect& source, unsigned fade, unsigned rotate) {
    if (dc == nullptr || image == nullptr) {
        return;
    }
    // An image first loaded without GDI+ is drawn from its premultiplied pixels instead.
    Gdiplus::Bitmap* fromPixels = nullptr;
    Gdiplus::Image* drawn = image->gdiplusImage;
    if (drawn == nullptr && image->pixels != nullptr) {
        fromPixels = new Gdiplus::Bitmap(image->width, image->height, image->width * 4,
                                         PixelFormat32bppPARGB, image->pixels);
        drawn = fromPixels;
    }
    if (drawn == nullptr) {
        return;
    }
    Gdiplus::Graphics graphics(dc);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    Gdiplus::ImageAttributes attributes;
    if (fade != 255) {
        Gdiplus::ColorMatrix matrix = {{{1, 0, 0, 0, 0},
                                        {0, 1, 0, 0, 0},
                                        {0, 0, 1, 0, 0},
                                        {0, 0, 0, static_cast<Gdiplus::REAL>(fade) / 255, 0},
                                        {0, 0, 0, 0, 1}}};
        attributes.SetColorMatrix(&matrix);
    }
    if (rotate != 0) {
        const Gdiplus::REAL cx = (dest.left + dest.right) / 2.0f;
        const Gdiplus::REAL cy = (dest.top + dest.bottom) / 2.0f;
        graphics.TranslateTransform(cx, cy);
        graphics.RotateTransform(static_cast<Gdiplus::REAL>(rotate));
        graphics.TranslateTransform(-cx, -cy);
    }
    const Gdiplus::RectF to(
        static_cast<Gdiplus::REAL>(dest.left), static_cast<Gdiplus::REAL>(dest.top),
        static_cast<Gdiplus::REAL>(dest.Width()), static_cast<Gdiplus::REAL>(dest.Height()));
    graphics.DrawImage(
        drawn, to, static_cast<Gdiplus::REAL>(source.left), static_cast<Gdiplus::REAL>(source.top),
        static_cast<Gdiplus::REAL>(source.Width()), static_cast<Gdiplus::REAL>(source.Height()),
        Gdiplus::UnitPixel, &attributes);
    if (rotate != 0) {
        graphics.ResetTransform();
    }
    delete fromPixels;
}

}  // namespace Weft
