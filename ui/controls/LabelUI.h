#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/controls/ControlUI.h"

namespace Weft {

// One text (plain or inline markup) in a font of the paint manager, aligned and padded.
class CLabelUI : public CControlUI {
  public:
    CLabelUI() = default;

    const wchar_t* ClassName() const override;
    void* CastTo(const wchar_t* interfaceName) override;
    std::uint32_t Flags() const override;
    void SetText(const wchar_t* text) override;
    void ProcessEvent(EventRecord& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    CUiSize MeasureSize(SIZE available) override;
    void DrawTextContent(HDC dc) override;

    bool IsAutoCalcWidth() const { return autoCalcWidth; }
    void SetAutoCalcWidth(bool on) { autoCalcWidth = on; }
    bool IsAutoCalcHeight() const { return autoCalcHeight; }
    void SetAutoCalcHeight(bool on) { autoCalcHeight = on; }

    std::uint32_t GetTextColor() const { return textColor; }
    void SetTextColor(std::uint32_t color);
    std::uint32_t GetDisabledTextColor() const { return disabledTextColor; }
    void SetDisabledTextColor(std::uint32_t color);
    int GetFont() const { return font; }
    void SetFont(int number);
    std::uint32_t GetTextStyle() const { return textStyle; }
    void SetTextStyle(std::uint32_t style);
    CUiRect GetTextPadding() const { return textPadding; }
    void SetTextPadding(const RECT& rect);
    bool IsShowHtml() const { return showHtml; }
    void SetShowHtml(bool on);

  protected:
    // A control that ignores the mouse hands mouse events to its parent (or, without one, to
    // the label's handling); true when it did.
    bool PassedOnAsMouseEvent(EventRecord& event);
    // Fills the colours still 0 with the manager's defaults; the fields keep them.
    void AdoptDefaultColours();
    // Draws the label's text inside pos minus the padding, in that colour and font.
    void DrawLabelText(HDC dc, std::uint32_t colour, int fontNumber);
    // The text's extent drawn into `rect` with DT_CALCRECT and no horizontal alignment.
    CUiRect MeasureText(CUiRect rect);

    std::uint32_t textColor = 0;
    std::uint32_t disabledTextColor = 0;
    int font = -1;
    std::uint32_t textStyle = DT_VCENTER | DT_SINGLELINE;
    CUiRect textPadding;
    bool showHtml = false;
    bool autoCalcWidth = false;
    bool autoCalcHeight = false;
    bool needMeasure = false;
    CUiSize lastAvailable;
    CUiSize measured;
};

}  // namespace Weft
