#pragma once

#include <windows.h>

#include "ui/core/UiMarkup.h"

namespace Weft {

class CControlUI;
class CPaintManagerUI;

// Creates controls for element names the factory does not know.
class IDialogBuilderCallback {
  public:
    virtual CControlUI* CreateControl(const wchar_t* elementName) = 0;

  protected:
    ~IDialogBuilderCallback() = default;
};

// Turns a layout document into a tree of controls for one paint manager: its resources go to
// the manager's tables, the Window element's attributes to the manager and its window, and
// every other element becomes a control of the factory.
class CUiLayoutBuilder {
  public:
    CUiLayoutBuilder() = default;
    CUiLayoutBuilder(const CUiLayoutBuilder&) = delete;
    CUiLayoutBuilder& operator=(const CUiLayoutBuilder&) = delete;

    // `layout` is markup text (beginning with '<'), the name of a layout registered with
    // CLayoutRegistry, a file name, or, with a non-null `type`, a resource id made with
    // MAKEINTRESOURCEW. Null when nothing could be built.
    CControlUI* Create(const wchar_t* layout, const wchar_t* type, IDialogBuilderCallback* callback,
                       CPaintManagerUI* manager, CControlUI* parent = nullptr);
    const CUiMarkup& GetMarkup() const { return markup_; }

  private:
    bool Load(const wchar_t* layout, const wchar_t* type);
    CControlUI* Build(CPaintManagerUI* manager, CControlUI* parent);
    void LoadResources(CUiMarkupNode root, CPaintManagerUI* manager);
    void ApplyWindow(CUiMarkupNode root, CPaintManagerUI* manager);
    CControlUI* BuildLevel(CUiMarkupNode first, CControlUI* parent, CPaintManagerUI* manager);
    void Include(CUiMarkupNode node, CControlUI* parent, CPaintManagerUI* manager);

    // Includes nested deeper than this are skipped.
    static constexpr int kMaxIncludeDepth = 10;
    // The depth bound stops recursion, not breadth: a layout that includes itself `count`
    // times would make count^10 builds. One top-level build creates at most this many
    // controls through Includes; the rest are skipped.
    static constexpr int kMaxIncludedControls = 10000;
    int& IncludedControls() {
        return includedControls_ != nullptr ? *includedControls_ : ownIncluded_;
    }

    CUiMarkup markup_;
    IDialogBuilderCallback* callback_ = nullptr;
    int includeDepth_ = 0;
    int ownIncluded_ = 0;
    int* includedControls_ = nullptr;  // the top-level build's count, shared by its Includes
    const wchar_t* resourceType_ = nullptr;
};

}  // namespace Weft
