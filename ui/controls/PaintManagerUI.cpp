#include "ui/controls/PaintManagerUI.h"

#include "ui/controls/ControlUI.h"
#include "ui/window/BlendEntries.h"
#include "ui/window/GdiplusHeaders.h"
#include "ui/window/RenderEngine.h"

namespace Weft {
namespace {

// Process-wide: the managers alive, in creation order.
CUiPtrArray& LiveManagers() {
    static CUiPtrArray* managers = new CUiPtrArray;
    return *managers;
}

// The tooltip window class lives in the common controls. comctl32 is no KnownDLL: it is
// loaded from the system directory (or the side-by-side version the manifest names), never
// imported, so no comctl32.dll beside the program is ever loaded.
void RegisterCommonControls() {
    const HMODULE module = ::LoadLibraryExW(L"comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module == nullptr) return;
    using InitEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto init = reinterpret_cast<InitEx>(
        reinterpret_cast<void*>(::GetProcAddress(module, "InitCommonControlsEx")));
    if (init == nullptr) return;
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    init(&classes);
}

void FirstManagerSetUp() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterCommonControls();
    // Resolves the "msimg32.dll" primitives before anything of this process draws.
    GetBlendEntries();
}

CControlUI* NameVisitor(CControlUI* control, void* data) {
    const CUiString name = control->GetName();
    if (!name.IsEmpty()) static_cast<CUiStringPtrMap*>(data)->Set(name, control);
    return nullptr;
}

}  // namespace

CPaintManagerUI::CPaintManagerUI() : tables_(std::make_unique<CUiResourceTables>(imageFactory_)) {
    FirstManagerSetUp();
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&gdiplusToken_, &input, nullptr);
}

// GDI+ objects of images must go before GDI+ shuts down: the manager's tables are emptied
// first, and when no other manager remains, the shared images too.
CPaintManagerUI::~CPaintManagerUI() {
    DeleteDetached();
    for (int i = 0; i < asyncNotifications_.Count(); ++i) {
        delete static_cast<NotifyRecord*>(asyncNotifications_[i]);
    }
    asyncNotifications_.Clear();
    nameMap_.RemoveAll();
    CControlUI* root = root_;
    root_ = nullptr;
    delete root;
    StopAllTimers();
    for (int i = 0; i < optionGroups_.Count(); ++i) {
        delete static_cast<CUiPtrArray*>(optionGroups_.Find(optionGroups_.KeyAt(i), false));
    }
    if (toolTip_ != nullptr) ::DestroyWindow(toolTip_);
    FreeBuffers();
    if (windowDc_ != nullptr) ::ReleaseDC(window_, windowDc_);
    CUiPtrArray& managers = LiveManagers();
    managers.RemoveAt(managers.IndexOf(this));
    if (managers.IsEmpty()) tables_->RemoveAllImages(true);
    tables_.reset();
    Gdiplus::GdiplusShutdown(gdiplusToken_);
}

const CUiPtrArray& CPaintManagerUI::Managers() {
    return LiveManagers();
}

void CPaintManagerUI::AttachWindow(HWND hwnd, const wchar_t* name) {
    nameMap_.Rebuild(83);
    tables_->RemoveAllFonts();
    tables_->RemoveAllImages();
    tables_->RemoveAllDefaultAttributes();
    tables_->RemoveAllStyles();
    for (int i = 0; i < optionGroups_.Count(); ++i) {
        delete static_cast<CUiPtrArray*>(optionGroups_.Find(optionGroups_.KeyAt(i), false));
    }
    optionGroups_.RemoveAll();
    StopAllTimers();
    name_ = name;
    if (hwnd == window_) return;
    if (windowDc_ != nullptr) ::ReleaseDC(window_, windowDc_);
    window_ = hwnd;
    windowDc_ = ::GetDC(hwnd);
    tables_->SetMeasureContext(windowDc_);
    CUiPtrArray& managers = LiveManagers();
    if (managers.IndexOf(this) < 0) managers.Push(this);
}

