#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/controls/LabelUI.h"

namespace Weft {

// A label always drawn as inline markup whose links can be clicked ("link" with the index).
class CTextUI : public CLabelUI {
  public:
    static constexpr int kMaxLinks = 8;

    CTextUI();

    const wchar_t* ClassName() const override;
    void* CastTo(const wchar_t* interfaceName) override;
    std::uint32_t Flags() const override;
    void ProcessEvent(EventRecord& event) override;
    CUiSize MeasureSize(SIZE available) override;
    void DrawTextContent(HDC dc) override;

    int GetLinkCount() const { return linkCount; }
    const CUiRect& GetLinkRect(int index) const { return linkRects[index]; }

  private:
    // The index of the link under the point, or -1.
    int LinkAt(POINT point) const;

    CUiRect linkRects[kMaxLinks];
    CUiString linkNames[kMaxLinks];
    int linkCount = 0;
    int hoverLink = -1;
};

}  // namespace Weft
