#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "ui/controls/Delegate.h"
#include "ui/controls/UiEvents.h"
#include "ui/core/UiRect.h"
#include "ui/core/UiString.h"
#include "ui/core/UiStringPtrMap.h"

namespace Weft {

class CPaintManagerUI;

// Bits of Flags that the paint manager reads.
constexpr std::uint32_t kFlagTabStop = 1;
constexpr std::uint32_t kFlagSetCursor = 2;

// LocateControl flags.
constexpr std::uint32_t kFindVisible = 0x1;
constexpr std::uint32_t kFindEnabled = 0x2;
constexpr std::uint32_t kFindHitTest = 0x4;
constexpr std::uint32_t kFindUpdateTest = 0x8;
constexpr std::uint32_t kFindTopFirst = 0x10;
constexpr std::uint32_t kFindMeFirst = 0x80000000;

using LocateVisitor = CControlUI* (*)(CControlUI* control, void* data);

// Float alignment bits, the values of the DrawText flags of the same meaning.
constexpr std::uint32_t kFloatCenter = DT_CENTER;
constexpr std::uint32_t kFloatRight = DT_RIGHT;
constexpr std::uint32_t kFloatVCenter = DT_VCENTER;
constexpr std::uint32_t kFloatBottom = DT_BOTTOM;

// A size clamped to a control's maximum, then raised to its minimum (the minimum wins).
inline int ClampSize(int size, int minimum, int maximum) {
    return std::max(std::min(size, maximum), minimum);
}

// Supplies texts the process-wide text table lacks, for controls with resource texts.
using TextProvider = CUiString (*)(const wchar_t* key);
void SetTextProvider(TextProvider provider);
// Stores a text for a key of the process-wide text table; a later text replaces the earlier.
void SetResourceTextEntry(const wchar_t* key, const wchar_t* text);

// The base of every windowless control: geometry, colours, border, images, texts and flags,
// set from attribute text, painted in a fixed order of layers.
class CControlUI {
  public:
    CControlUI();
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;
    virtual ~CControlUI();

