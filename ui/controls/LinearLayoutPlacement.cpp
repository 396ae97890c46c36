// How a linear layout places its children. One algorithm serves both axes: "main" is the axis
// the children are stacked along (x for a horizontal layout), "cross" the other one.
#include <algorithm>

#include "ui/controls/LinearLayouts.h"
#include "ui/controls/ScrollBarUI.h"

namespace Weft {
namespace {

enum class Alignment { Start, Centre, End };

// Reads and builds sizes and rectangles by axis.
struct Axis {
    bool horizontal;

    LONG Main(const SIZE& size) const { return horizontal ? size.cx : size.cy; }
    LONG Cross(const SIZE& size) const { return horizontal ? size.cy : size.cx; }
    LONG MainStart(const RECT& rect) const { return horizontal ? rect.left : rect.top; }
    LONG MainEnd(const RECT& rect) const { return horizontal ? rect.right : rect.bottom; }
    LONG CrossStart(const RECT& rect) const { return horizontal ? rect.top : rect.left; }
    LONG CrossEnd(const RECT& rect) const { return horizontal ? rect.bottom : rect.right; }
    CUiSize Size(LONG main, LONG cross) const {
        return horizontal ? CUiSize(main, cross) : CUiSize(cross, main);
    }
    CUiRect Rect(LONG mainStart, LONG mainEnd, LONG crossStart, LONG crossEnd) const {
        return horizontal ? CUiRect(mainStart, crossStart, mainEnd, crossEnd)
                          : CUiRect(crossStart, mainStart, crossEnd, mainEnd);
    }