bool CPaintManagerUI::AttachRoot(CControlUI* root) {
    if (root == nullptr) return false;
    FocusControl(nullptr);
    keyPress_ = hover_ = click_ = rightClick_ = nullptr;
    // Installing the current root again must not hand it to delayed deletion.
    if (root_ != nullptr && root_ != root) {
        overlayPainters_.Clear();
        DeleteLater(root_);
    }
    // A root attached again while its deletion is queued is the manager's again, not garbage.
    delayedCleanup_.RemoveAt(delayedCleanup_.IndexOf(root));
    root_ = root;
    firstLayout_ = updateNeeded_ = focusNeeded_ = true;
    root_->Attach(this, root_->GetParent(), true);
    AddNamesOf(root_);
    return true;
}

void CPaintManagerUI::AddNamesOf(CControlUI* subtree) {
    if (subtree != nullptr) subtree->LocateControl(NameVisitor, &nameMap_, 0);
}

CControlUI* CPaintManagerUI::FindControlByName(const wchar_t* name) {
    if (name == nullptr) return nullptr;
    return static_cast<CControlUI*>(nameMap_.Find(name));
}

namespace {
CControlUI* HitVisitor(CControlUI* control, void* data) {
    return ::PtInRect(&control->GetPos(), *static_cast<POINT*>(data)) ? control : nullptr;
}
}  // namespace

CControlUI* CPaintManagerUI::FindControlAt(POINT point) {
    if (root_ == nullptr) return nullptr;
    return root_->LocateControl(HitVisitor, &point, kFindVisible | kFindHitTest | kFindTopFirst);
}

CControlUI* CPaintManagerUI::OwnControlAt(POINT point) {
    CControlUI* control = FindControlAt(point);
    return control != nullptr && control->GetManager() == this ? control : nullptr;
}

// The lists of listeners, hooks, painters and child windows hold each entry once.
namespace {
bool AddOnce(CUiPtrArray& list, void* item) {
    return item != nullptr && list.IndexOf(item) < 0 && list.Push(item);
}
bool RemoveFrom(CUiPtrArray& list, void* item) {
    return list.RemoveAt(list.IndexOf(item));
}
}  // namespace

bool CPaintManagerUI::AddNotifyListener(INotifyUI* listener) {
    return AddOnce(notifiers_, listener);
}

bool CPaintManagerUI::RemoveNotifyListener(INotifyUI* listener) {
    return RemoveFrom(notifiers_, listener);
}

bool CPaintManagerUI::AddMessageHook(IMessageFilterUI* filter) {
    return AddOnce(messageFilters_, filter);
}

bool CPaintManagerUI::RemoveMessageHook(IMessageFilterUI* filter) {
    return RemoveFrom(messageFilters_, filter);
}

bool CPaintManagerUI::AddOverlayPainter(CControlUI* control) {
    return AddOnce(overlayPainters_, control);
}

bool CPaintManagerUI::RemoveOverlayPainter(CControlUI* control) {
    return RemoveFrom(overlayPainters_, control);
}

bool CPaintManagerUI::AddChildWindow(HWND hwnd) {
    return AddOnce(childWindows_, hwnd);
}

bool CPaintManagerUI::RemoveChildWindow(HWND hwnd) {
    return RemoveFrom(childWindows_, hwnd);
}

bool CPaintManagerUI::AddMouseLeaveListener(CControlUI* control) {
    return AddOnce(mouseLeaveListeners_, control);
}

bool CPaintManagerUI::RemoveMouseLeaveListener(CControlUI* control) {
    return RemoveFrom(mouseLeaveListeners_, control);
}

