// The builder's resource pass (fonts, images, default lists, styles, font files into the
// manager's tables) and its Window pass (the root element's attributes to the manager).
#include <cwchar>

#include "ui/builder/UiLayoutBuilder.h"
#include "ui/controls/PaintManagerUI.h"
#include "ui/core/UiValueParsers.h"

namespace Weft {
namespace {

bool Is(const wchar_t* name, const wchar_t* known) {
    return ::lstrcmpiW(name, known) == 0;
}

bool IsTrue(const wchar_t* value) {
    return std::wcscmp(value, L"true") == 0;
}

// The first character (a '#' or similar) is skipped; the rest is read as hexadecimal.
std::uint32_t HexAfterFirst(const wchar_t* value) {
    if (value[0] == L'\0') return 0;
    return static_cast<std::uint32_t>(std::wcstoul(value + 1, nullptr, 16));
}

SIZE Pair(const wchar_t* value) {
    long v[2] = {};
    ParseIntegerList(value, v, 2);
    return SIZE{v[0], v[1]};
}

// One element's attributes, by name, for the resource elements that read a few of them.
struct Attributes {
    CUiMarkupNode node;

    const wchar_t* Get(const wchar_t* name) {
        for (int i = 0; i < node.GetAttributeCount(); ++i) {
            if (Is(node.GetAttributeName(i), name)) return node.GetAttributeValue(i);
        }
        return nullptr;
    }
    const wchar_t* Text(const wchar_t* name) {
        const wchar_t* value = Get(name);
        return value != nullptr ? value : L"";
    }
    bool Flag(const wchar_t* name) { return IsTrue(Text(name)); }
    int Number(const wchar_t* name, int fallback) {
        const wchar_t* value = Get(name);
        return value != nullptr ? static_cast<int>(std::wcstol(value, nullptr, 10)) : fallback;
    }
};

void AddImage(Attributes element, CUiResourceTables& tables) {
    const wchar_t* name = element.Get(L"name");
    if (name == nullptr) return;
    const wchar_t* type = element.Get(L"restype");
    tables.AddImage(name, type, HexAfterFirst(element.Text(L"mask")), false,
                    element.Flag(L"shared"), false);
}

void AddFont(Attributes element, CUiResourceTables& tables) {
    const int id = element.Number(L"id", -1);
    if (id < 0) return;
    const wchar_t* face = element.Text(L"name");
    const int size = element.Number(L"size", 12);
    const bool bold = element.Flag(L"bold");
    const bool underline = element.Flag(L"underline");
    const bool italic = element.Flag(L"italic");
    const bool shared = element.Flag(L"shared");
    tables.AddFont(id, face, size, bold, underline, italic, shared);
    if (element.Flag(L"default"))
        tables.SetDefaultFont(face, size, bold, underline, italic, shared);
}

}  // namespace

void CUiLayoutBuilder::LoadResources(CUiMarkupNode root, CPaintManagerUI* manager) {
    CUiResourceTables& tables = manager->Resources();
    for (CUiMarkupNode node = root.GetChild(); node.IsValid(); node = node.GetSibling()) {
        const wchar_t* kind = node.GetName();
        Attributes element{node};
        if (Is(kind, L"Image")) {
            AddImage(element, tables);
        } else if (Is(kind, L"Font")) {
            AddFont(element, tables);
        } else if (Is(kind, L"Default") || Is(kind, L"Style")) {
            const wchar_t* name = element.Get(L"name");
            if (name == nullptr) continue;
            if (Is(kind, L"Default")) {
                tables.AddDefaultAttributes(name, element.Text(L"value"), element.Flag(L"shared"));
            } else {
                tables.AddStyle(name, element.Text(L"value"), element.Flag(L"shared"));
            }
        } else if (Is(kind, L"Import")) {
            const wchar_t* fontFile = nullptr;
            for (int i = 0; i < node.GetAttributeCount(); ++i) {
                if (Is(node.GetAttributeName(i), L"fontfile")) fontFile = node.GetAttributeValue(i);
            }
            if (fontFile != nullptr) tables.AddFontFile(fontFile);
        }
    }
}

void CUiLayoutBuilder::ApplyWindow(CUiMarkupNode root, CPaintManagerUI* manager) {
    if (!Is(root.GetName(), L"Window") || manager->GetWindowHandle() == nullptr) return;
    CUiResourceTables& tables = manager->Resources();
    for (int i = 0; i < root.GetAttributeCount(); ++i) {
        const wchar_t* name = root.GetAttributeName(i);
        const wchar_t* value = root.GetAttributeValue(i);
        if (Is(name, L"size")) {
            // The manager scales the size itself when it resizes the window; scaling here too
            // would apply the display scale twice.
            manager->SetInitialSize(Pair(value));
        } else if (Is(name, L"sizebox")) {
            manager->SetResizeBorder(ParseRect(value));
        } else if (Is(name, L"caption")) {
            manager->SetCaptionArea(ParseRect(value));
        } else if (Is(name, L"roundcorner")) {
            manager->SetCornerRadius(Pair(value));
        } else if (Is(name, L"mininfo")) {
            manager->SetMinTrackSize(Pair(value));
        } else if (Is(name, L"maxinfo")) {
            manager->SetMaxTrackSize(Pair(value));
        } else if (Is(name, L"showdirty")) {
            manager->SetOutlineRepaint(IsTrue(value));
        } else if (Is(name, L"opacity") || Is(name, L"alpha")) {
            manager->SetWindowAlpha(static_cast<BYTE>(std::wcstol(value, nullptr, 10)));
        } else if (std::wcscmp(name, L"layeredopacity") == 0) {
            manager->SetLayeredAlpha(static_cast<BYTE>(std::wcstol(value, nullptr, 10)));
        } else if (std::wcscmp(name, L"layered") == 0 || std::wcscmp(name, L"bktrans") == 0) {
            manager->EnableLayeredMode(IsTrue(value));
        } else if (std::wcscmp(name, L"layeredimage") == 0) {
            manager->EnableLayeredMode(true);
            manager->SetLayeredBackground(value);
        } else if (std::wcscmp(name, L"noactivate") == 0) {
            manager->SetNoActivate(IsTrue(value));
        } else if (Is(name, L"disabledfontcolor")) {
            tables.SetDefaultColour(DefaultColour::DisabledText, HexAfterFirst(value));
        } else if (Is(name, L"defaultfontcolor")) {
            tables.SetDefaultColour(DefaultColour::Text, HexAfterFirst(value));
        } else if (Is(name, L"linkfontcolor")) {
            tables.SetDefaultColour(DefaultColour::LinkText, HexAfterFirst(value));
        } else if (Is(name, L"linkhoverfontcolor")) {
            tables.SetDefaultColour(DefaultColour::LinkHoverText, HexAfterFirst(value));
        } else if (Is(name, L"selectedcolor")) {
            tables.SetDefaultColour(DefaultColour::SelectedBackground, HexAfterFirst(value));
        } else if (Is(name, L"gdiplustext")) {
            manager->SetUseGdiplusText(IsTrue(value));
        } else if (Is(name, L"textrenderinghint")) {
            manager->SetTextHint(static_cast<int>(std::wcstol(value, nullptr, 10)));
        } else if (Is(name, L"tooltiphovertime")) {
            manager->SetHoverDelay(static_cast<int>(std::wcstol(value, nullptr, 10)));
        }
    }
}

}  // namespace Weft
