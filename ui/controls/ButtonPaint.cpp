#include "ui/controls/ButtonUI.h"
#include "ui/controls/PaintManagerUI.h"
#include "ui/window/DrawingDescription.h"
#include "ui/window/ImageRecord.h"
#include "ui/window/RenderEngine.h"

namespace Weft {

void CButtonUI::RefreshPaintState() {
    buttonState = focused ? buttonState | kButtonFocused : buttonState & ~kButtonFocused;
    buttonState = IsEnabled() ? buttonState & ~kButtonDisabled : buttonState | kButtonDisabled;
}

void CButtonUI::DrawBackgroundColor(HDC dc) {
    std::uint32_t colour = 0;
    if ((buttonState & kButtonDisabled) != 0) {
        colour = disabledBkColor;
    } else if ((buttonState & kButtonPushed) != 0) {
        colour = pushedBkColor;
    } else if ((buttonState & kButtonHot) != 0) {
        colour = hotBkColor;
    }
    if (colour != 0) {
        CRenderEngine::FillSolid(dc, paintRect, AdjustColor(colour));
    } else {
        CLabelUI::DrawBackgroundColor(dc);
    }
}

void CButtonUI::SplitStateImage() {
    if (manager == nullptr) return;
    DrawingDescription description;
    ParseImageDescription(description, stateImage, nullptr, manager);
    const ImageRecord* image =
        manager->FindOrLoadImage(description.imageName, description.resourceType, description.mask,
                                 false, description.gdiplus, nullptr);
    if (image == nullptr || image->width <= 0 || image->height <= 0) return;
    const int cellWidth = image->width / stateCount;
    const CUiRect& dest = description.dest;
    CUiString cells[4];
    for (int cell = 0; cell < 4 && cell < stateCount; ++cell) {
        cells[cell].Format(L"res='%s' restype='%s' dest='%d,%d,%d,%d' source='%d,%d,%d,%d'",
                           description.imageName.GetData(), description.resourceType.GetData(),
                           dest.left, dest.top, dest.right, dest.bottom, cell * cellWidth, 0,
                           (cell + 1) * cellWidth, image->height);
    }
    normalImage = cells[0];
    if (stateCount >= 2) hotImage = pushedImage = cells[1];
    if (stateCount >= 3) pushedImage = cells[2];
    if (stateCount >= 4) disabledImage = cells[3];
}

void CButtonUI::DrawStateImage(HDC dc) {
    RefreshPaintState();
    if (manager != nullptr && !::IsWindowEnabled(manager->GetWindowHandle())) {
        buttonState &= kButtonDisabled;
    }
    if (!stateImage.IsEmpty() && stateCount > 0 && normalImage.IsEmpty()) SplitStateImage();
    const CUiString* image = nullptr;
    if ((buttonState & kButtonDisabled) != 0) {
        image = &disabledImage;
    } else if ((buttonState & kButtonPushed) != 0) {
        image = &pushedImage;
    } else if ((buttonState & kButtonHot) != 0) {
        image = &hotImage;
    } else if ((buttonState & kButtonFocused) != 0) {
        image = &focusedImage;
    }
    if (image != nullptr && !image->IsEmpty() && DrawImage(dc, *image)) return;
    if (!normalImage.IsEmpty()) DrawImage(dc, normalImage);
}

void CButtonUI::DrawForegroundImage(HDC dc) {
    if ((buttonState & kButtonPushed) != 0 && !pushedForeImage.IsEmpty()) {
        if (DrawImage(dc, pushedForeImage)) return;
    } else if ((buttonState & kButtonHot) != 0 && !hotForeImage.IsEmpty()) {
        if (DrawImage(dc, hotForeImage)) return;
    }
    CLabelUI::DrawForegroundImage(dc);
}

void CButtonUI::DrawTextContent(HDC dc) {
    RefreshPaintState();
    AdoptDefaultColours();
    const bool pushed = (buttonState & kButtonPushed) != 0;
    const bool hot = (buttonState & kButtonHot) != 0;
    const bool hasFocus = (buttonState & kButtonFocused) != 0;
    std::uint32_t colour = IsEnabled() ? textColor : disabledTextColor;
    if (pushed && pushedTextColor != 0) {
        colour = pushedTextColor;
    } else if (hot && hotTextColor != 0) {
        colour = hotTextColor;
    }
    if (hasFocus && focusedTextColor != 0) colour = focusedTextColor;
    int fontNumber = font;
    if (pushed && pushedFont != -1) {
        fontNumber = pushedFont;
    } else if (hot && hotFont != -1) {
        fontNumber = hotFont;
    }
    if (hasFocus && focusedFont != -1) fontNumber = focusedFont;
    DrawLabelText(dc, colour, fontNumber);
}

void CButtonUI::DrawBorder(HDC dc) {
    std::uint32_t colour = 0;
    if ((buttonState & kButtonDisabled) != 0 && disabledBorderColor != 0) {
        colour = disabledBorderColor;
    } else if ((buttonState & kButtonPushed) != 0 && pushedBorderColor != 0) {
        colour = pushedBorderColor;
    } else if ((buttonState & kButtonHot) != 0 && hotBorderColor != 0) {
        colour = hotBorderColor;
    }
    if (colour != 0) {
        StrokeBorder(dc, AdjustColor(colour), false);
    } else {
        CLabelUI::DrawBorder(dc);
    }
}

}  // namespace Weft
