#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/controls/LabelUI.h"

namespace Weft {

// Bits of a button's state.
constexpr std::uint32_t kButtonFocused = 0x01;
constexpr std::uint32_t kButtonDisabled = 0x04;
constexpr std::uint32_t kButtonHot = 0x08;
constexpr std::uint32_t kButtonPushed = 0x10;
constexpr std::uint32_t kButtonCaptured = 0x40;

// A tab layout's page selection, all a button bound to one asks of it.
class ITabPagesUI {
  public:
    virtual bool SelectItem(int index) = 0;

  protected:
    ~ITabPagesUI() = default;
};

// A label that tracks hot and pushed states, draws per-state colours, borders, images, text
// colours and fonts, and sends "click" when released inside itself or activated by the keyboard.
class CButtonUI : public CLabelUI {
  public:
    CButtonUI();

    const wchar_t* ClassName() const override;
    void* CastTo(const wchar_t* interfaceName) override;
    std::uint32_t Flags() const override;
    bool Trigger() override;
    void SetEnabled(bool enable = true) override;
    void ProcessEvent(EventRecord& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void DrawBackgroundColor(HDC dc) override;
    void DrawStateImage(HDC dc) override;
    void DrawForegroundImage(HDC dc) override;
    void DrawTextContent(HDC dc) override;
    void DrawBorder(HDC dc) override;

    std::uint32_t GetButtonState() const { return buttonState; }

    void SetHotBkColor(std::uint32_t color);
    std::uint32_t GetHotBkColor() const { return hotBkColor; }
    void SetPushedBkColor(std::uint32_t color);
    std::uint32_t GetPushedBkColor() const { return pushedBkColor; }
    void SetDisabledBkColor(std::uint32_t color);
    std::uint32_t GetDisabledBkColor() const { return disabledBkColor; }
    void SetHotTextColor(std::uint32_t color) { hotTextColor = color; }
    void SetPushedTextColor(std::uint32_t color) { pushedTextColor = color; }
    void SetFocusedTextColor(std::uint32_t color) { focusedTextColor = color; }
    void SetHotBorderColor(std::uint32_t color);
    std::uint32_t GetHotBorderColor() const { return hotBorderColor; }
    void SetPushedBorderColor(std::uint32_t color);
    void SetDisabledBorderColor(std::uint32_t color);
    void SetHotFont(int number);
    void SetPushedFont(int number);
    void SetFocusedFont(int number);

    CUiString GetNormalImage() const { return normalImage; }
    void SetNormalImage(const wchar_t* image);
    CUiString GetHotImage() const { return hotImage; }
    void SetHotImage(const wchar_t* image);
    CUiString GetPushedImage() const { return pushedImage; }
    void SetPushedImage(const wchar_t* image);
    CUiString GetFocusedImage() const { return focusedImage; }
    void SetFocusedImage(const wchar_t* image);
    CUiString GetDisabledImage() const { return disabledImage; }
    void SetDisabledImage(const wchar_t* image);
    CUiString GetHotForeImage() const { return hotForeImage; }
    void SetHotForeImage(const wchar_t* image);
    CUiString GetPushedForeImage() const { return pushedForeImage; }
    void SetPushedForeImage(const wchar_t* image);
    CUiString GetStateImage() const { return stateImage; }
    void SetStateImage(const wchar_t* image);
    void SetStateCount(int count);
    void BindTabIndex(int index);
    void BindTabLayoutName(const wchar_t* name);

  private:
    bool Inside(const EventRecord& event) const { return ::PtInRect(&pos, event.mouse) != FALSE; }
    void Notify(const wchar_t* type, WPARAM wParam = 0, LPARAM lParam = 0);
    void SetImage(CUiString& field, const wchar_t* image);
    void RefreshPaintState();
    // Cuts the state image into its cells and stores them as the per-state images.
    void SplitStateImage();

    std::uint32_t buttonState = 0;
    wchar_t keyPressed_ = 0;  // the Space or Enter whose release fires the button
    int hotFont = -1;
    int pushedFont = -1;
    int focusedFont = -1;
    std::uint32_t hotBkColor = 0;
    std::uint32_t pushedBkColor = 0;
    std::uint32_t disabledBkColor = 0;
    std::uint32_t hotTextColor = 0;
    std::uint32_t pushedTextColor = 0;
    std::uint32_t focusedTextColor = 0;
    std::uint32_t hotBorderColor = 0;
    std::uint32_t pushedBorderColor = 0;
    std::uint32_t disabledBorderColor = 0;
    CUiString normalImage;
    CUiString hotImage;
    CUiString hotForeImage;
    CUiString pushedImage;
    CUiString pushedForeImage;
    CUiString focusedImage;
    CUiString disabledImage;
    int stateCount = 0;
    CUiString stateImage;
    int bindTabIndex = -1;
    CUiString bindTabLayoutName;
};

}  // namespace Weft