    virtual CUiString GetName() const;
    virtual void SetName(const wchar_t* name);
    virtual const wchar_t* ClassName() const;
    virtual void* CastTo(const wchar_t* interfaceName);
    virtual std::uint32_t Flags() const;
    virtual bool Trigger();
    virtual CPaintManagerUI* GetManager() const;
    virtual void Attach(CPaintManagerUI* manager, CControlUI* parent, bool init);
    virtual CControlUI* GetParent() const;
    virtual CUiString GetText() const;
    virtual void SetText(const wchar_t* text);
    virtual bool IsResourceText() const;
    virtual void SetResourceText(bool resource);
    virtual bool IsDragEnabled() const;
    virtual void SetDragEnabled(bool enable);
    virtual bool IsDropEnabled() const;
    virtual void SetDropEnabled(bool enable);
    virtual bool IsRichEvent() const;
    virtual void SetRichEvent(bool enable);
    virtual CUiRect GetPosInParent() const;
    virtual CUiRect GetContentRect() const;
    virtual const CUiRect& GetPos() const;
    virtual void SetPos(CUiRect rect, bool invalidate = true);
    virtual void Move(SIZE offset, bool invalidate = true);
    virtual int GetWidth() const;
    virtual int GetHeight() const;
    virtual int GetX() const;
    virtual int GetY() const;
    virtual CUiRect GetPadding() const;
    virtual void SetPadding(const RECT& padding);
    virtual CUiSize GetFixedPos() const;
    virtual void SetFixedPos(SIZE position);
    virtual CUiSize GetFixedSize() const;
    virtual int GetFixedWidth() const;
    virtual void SetFixedWidth(int width);
    virtual int GetFixedHeight() const;
    virtual void SetFixedHeight(int height);
    virtual int GetMinWidth() const;
    virtual void SetMinWidth(int width);
    virtual int GetMaxWidth() const;
    virtual void SetMaxWidth(int width);
    virtual int GetMinHeight() const;
    virtual void SetMinHeight(int height);
    virtual int GetMaxHeight() const;
    virtual void SetMaxHeight(int height);
    virtual const double* GetFloatPercent() const;
    virtual void SetFloatPercent(const double percent[4]);
    virtual void SetFloatAlign(std::uint32_t align);
    virtual std::uint32_t GetFloatAlign() const;
    virtual CUiString GetToolTip() const;
    virtual void SetToolTip(const wchar_t* text);
    virtual void SetToolTipWidth(int width);
    virtual int GetToolTipWidth() const;
    virtual int GetCursorShape() const;
    virtual void SetCursorShape(int cursor);
    virtual wchar_t GetShortcut() const;
    virtual void SetShortcut(wchar_t ch);
    virtual bool IsMenuEnabled() const;
    virtual void SetMenuEnabled(bool enable);
    virtual CUiString GetUserData() const;
    virtual void SetUserData(const wchar_t* text);
    virtual UINT_PTR GetTag() const;
    virtual void SetTag(UINT_PTR value);
    virtual bool IsVisible() const;
    virtual void SetVisible(bool show = true);
    virtual void SetShownByParent(bool show);
    virtual bool IsEnabled() const;
    virtual void SetEnabled(bool enable = true);
    virtual bool IsMouseEnabled() const;
    virtual void SetMouseEnabled(bool enable = true);
    virtual bool IsKeyboardEnabled() const;
    virtual void SetKeyboardEnabled(bool enable = true);
    virtual bool IsFocused() const;
    virtual void SetFocus();
    virtual bool IsFloat() const;
    virtual void SetFloat(bool isFloatNow = true);
    virtual CControlUI* LocateControl(LocateVisitor visitor, void* data, std::uint32_t flags);
    virtual void Initialize();
    virtual void OnInitialized();
    virtual void HandleEvent(EventRecord& event);
    virtual void ProcessEvent(EventRecord& event);
    virtual void SetAttribute(const wchar_t* name, const wchar_t* value);
    virtual CUiSize MeasureSize(SIZE available);
    virtual bool PaintRegion(HDC dc, const RECT& paintArea, CControlUI* stopAt);
    virtual bool PaintSelf(HDC dc, const RECT& paintArea, CControlUI* stopAt);
    virtual void DrawBackgroundColor(HDC dc);
    virtual void DrawBackgroundImage(HDC dc);
    virtual void DrawStateImage(HDC dc);
    virtual void DrawForegroundColor(HDC dc);
    virtual void DrawForegroundImage(HDC dc);
    virtual void DrawTextContent(HDC dc);
    virtual void DrawBorder(HDC dc);
    virtual void PaintAfter(HDC dc, const RECT& paintArea);

    void Invalidate();
    bool IsUpdateNeeded() const { return updateNeeded; }
    void RequestLayout();
    void RequestParentLayout();
    void ApplyAttributeText(const wchar_t* text);
    void AddCustomAttribute(const wchar_t* name, const wchar_t* value);
    // Null when the control holds no custom attribute of that name.
    const wchar_t* GetCustomAttribute(const wchar_t* name);
    void ClearCustomAttributes();
    CUiString GetVirtualWindow() const;
    void SetVirtualWindow(const wchar_t* name);
    std::uint32_t AdjustColor(std::uint32_t color) const;
    bool DrawImage(HDC dc, const wchar_t* imageText, const wchar_t* modifier = nullptr);

