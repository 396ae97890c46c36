#pragma once

#include "ui/controls/ControlUI.h"

namespace Weft {

class CContainerUI;

// The windowless scroll bar a container makes for itself: arrow buttons, a thumb and a rail,
// turning presses and thumb drags into scroll requests to its owner (or into its own value
// when it has none).
class CScrollBarUI : public CControlUI {
  public:
    // The control timer that repeats held presses and follows a dragged thumb.
    static constexpr std::uint32_t kRepeatTimer = 10;
    static constexpr std::uint32_t kRepeatPeriod = 50;
    // State bits shared with buttons.
    static constexpr std::uint32_t kStateDisabled = 0x04;
    static constexpr std::uint32_t kStateHot = 0x08;
    static constexpr std::uint32_t kStatePushed = 0x10;
    static constexpr std::uint32_t kStateCaptured = 0x40;

    CScrollBarUI();
    ~CScrollBarUI() override;

    const wchar_t* ClassName() const override;
    void* CastTo(const wchar_t* interfaceName) override;
    void SetPos(CUiRect rect, bool invalidate = true) override;
    void SetEnabled(bool enable = true) override;
    void SetFocus() override;
    void ProcessEvent(EventRecord& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    bool PaintSelf(HDC dc, const RECT& paintArea, CControlUI* stopAt) override;

    CContainerUI* GetOwner() const { return owner; }
    void SetOwner(CContainerUI* container) { owner = container; }
    bool IsHorizontal() const { return horizontal; }
    void SetHorizontal(bool value = true);
    int GetRange() const { return range; }
    void SetRange(int value);
    int GetValue() const { return value; }
    void SetValue(int value);
    int GetLineSize() const { return lineSize; }
    void SetLineSize(int value) { lineSize = value; }
    void SetShowButton1(bool show);
    void SetShowButton2(bool show);
    bool GetShowScrollbar() const { return showScrollbar; }
    void SetShowScrollbar(bool show);
    const CUiRect& GetButton1Rect() const { return button1Rect; }
    const CUiRect& GetButton2Rect() const { return button2Rect; }
    const CUiRect& GetThumbRect() const { return thumbRect; }
    std::uint32_t GetButton1State() const { return button1State; }
    std::uint32_t GetButton2State() const { return button2State; }
    std::uint32_t GetThumbState() const { return thumbState; }

    // Image texts by part and state.
    enum Part { Background, Button1, Button2, Thumb, Rail, PartCount };
    enum State { Normal, Hot, Pushed, Disabled, StateCount };
    void SetPartImage(Part part, State state, const wchar_t* image);
    const CUiString& GetPartImage(Part part, State state) const { return images[part][state]; }

  private:
    // Places the buttons and the thumb inside pos; s is the bar's scaled thickness.
    void LayOutParts(int s);
    void PassOn(EventRecord& event);
    void StepBack();
    void StepForward();
    void PageTowards(POINT point);
    void Scroll();
    void OnRepeatTick();
    // Paints one part from the image of its current state; false when nothing was drawn.
    bool PaintPart(HDC dc, Part part, std::uint32_t& state, const CUiRect& rect);
    void PaintRail(HDC dc);

    bool showScrollbar = true;
    bool horizontal = false;
    int range = 0;
    int value = 0;
    int lineSize = 8;
    CContainerUI* owner = nullptr;
    POINT lastMouse = {0, 0};
    int lastValue = 0;
    int lastScrollOffset = 0;
    int repeatCount = 0;
    bool showButton1 = true;
    CUiRect button1Rect;
    std::uint32_t button1State = 0;
    bool showButton2 = true;
    CUiRect button2Rect;
    std::uint32_t button2State = 0;
    CUiRect thumbRect;
    std::uint32_t thumbState = 0;
    std::uint32_t backgroundState = 0;
    std::uint32_t railState = 0;
    CUiString images[PartCount][StateCount];
    CUiString imageModifier;
};

}  // namespace Weft