    int MinMain(CControlUI* child) const {
        return horizontal ? child->GetMinWidth() : child->GetMinHeight();
    }
    int MaxMain(CControlUI* child) const {
        return horizontal ? child->GetMaxWidth() : child->GetMaxHeight();
    }
    int MinCross(CControlUI* child) const {
        return horizontal ? child->GetMinHeight() : child->GetMinWidth();
    }
    int MaxCross(CControlUI* child) const {
        return horizontal ? child->GetMaxHeight() : child->GetMaxWidth();
    }
    // The fixed extent when there is one, else the maximum.
    int MainLimit(CControlUI* child) const {
        const int fixed = horizontal ? child->GetFixedWidth() : child->GetFixedHeight();
        return fixed < 1 ? MaxMain(child) : fixed;
    }
    int CrossLimit(CControlUI* child) const {
        const int fixed = horizontal ? child->GetFixedHeight() : child->GetFixedWidth();
        return fixed < 1 ? MaxCross(child) : fixed;
    }
};

// childalign places along x and childvalign along y.
Alignment HorizontalAlignment(int childAlign) {
    return childAlign == 1   ? Alignment::Centre
           : childAlign == 2 ? Alignment::End
                             : Alignment::Start;
}

Alignment VerticalAlignment(int childVAlign) {
    return childVAlign == DT_VCENTER  ? Alignment::Centre
           : childVAlign == DT_BOTTOM ? Alignment::End
                                      : Alignment::Start;
}

}  // namespace

void CLinearLayoutUI::SetPos(CUiRect rect, bool invalidate) {
    CControlUI::SetPos(rect, invalidate);
    const CUiRect rc = ClientArea();
    if (items.IsEmpty()) {
        UpdateScrollBars(rc, 0, 0);
        return;
    }
    const Axis axis{horizontal_};
    const bool vBar = VerticalBarShown();
    const bool hBar = HorizontalBarShown();
    CScrollBarUI* const mainBar =
        horizontal_ ? (hBar ? horizontalScrollBar : nullptr) : (vBar ? verticalScrollBar : nullptr);
    CScrollBarUI* const crossBar =
        horizontal_ ? (vBar ? verticalScrollBar : nullptr) : (hBar ? horizontalScrollBar : nullptr);
    const Alignment mainAlign =
        horizontal_ ? HorizontalAlignment(childAlign) : VerticalAlignment(childVAlign);
    const Alignment crossAlign =
        horizontal_ ? VerticalAlignment(childVAlign) : HorizontalAlignment(childAlign);
    const int gap = GetChildPadding();
    // The scrollable extent: the client area plus what the bars scroll.
    const int mainExtent =
        axis.Main(CUiSize(rc.Width(), rc.Height())) + (mainBar ? mainBar->GetRange() : 0);
    const int crossExtent =
        axis.Cross(CUiSize(rc.Width(), rc.Height())) + (crossBar ? crossBar->GetRange() : 0);

    // First pass: the extent the fixed children take, and how many stretch.
    int n = 0;
    int adjustable = 0;
    int mainFixed = 0;
    int crossNeeded = 0;
    for (int i = 0; i < items.Count(); ++i) {
        CControlUI* child = ItemAt(i);
        if (!child->IsVisible() || child->IsFloat()) continue;
        const CUiRect p = child->GetPadding();
        const int crossPadding = static_cast<int>(axis.CrossStart(p) + axis.CrossEnd(p));
        const CUiSize size = child->MeasureSize(
            axis.Size(std::min(axis.MainLimit(child), mainExtent),
                      std::min(axis.CrossLimit(child), crossExtent - crossPadding)));
        int main = axis.Main(size);
        if (main == 0) {
            ++adjustable;
        } else {
            main = ClampSize(main, axis.MinMain(child), axis.MaxMain(child));
        }
        mainFixed += axis.MainStart(p) + axis.MainEnd(p) + main;
        const int cross = ClampSize(std::max<int>(axis.Cross(size), 0), axis.MinCross(child),
                                    axis.MaxCross(child));
        crossNeeded = std::max(crossNeeded, crossPadding + cross);
        ++n;
    }
    mainFixed += (n - 1) * gap;
    const int mainExpand = adjustable > 0 ? std::max(0, (mainExtent - mainFixed) / adjustable) : 0;

    int at = axis.MainStart(rc);
    if (mainBar != nullptr) {
        at -= mainBar->GetValue();
    } else if (adjustable == 0) {
        if (mainAlign == Alignment::Centre) at += (mainExtent - mainFixed) / 2;
        if (mainAlign == Alignment::End) at += mainExtent - mainFixed;
    }
    const int crossScroll = crossBar ? crossBar->GetValue() : 0;
    const int crossRange = crossBar ? crossBar->GetRange() : 0;

    // Second pass: each child's extent along the axis, then its place across it.
    int k = 0;
    int adjustableSeen = 0;
    int mainRemaining = mainExtent;
    int mainFixedRemaining = mainFixed;
    int mainNeeded = 0;
    for (int i = 0; i < items.Count(); ++i) {
        CControlUI* child = ItemAt(i);
        if (!child->IsVisible()) continue;
        if (child->IsFloat()) {
            PlaceFloatChild(i);
            continue;
        }
        ++k;
        const CUiRect p = child->GetPadding();
        const LONG before = axis.MainStart(p);
        const LONG after = axis.MainEnd(p);
        mainRemaining -= before;
        mainFixedRemaining -= before + after + (k > 1 ? gap : 0);
        const int crossAvailable =
            crossExtent - static_cast<int>(axis.CrossStart(p) + axis.CrossEnd(p));
        const int crossLimit = std::min(axis.CrossLimit(child), crossAvailable);
        const CUiSize size = child->MeasureSize(
            axis.Size(std::min(axis.MainLimit(child), mainRemaining), crossLimit));
        int main = axis.Main(size);
        if (main == 0) {
            ++adjustableSeen;
            main = adjustableSeen == adjustable
                       ? std::max(0, mainRemaining - static_cast<int>(after) - mainFixedRemaining)
                       : mainExpand;
            main = ClampSize(main, axis.MinMain(child), axis.MaxMain(child));
        } else {
            main = ClampSize(main, axis.MinMain(child), axis.MaxMain(child));
            mainFixedRemaining -= main;
        }
        // Across a row the child's size is not measured: without a fixed height it fills the
        // row. Across a column the measured width counts, and no width fills the column.
        int cross = horizontal_ ? child->GetMaxHeight() : axis.Cross(size);
        cross = std::max(cross, 0);
        if (cross == 0) cross = crossAvailable;
        cross = std::max(std::min(cross, crossLimit), axis.MinCross(child));

        int crossStart = axis.CrossStart(rc) - crossScroll + axis.CrossStart(p);
        if (crossAlign == Alignment::Centre) {
            const int centre = (axis.CrossStart(rc) + axis.CrossEnd(rc)) / 2 +
                               (crossBar ? crossRange / 2 - crossScroll : 0);
            crossStart = centre - cross / 2;
        } else if (crossAlign == Alignment::End) {
            crossStart = axis.CrossEnd(rc) + (crossBar ? crossRange - crossScroll : 0) -
                         axis.CrossEnd(p) - cross;
        }
        const int mainStart = at + before;
        child->SetPos(axis.Rect(mainStart, mainStart + main, crossStart, crossStart + cross),
                      false);

        at += before + main + after + gap;
        mainRemaining -= main + after + gap;
        mainNeeded += before + main + after;
    }
    mainNeeded += (n - 1) * gap;
    if (horizontal_) {
        UpdateScrollBars(rc, mainNeeded, crossNeeded);
    } else {
        UpdateScrollBars(rc, crossNeeded, mainNeeded);
    }
}

}  // namespace Weft
