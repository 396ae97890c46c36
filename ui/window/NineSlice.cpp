#include "ui/window/BlendEntries.h"
#include "ui/window/RenderEngine.h"

namespace Weft {
namespace {

// Copies pieces of one bitmap onto the destination, each only where it meets the paint
// rectangle: blended, stretched, or 1:1 when the piece keeps its size.
class PieceCopier {
  public:
    PieceCopier(HDC dc, HDC source, const CUiRect& paint, bool blended, unsigned fade)
        : dc_(dc), source_(source), paint_(paint), blended_(blended) {
        blend_ = {AC_SRC_OVER, 0, static_cast<BYTE>(fade), AC_SRC_ALPHA};
    }

    void Copy(const CUiRect& dest, const CUiRect& src) const {
        RECT meet;
        if (dest.Width() <= 0 || dest.Height() <= 0 || src.Width() <= 0 || src.Height() <= 0 ||
            !::IntersectRect(&meet, &dest, &paint_)) {
            return;
        }
        if (blended_) {
            GetBlendEntries().alphaBlend(dc_, dest.left, dest.top, dest.Width(), dest.Height(),
                                         source_, src.left, src.top, src.Width(), src.Height(),
                                         blend_);
        } else if (dest.Width() == src.Width() && dest.Height() == src.Height()) {
            ::BitBlt(dc_, dest.left, dest.top, dest.Width(), dest.Height(), source_, src.left,
                     src.top, SRCCOPY);
        } else {
            ::StretchBlt(dc_, dest.left, dest.top, dest.Width(), dest.Height(), source_, src.left,
                         src.top, src.Width(), src.Height(), SRCCOPY);
        }
    }

  private:
    HDC dc_;
    HDC source_;
    CUiRect paint_;
    bool blended_;
    BLENDFUNCTION blend_;
};

// Copies of the source middle at its natural length along the tiled axes, the last copy of
// each row or column cut (with its source) at the destination's edge.
void TileMiddle(const PieceCopier& copier, const CUiRect& dest, const CUiRect& src, bool xTiled,
                bool yTiled) {
    const int tileWidth = xTiled ? src.Width() : dest.Width();
    const int tileHeight = yTiled ? src.Height() : dest.Height();
    if (tileWidth <= 0 || tileHeight <= 0) {
        return;
    }
    for (int y = dest.top; y < dest.bottom; y += tileHeight) {
        const int height = y + tileHeight <= dest.bottom ? tileHeight : dest.bottom - y;
        for (int x = dest.left; x < dest.right; x += tileWidth) {
            const int width = x + tileWidth <= dest.right ? tileWidth : dest.right - x;
            const CUiRect piece(x, y, x + width, y + height);
            const CUiRect from(src.left, src.top, xTiled ? src.left + width : src.right,
                               yTiled ? src.top + height : src.bottom);
            copier.Copy(piece, from);
        }
    }
}

void CopyPieces(const PieceCopier& copier, const CUiRect& box, const CUiRect& src, const CUiRect& c,
                bool hole, bool xTiled, bool yTiled) {
    if (!hole) {
        const CUiRect dest(box.left + c.left, box.top + c.top, box.right - c.right,
                           box.bottom - c.bottom);
        const CUiRect from(src.left + c.left, src.top + c.top, src.right - c.right,
                           src.bottom - c.bottom);
        if (xTiled || yTiled) {
            TileMiddle(copier, dest, from, xTiled, yTiled);
        } else {
            copier.Copy(dest, from);
        }
    }
    const int bl = box.left, bt = box.top, br = box.right, bb = box.bottom;
    const int sl = src.left, st = src.top, sr = src.right, sb = src.bottom;
    if (c.left > 0 && c.top > 0) {
        copier.Copy({bl, bt, bl + c.left, bt + c.top}, {sl, st, sl + c.left, st + c.top});
    }
    if (c.top > 0) {
        copier.Copy({bl + c.left, bt, br - c.right, bt + c.top},
                    {sl + c.left, st, sr - c.right, st + c.top});
    }
    if (c.right > 0 && c.top > 0) {
        copier.Copy({br - c.right, bt, br, bt + c.top}, {sr - c.right, st, sr, st + c.top});
    }
    if (c.left > 0) {
        copier.Copy({bl, bt + c.top, bl + c.left, bb - c.bottom},
                    {sl, st + c.top, sl + c.left, sb - c.bottom});
    }
    if (c.right > 0) {
        copier.Copy({br - c.right, bt + c.top, br, bb - c.bottom},
                    {sr - c.right, st + c.top, sr, sb - c.bottom});
    }
    if (c.left > 0 && c.bottom > 0) {
        copier.Copy({bl, bb - c.bottom, bl + c.left, bb}, {sl, sb - c.bottom, sl + c.left, sb});
    }
    if (c.bottom > 0) {
        copier.Copy({bl + c.left, bb - c.bottom, br - c.right, bb},
                    {sl + c.left, sb - c.bottom, sr - c.right, sb});
    }
    if (c.right > 0 && c.bottom > 0) {
        copier.Copy({br - c.right, bb - c.bottom, br, bb}, {sr - c.right, sb - c.bottom, sr, sb});
    }
}

}  // namespace

void CRenderEngine::PaintBitmapNineSlice(HDC dc, HBITMAP bitmap, const CUiRect& dest,
                                         const CUiRect& paint, const CUiRect& source,
                                         const CUiRect& corners, bool alpha, unsigned fade,
                                         bool hole, bool xTiled, bool yTiled) {
    if (dc == nullptr || bitmap == nullptr) {
        return;
    }
    const HDC memory = ::CreateCompatibleDC(dc);
    if (memory == nullptr) {
        return;
    }
    const HGDIOBJ previous = ::SelectObject(memory, bitmap);
    ::SetStretchBltMode(dc, HALFTONE);

    const bool blended = alpha || fade < 255;
    const bool noCorners =
        corners.left == 0 && corners.top == 0 && corners.right == 0 && corners.bottom == 0;
    if (!blended && !hole && noCorners && dest.Width() == source.Width() &&
        dest.Height() == source.Height()) {
        RECT part;
        if (::IntersectRect(&part, &dest, &paint)) {
            ::BitBlt(dc, part.left, part.top, part.right - part.left, part.bottom - part.top,
                     memory, source.left + part.left - dest.left, source.top + part.top - dest.top,
                     SRCCOPY);
        }
    } else {
        CopyPieces(PieceCopier(dc, memory, paint, blended, fade), dest, source, corners, hole,
                   xTiled, yTiled);
    }
    ::SelectObject(memory, previous);
    ::DeleteDC(memory);
}

}  // namespace Weft