    CUiString GetGradient() const { return gradient; }
    void SetGradient(const wchar_t* direction);
    std::uint32_t GetBkColor() const { return bkColor; }
    void SetBkColor(std::uint32_t color);
    std::uint32_t GetBkColor2() const { return bkColor2; }
    void SetBkColor2(std::uint32_t color);
    std::uint32_t GetBkColor3() const { return bkColor3; }
    void SetBkColor3(std::uint32_t color);
    std::uint32_t GetForeColor() const { return foreColor; }
    void SetForeColor(std::uint32_t color);
    CUiString GetBkImage() const { return bkImage; }
    void SetBkImage(const wchar_t* image);
    CUiString GetForeImage() const { return foreImage; }
    void SetForeImage(const wchar_t* image);
    std::uint32_t GetBorderColor() const { return borderColor; }
    void SetBorderColor(std::uint32_t color);
    std::uint32_t GetFocusBorderColor() const { return focusBorderColor; }
    void SetFocusBorderColor(std::uint32_t color);
    bool IsColorHsl() const { return colorHsl; }
    void SetColorHsl(bool hsl);
    int GetBorderSize() const;
    void SetBorderSize(int size);
    void SetBorderRect(const RECT& rect);
    CUiRect GetBorderRect() const;
    int GetBorderStyle() const { return borderStyle; }
    void SetBorderStyle(int style);
    CUiSize GetBorderRound() const;
    void SetBorderRound(SIZE round);
    void SetLeftBorderSize(int size);
    void SetTopBorderSize(int size);
    void SetRightBorderSize(int size);
    void SetBottomBorderSize(int size);

    CEventSource initListeners;
    CEventSource destroyListeners;
    CEventSource sizeListeners;
    CEventSource eventListeners;
    CEventSource notifyListeners;

  protected:
    // Draws the border in `colour` by the border size, rounding and sides; `wholeOutline`
    // strokes the full rectangle even when single sides are set.
    void StrokeBorder(HDC dc, std::uint32_t colour, bool wholeOutline);
    // A stored geometry value as the display shows it.
    int Scaled(int value) const;
    CUiSize Scaled(SIZE size) const;
    CUiRect Scaled(const RECT& rect) const;

    CPaintManagerUI* manager = nullptr;
    CControlUI* parent = nullptr;
    CUiString virtualWnd;
    CUiString name;
    bool updateNeeded = true;
    bool menuEnabled = false;
    CUiRect pos;
    CUiRect padding;
    CUiSize fixedPos;
    CUiSize fixedSize;
    CUiSize minSize;
    CUiSize maxSize{9999, 9999};
    bool visible = true;
    bool shownByParent = true;
    bool enabled = true;
    bool mouseEnabled = true;
    bool keyboardEnabled = true;
    bool focused = false;
    bool isFloat = false;
    double floatPercent[4] = {0, 0, 0, 0};
    std::uint32_t floatAlign = 0;
    bool inSizeCallback = false;
    bool richEvent = false;
    bool dragEnabled = false;
    bool dropEnabled = false;
    bool resourceText = false;
    CUiString text;
    CUiString toolTip;
    wchar_t shortcut = 0;
    CUiString userData;
    UINT_PTR tag = 0;
    CUiString gradient;
    std::uint32_t bkColor = 0;
    std::uint32_t bkColor2 = 0;
    std::uint32_t bkColor3 = 0;
    std::uint32_t foreColor = 0;
    CUiString bkImage;
    CUiString foreImage;
    std::uint32_t borderColor = 0;
    std::uint32_t focusBorderColor = 0;
    bool colorHsl = false;
    int borderSize = 0;
    int borderStyle = 0;
    int toolTipWidth = 300;
    int cursor = 0;
    CUiSize borderRound;
    CUiRect paintRect;
    CUiRect borderRect;
    CUiStringPtrMap customAttributes{83};

  private:
    void SetFloatAlignWords(const wchar_t* words);
    void SetCursorWord(const wchar_t* word);
    void FreeCustomAttributes();
};

// The intersection of `rect` with the position of every ancestor of `control`; false when an
// ancestor is hidden (with `stopAtHidden`) or an intersection is empty.
bool ClipToAncestors(const CControlUI* control, CUiRect& rect, bool stopAtHidden);

}  // namespace Weft
