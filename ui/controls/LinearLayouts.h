#pragma once

#include "ui/controls/ContainerUI.h"

namespace Weft {

// The drag separator both linear layouts may have on one edge: positive sizes lie on the
// bottom (right) edge, negative ones on the top (left) edge.
struct SeparatorState {
    static constexpr std::uint32_t kDragging = 0x40;
    int sepSize = 0;
    std::uint32_t dragState = 0;
    POINT lastPoint = {0, 0};
    CUiRect dragRect;
    bool sepImmediate = false;
    // A previewed drag moved the edge: the release stores the new extent.
    bool extentPending = false;
};

// What the two linear layouts share: their children stacked along one axis with fixed and
// stretching extents, and the drag separator on one edge.
class CLinearLayoutUI : public CContainerUI {
  public:
    std::uint32_t Flags() const override;
    void SetPos(CUiRect rect, bool invalidate = true) override;
    void ProcessEvent(EventRecord& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void PaintAfter(HDC dc, const RECT& paintArea) override;

    void SetSepImmediateMode(bool immediate);
    bool IsSepImmediateMode() const { return separator.sepImmediate; }

  protected:
    explicit CLinearLayoutUI(bool horizontal) : horizontal_(horizontal) {}

    SeparatorState separator;

  private:
    const bool horizontal_;
};

// Stacks its children top to bottom with fixed and stretching heights.
class CVerticalLayoutUI : public CLinearLayoutUI {
  public:
    CVerticalLayoutUI() : CLinearLayoutUI(false) {}
    const wchar_t* ClassName() const override;
    void* CastTo(const wchar_t* interfaceName) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    void SetSepHeight(int height) { separator.sepSize = height; }
    int GetSepHeight() const { return separator.sepSize; }
};

// Stacks its children left to right with fixed and stretching widths; children without a
// fixed height fill the row's height.
class CHorizontalLayoutUI : public CLinearLayoutUI {
  public:
    CHorizontalLayoutUI() : CLinearLayoutUI(true) {}
    const wchar_t* ClassName() const override;
    void* CastTo(const wchar_t* interfaceName) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    void SetSepWidth(int width) { separator.sepSize = width; }
    int GetSepWidth() const { return separator.sepSize; }
};

}  // namespace Weft