bool CPaintManagerUI::JoinOptionGroup(const wchar_t* group, CControlUI* control) {
    if (group == nullptr || control == nullptr) return false;
    auto* members = static_cast<CUiPtrArray*>(optionGroups_.Find(group));
    if (members == nullptr) {
        members = new CUiPtrArray;
        if (!optionGroups_.Insert(group, members)) {
            delete members;
            return false;
        }
    }
    if (members->IndexOf(control) >= 0) return true;
    return members->Push(control);
}

void CPaintManagerUI::LeaveOptionGroup(const wchar_t* group, CControlUI* control) {
    if (group == nullptr) return;
    auto* members = static_cast<CUiPtrArray*>(optionGroups_.Find(group));
    if (members == nullptr) return;
    members->RemoveAt(members->IndexOf(control));
    if (members->IsEmpty()) {
        optionGroups_.Remove(group);
        delete members;
    }
}

CUiPtrArray* CPaintManagerUI::OptionGroupMembers(const wchar_t* group) {
    return group != nullptr ? static_cast<CUiPtrArray*>(optionGroups_.Find(group)) : nullptr;
}

void CPaintManagerUI::SetInitialSize(SIZE size) {
    initialSize_ = size;
    if (root_ == nullptr && window_ != nullptr) {
        ::SetWindowPos(window_, nullptr, 0, 0, Scale(size.cx), Scale(size.cy),
                       SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    }
}

void CPaintManagerUI::SetHsl(short hue, short saturation, short lightness) {
    hue_ = hue;
    saturation_ = saturation;
    lightness_ = lightness;
    RepaintAll();
}

void CPaintManagerUI::GetHsl(short& hue, short& saturation, short& lightness) const {
    hue = hue_;
    saturation = saturation_;
    lightness = lightness_;
}

int CPaintManagerUI::GetScalePercentage() {
    return tables_->GetScale().GetPercentage();
}

int CPaintManagerUI::Scale(int value) {
    return tables_->GetScale().Scale(value);
}

int CPaintManagerUI::Unscale(int pixels) {
    return tables_->GetScale().Unscale(pixels);
}

std::uint32_t CPaintManagerUI::GetDefaultLinkFontColor() {
    return tables_->GetDefaultColour(DefaultColour::LinkText);
}

std::uint32_t CPaintManagerUI::GetDefaultLinkHoverFontColor() {
    return tables_->GetDefaultColour(DefaultColour::LinkHoverText);
}

std::uint32_t CPaintManagerUI::GetDefaultSelectedBkColor() {
    return tables_->GetDefaultColour(DefaultColour::SelectedBackground);
}

FontRecord* CPaintManagerUI::GetFont(int number) {
    return tables_->GetFont(number);
}

FontRecord* CPaintManagerUI::GetFontByHandle(HFONT font) {
    return tables_->GetFontByHandle(font);
}

HFONT CPaintManagerUI::FindFont(const wchar_t* face, int size, bool bold, bool underline,
                                bool italic) {
    return tables_->FindFont(face, size, bold, underline, italic);
}

HFONT CPaintManagerUI::AddFont(int number, const wchar_t* face, int size, bool bold, bool underline,
                               bool italic, bool shared) {
    return tables_->AddFont(number, face, size, bold, underline, italic, shared);
}

ImageRecord* CPaintManagerUI::FindOrLoadImage(const wchar_t* name, const wchar_t* type,
                                              std::uint32_t mask, bool keepPixels, bool gdiplus,
                                              HINSTANCE instance) {
    return tables_->FindOrLoadImage(name, type, mask, keepPixels, gdiplus, instance);
}

DrawingDescription* CPaintManagerUI::GetDrawingDescription(const wchar_t* imageText,
                                                           const wchar_t* modifierText) {
    return tables_->GetDrawingDescription(imageText, modifierText);
}

void CPaintManagerUI::PaintControl(CControlUI* control, HDC dc, const CUiRect& paintArea) {
    if (control != nullptr) control->PaintRegion(dc, paintArea, nullptr);
}

}  // namespace Weft
