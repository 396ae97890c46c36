#include <cwchar>

#include "ui/core/UiValueParsers.h"
#include "ui/window/DrawingDescription.h"
#include "ui/window/ImagePairReader.h"
#include "ui/window/RenderHost.h"

namespace Weft {
namespace {

std::uint32_t ParseMaskColour(const wchar_t* text) {
    if (*text == L'#') {
        ++text;
    }
    return static_cast<std::uint32_t>(std::wcstoul(text, nullptr, 16));
}

void ApplyPair(DrawingDescription& d, const CUiString& key, const CUiString& value) {
    const wchar_t* v = value.GetData();
    if (key == L"file" || key == L"res") {
        d.imageName = value;
    } else if (key == L"restype") {
        d.resourceType = value;
    } else if (key == L"dest") {
        d.dest = ParseRect(v);
    } else if (key == L"source") {
        d.source = ParseRect(v);
    } else if (key == L"corner") {
        d.corner = ParseRect(v);
    } else if (key == L"mask") {
        d.mask = ParseMaskColour(v);
    } else if (key == L"fade") {
        d.fade = static_cast<unsigned>(std::wcstol(v, nullptr, 10));
    } else if (key == L"rotate") {
        d.rotate = static_cast<unsigned>(std::wcstol(v, nullptr, 10));
        d.gdiplus = true;
    } else if (key == L"gdiplus") {
        d.gdiplus = ParseBoolean(v);
    } else if (key == L"hole") {
        d.hole = ParseBoolean(v);
    } else if (key == L"xtiled") {
        d.xTiled = ParseBoolean(v);
    } else if (key == L"ytiled") {
        d.yTiled = ParseBoolean(v);
    } else if (key == L"size") {
        d.size = ParseSize(v);
    } else if (key == L"align") {
        d.align = value;
    } else if (key == L"padding") {
        d.padding = ParseRect(v);
    }
}

void ParseText(DrawingDescription& d, const wchar_t* text) {
    ImagePairReader reader(text);
    CUiString key;
    CUiString value;
    while (reader.Next(key, value)) {
        if (!value.IsEmpty()) {
            ApplyPair(d, key, value);
        }
    }
}

}  // namespace

void ParseImageDescription(DrawingDescription& description, const wchar_t* imageText,
                           const wchar_t* modifierText, IRenderHostUI* host) {
    description = DrawingDescription{};
    description.sourceText = imageText;
    description.modifierText = modifierText;
    description.imageName = imageText;
    ParseText(description, imageText);
    ParseText(description, modifierText);

    if (host != nullptr && host->GetScalePercentage() != 100) {
        CUiString suffix;
        suffix.Format(L"@%d.", host->GetScalePercentage());
        description.imageName.Replace(L".", suffix.GetData());
    }
}

}  // namespace Weft
