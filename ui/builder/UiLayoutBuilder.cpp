#include "ui/builder/UiLayoutBuilder.h"

#include <cwchar>
#include <optional>
#include <string>

#include "ui/builder/ControlFactory.h"
#include "ui/builder/LayoutRegistry.h"
#include "ui/controls/ContainerUI.h"
#include "ui/controls/PaintManagerUI.h"
#include "ui/core/ModuleSettings.h"

namespace Weft {
namespace {

bool Is(const wchar_t* name, const wchar_t* known) {
    return ::lstrcmpiW(name, known) == 0;
}

bool IsResourceElement(const wchar_t* name) {
    return Is(name, L"Image") || Is(name, L"Font") || Is(name, L"Default") || Is(name, L"Style") ||
           Is(name, L"Import");
}

CControlUI* CreateFromFactory(const wchar_t* element) {
    std::wstring className = L"C";
    className += element;
    className += L"UI";
    return CControlFactory::Instance().CreateControl(className.c_str());
}

}  // namespace

CControlUI* CUiLayoutBuilder::Create(const wchar_t* layout, const wchar_t* type,
                                     IDialogBuilderCallback* callback, CPaintManagerUI* manager,
                                     CControlUI* parent) {
    if (!Load(layout, type)) return nullptr;
    callback_ = callback;
    return Build(manager, parent);
}

bool CUiLayoutBuilder::Load(const wchar_t* layout, const wchar_t* type) {
    if (layout == nullptr) return false;
    if (IS_INTRESOURCE(layout)) {
        resourceType_ = type;
        HINSTANCE instance = GetResourceInstance();
        HRSRC found = ::FindResourceW(instance, layout, type);
        HGLOBAL loaded = found != nullptr ? ::LoadResource(instance, found) : nullptr;
        const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
        return bytes != nullptr && markup_.LoadFromMem(bytes, ::SizeofResource(instance, found));
    }
    resourceType_ = nullptr;
    std::optional<std::wstring> registered;
    if (layout[0] != L'<') registered = CLayoutRegistry::Find(layout);
    if (registered) layout = registered->c_str();
    return layout[0] == L'<' ? markup_.Load(layout) : markup_.LoadFromFile(layout);
}

CControlUI* CUiLayoutBuilder::Build(CPaintManagerUI* manager, CControlUI* parent) {
    CUiMarkupNode root = markup_.GetRoot();
    if (!root.IsValid()) return nullptr;
    if (manager != nullptr) {
        LoadResources(root, manager);
        ApplyWindow(root, manager);
    }
    return BuildLevel(root.GetChild(), parent, manager);
}

void CUiLayoutBuilder::Include(CUiMarkupNode node, CControlUI* parent, CPaintManagerUI* manager) {
    int count = 1;
    const wchar_t* source = nullptr;
    for (int i = 0; i < node.GetAttributeCount(); ++i) {
        if (Is(node.GetAttributeName(i), L"count")) {
            count = static_cast<int>(std::wcstol(node.GetAttributeValue(i), nullptr, 10));
        } else if (Is(node.GetAttributeName(i), L"source")) {
            source = node.GetAttributeValue(i);
        }
    }
    // A layout that includes itself, directly or through others, would recurse until the
    // stack overflows; nesting ends here instead.
    if (source == nullptr || includeDepth_ >= kMaxIncludeDepth) return;
    for (int i = 0; i < count && IncludedControls() < kMaxIncludedControls; ++i) {
        CUiLayoutBuilder inner;
        inner.includeDepth_ = includeDepth_ + 1;
        inner.includedControls_ = &IncludedControls();
        CControlUI* built = nullptr;
        if (resourceType_ != nullptr) {
            const auto id = static_cast<WORD>(std::wcstol(source, nullptr, 10));
            built = inner.Create(MAKEINTRESOURCEW(id), resourceType_, callback_, manager, parent);
        } else {
            built = inner.Create(source, nullptr, callback_, manager, parent);
        }
        // Without a parent nothing holds what the include built: its result is not used.
        if (parent == nullptr) delete built;
    }
}

CControlUI* CUiLayoutBuilder::BuildLevel(CUiMarkupNode first, CControlUI* parent,
                                         CPaintManagerUI* manager) {
    CControlUI* result = nullptr;
    for (CUiMarkupNode node = first; node.IsValid(); node = node.GetSibling()) {
        const wchar_t* element = node.GetName();
        if (IsResourceElement(element)) continue;
        if (Is(element, L"Include")) {
            Include(node, parent, manager);
            continue;
        }
        if (includeDepth_ > 0 && IncludedControls() >= kMaxIncludedControls) break;
        CControlUI* control = CreateFromFactory(element);
        if (control == nullptr && callback_ != nullptr) control = callback_->CreateControl(element);
        if (control == nullptr) continue;
        if (includeDepth_ > 0) ++IncludedControls();
        if (node.HasChildren()) BuildLevel(node.GetChild(), control, manager);
        if (parent == nullptr && result != nullptr) {
            // Without a parent only the first control is returned; nothing would hold a later
            // one.
            delete control;
            continue;
        }
        if (parent != nullptr) {
            auto* container = static_cast<IContainerUI*>(parent->CastTo(L"IContainer"));
            if (container == nullptr) {
                delete control;
                return result;
            }
            if (!container->AddItem(control)) {
                delete control;
                continue;
            }
        }
        if (manager != nullptr) {
            // Attached for the time of attribute parsing, which needs the manager's styles and
            // fonts; the parent the container just gave it is kept, so a control added into a
            // tree that is already shown can still reach it.
            CPaintManagerUI* const previousManager = control->GetManager();
            CControlUI* const containerParent = control->GetParent();
            control->Attach(manager, containerParent, false);
            if (const wchar_t* defaults = manager->GetDefaultAttributes(element)) {
                control->ApplyAttributeText(defaults);
            }
            for (int i = 0; i < node.GetAttributeCount(); ++i) {
                control->SetAttribute(node.GetAttributeName(i), node.GetAttributeValue(i));
            }
            control->Attach(previousManager, containerParent, false);
        }
        if (result == nullptr) result = control;
    }
    return result;
}

}  // namespace Weft
