#pragma once

#include "ui/controls/ControlUI.h"
#include "ui/core/UiPtrArray.h"

namespace Weft {

class CScrollBarUI;

class IContainerUI {
  public:
    virtual CControlUI* ItemAt(int index) const = 0;
    virtual int IndexOfItem(CControlUI* control) const = 0;
    virtual bool MoveItem(CControlUI* control, int newIndex) = 0;
    virtual int ItemCount() const = 0;
    virtual bool AddItem(CControlUI* control) = 0;
    virtual bool InsertItem(CControlUI* control, int index) = 0;
    virtual bool RemoveItem(CControlUI* control) = 0;
    virtual bool RemoveItemAt(int index) = 0;
    virtual void RemoveAllItems() = 0;

  protected:
    ~IContainerUI() = default;
};

// A control owning an ordered list of children: lays them out inside its inset, clips and
// paints them, routes hit tests to them and scrolls them with optional scroll bars.
class CContainerUI : public CControlUI, public IContainerUI {
  public:
    CContainerUI();
    ~CContainerUI() override;

    const wchar_t* ClassName() const override;
    void* CastTo(const wchar_t* interfaceName) override;
    void Attach(CPaintManagerUI* manager, CControlUI* parent, bool init) override;
    void SetVisible(bool show = true) override;
    void SetShownByParent(bool show) override;
    void SetEnabled(bool enable = true) override;
    void SetMouseEnabled(bool enable = true) override;
    void Move(SIZE offset, bool invalidate = true) override;
    CUiRect GetContentRect() const override;
    void SetPos(CUiRect rect, bool invalidate = true) override;
    CControlUI* LocateControl(LocateVisitor visitor, void* data, std::uint32_t flags) override;
    void ProcessEvent(EventRecord& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    bool PaintSelf(HDC dc, const RECT& paintArea, CControlUI* stopAt) override;

    CControlUI* ItemAt(int index) const override;
    int IndexOfItem(CControlUI* control) const override;
    bool MoveItem(CControlUI* control, int newIndex) override;
    int ItemCount() const override;
    bool AddItem(CControlUI* control) override;
    bool InsertItem(CControlUI* control, int index) override;
    bool RemoveItem(CControlUI* control) override;
    bool RemoveItemAt(int index) override;
    void RemoveAllItems() override;

    virtual CUiRect GetInset() const;
    virtual void SetInset(const RECT& value);
    virtual int GetChildPadding() const;
    virtual void SetChildPadding(int value);
    virtual int GetChildAlign() const;
    virtual void SetChildAlign(int value);
    virtual int GetChildVAlign() const;
    virtual void SetChildVAlign(int value);
    virtual bool IsAutoDestroy() const;
    virtual void SetAutoDestroy(bool value);
    virtual bool IsDelayedDestroy() const;
    virtual void SetDelayedDestroy(bool value);
    virtual bool IsMouseChildEnabled() const;
    virtual void SetMouseChildEnabled(bool value);
    virtual int FindSelectable(int index, bool forward = true) const;
    virtual CUiSize GetScrollOffset() const;
    virtual CUiSize GetScrollExtent() const;
    virtual void SetScrollOffset(SIZE offset, bool notify = true);
    virtual void SetScrollStepSize(int size);
    virtual int GetScrollStepSize() const;
    virtual void LineUp();
    virtual void LineDown();
    virtual void PageUp();
    virtual void PageDown();
    virtual void ScrollToTop();
    virtual void ScrollToBottom();
    virtual void LineLeft();
    virtual void LineRight();
    virtual void PageLeft();
    virtual void PageRight();
    virtual void ScrollToLeft();
    virtual void ScrollToRight();
    virtual void EnableScrollBars(bool vertical = true, bool horizontal = false);
    virtual CScrollBarUI* GetVerticalScrollBar() const;
    virtual CScrollBarUI* GetHorizontalScrollBar() const;
    virtual void PlaceFloatChild(int index);
    virtual void UpdateScrollBars(const CUiRect& rect, int cxNeeded, int cyNeeded);

  protected:
    // pos minus the inset and the visible bars: where non-floating children are shown.
    CUiRect ClientArea() const;
    // Shows, hides or resizes one bar; true when that laid the container out again.
    bool UpdateScrollBar(CScrollBarUI* bar, int overflow, const CUiRect& barRect);
    bool VerticalBarShown() const;
    bool HorizontalBarShown() const;
    // Destroys a removed child at once or through the manager, as the flags say.
    void DisposeChild(CControlUI* control);

    CUiPtrArray items;
    CUiRect inset;
    int childPadding = 0;
    int childAlign = 0;
    int childVAlign = 0;
    bool autoDestroy = true;
    bool delayedDestroy = true;
    bool mouseChildEnabled = true;
    int scrollStepSize = 0;
    bool fixedScrollbar = false;
    bool showScrollbar = true;
    CScrollBarUI* verticalScrollBar = nullptr;
    CScrollBarUI* horizontalScrollBar = nullptr;
    CUiString verticalScrollBarStyle;
    CUiString horizontalScrollBarStyle;

  private:
    void ApplyBarStyle(CScrollBarUI* bar, const CUiString& style);
    int LineStep() const;
};

}  // namespace Weft
