#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "ui/controls/UiEvents.h"
#include "ui/core/UiPtrArray.h"
#include "ui/core/UiResourceTables.h"
#include "ui/core/UiStringPtrMap.h"
#include "ui/window/RenderHost.h"
#include "ui/window/RenderImageFactory.h"

namespace Weft {

class CControlUI;

// The private message that delivers queued notifications and deletes detached controls on a
// later turn of the message loop.
constexpr UINT WM_UI_ASYNC = WM_APP + 1;

// Turns one native window into a tree of windowless controls: it owns the root, routes the
// window's messages to single controls as events, paints the tree through a 32-bit offscreen
// buffer, delivers notifications and holds the window's resource tables.
class CPaintManagerUI : public IRenderHostUI {
  public:
    CPaintManagerUI();
    CPaintManagerUI(const CPaintManagerUI&) = delete;
    CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;
    virtual ~CPaintManagerUI();

    void AttachWindow(HWND hwnd, const wchar_t* name);
    bool AttachRoot(CControlUI* root);
    bool HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    CControlUI* GetRootControl() const { return root_; }
    CControlUI* GetFocusControl() const { return focus_; }
    HDC GetPaintContext() override { return windowDc_; }
    HWND GetWindowHandle() const { return window_; }
    const CUiString& GetName() const { return name_; }
    CControlUI* FindControlByName(const wchar_t* name);
    CControlUI* FindControlAt(POINT point);
    // Enters every named control of the subtree into the name map.
    void AddNamesOf(CControlUI* subtree);

    bool AddNotifyListener(INotifyUI* listener);
    bool RemoveNotifyListener(INotifyUI* listener);
    bool AddMessageHook(IMessageFilterUI* filter);
    bool RemoveMessageHook(IMessageFilterUI* filter);
    bool AddOverlayPainter(CControlUI* control);
    bool RemoveOverlayPainter(CControlUI* control);
    bool AddChildWindow(HWND hwnd);
    bool RemoveChildWindow(HWND hwnd);
    // Controls that also hear MouseLeave whenever the hover control changes.
    bool AddMouseLeaveListener(CControlUI* control);
    bool RemoveMouseLeaveListener(CControlUI* control);
    bool JoinOptionGroup(const wchar_t* group, CControlUI* control);
    void LeaveOptionGroup(const wchar_t* group, CControlUI* control);
    CUiPtrArray* OptionGroupMembers(const wchar_t* group);

    void SendNotification(CControlUI* control, const wchar_t* type, WPARAM wParam = 0,
                          LPARAM lParam = 0, bool async = false);

    bool StartControlTimer(CControlUI* control, std::uint32_t key, std::uint32_t elapse);
    bool StopControlTimer(CControlUI* control, std::uint32_t key);
    void StopControlTimers(CControlUI* control);
    void StopAllTimers();

    void FocusControl(CControlUI* control);
    void PresetFocus(CControlUI* control);
    bool MoveFocusByTab(bool forward);

    void Repaint(RECT rect);
    void RepaintAll();
    void MarkUpdateNeeded() { updateNeeded_ = true; }
    bool IsUpdateNeeded() const { return updateNeeded_; }
    // True inside WM_PAINT, so controls can tell a repaint request made while painting.
    bool IsPainting() const { return painting_; }

    void ForgetControl(CControlUI* control);
    void DeleteLater(CControlUI* control);

    void CaptureMouse();
    void ReleaseMouse();
    bool HasMouseCapture() const { return captured_; }
    // True while WM_CLOSE ends the press of the click control: that button-up is no click.
    bool IsClosing() const { return closing_; }

    void EnableLayeredMode(bool on);
    void SetLayeredAlpha(BYTE alpha);
    void SetLayeredBackground(const wchar_t* imageText);
    void SetWindowAlpha(BYTE alpha);
    void SetLayeredInset(const RECT& inset) { layeredInset_ = inset; }
    BYTE GetOpacity() const { return opacity_; }

    void SetMinTrackSize(SIZE size) { minTrack_ = size; }
    void SetMaxTrackSize(SIZE size) { maxTrack_ = size; }
    void SetInitialSize(SIZE size);
    SIZE GetInitialSize() const { return initialSize_; }
    void SetResizeBorder(const RECT& rect) { sizeBox_ = rect; }
    const RECT& GetResizeBorder() const { return sizeBox_; }
    void SetCaptionArea(const RECT& rect) { caption_ = rect; }
    const RECT& GetCaptionArea() const { return caption_; }
    void SetCornerRadius(SIZE size) { roundCorner_ = size; }
    SIZE GetCornerRadius() const { return roundCorner_; }
    void SetOutlineRepaint(bool on) { showDirty_ = on; }
    void SetNoActivate(bool on) { noActivate_ = on; }
    bool IsNoActivate() const { return noActivate_; }
    void SetHoverDelay(int milliseconds) { hoverTime_ = milliseconds; }
    void SetUseGdiplusText(bool on) { gdiplusText_ = on; }
    void SetTextHint(int hint) { textHint_ = hint; }
    void SetVirtualWindowNames(bool on) { virtualWindows_ = on; }
    // Paint straight into the window DC instead of through the offscreen buffer.
    void SetOffscreenPaint(bool on) { offscreen_ = on; }

    CUiResourceTables& Resources() { return *tables_; }
    const wchar_t* GetStyle(const wchar_t* name) { return tables_->GetStyle(name); }
    const wchar_t* GetDefaultAttributes(const wchar_t* className) {
        return tables_->GetDefaultAttributes(className);
    }
    void SetScalePercentage(int percentage) { tables_->GetScale().SetPercentage(percentage); }
    // Hue, saturation and lightness applied to colours of controls that ask for it.
    void SetHsl(short hue, short saturation, short lightness);
    void GetHsl(short& hue, short& saturation, short& lightness) const;

    // The offscreen buffer's pixels as 0xAARRGGBB, row 0 at the top; 0 outside the buffer.
    std::uint32_t OffscreenPixel(int x, int y) const;
    SIZE OffscreenSize() const { return offscreenSize_; }

    // Render host.
    int GetScalePercentage() override;
    int Scale(int value) override;
    int Unscale(int pixels);
    bool IsLayered() override { return layered_; }
    bool IsGdiplusText() override { return gdiplusText_; }
    int GetTextRenderingHint() override { return textHint_; }
    POINT GetMousePos() override { return lastMouse_; }
    std::uint32_t GetDefaultLinkFontColor() override;
    std::uint32_t GetDefaultLinkHoverFontColor() override;
    std::uint32_t GetDefaultSelectedBkColor() override;
    FontRecord* GetFont(int number) override;
    FontRecord* GetFontByHandle(HFONT font) override;
    HFONT FindFont(const wchar_t* face, int size, bool bold, bool underline, bool italic) override;
    HFONT AddFont(int number, const wchar_t* face, int size, bool bold, bool underline, bool italic,
                  bool shared) override;
    ImageRecord* FindOrLoadImage(const wchar_t* name, const wchar_t* type, std::uint32_t mask,
                                 bool keepPixels, bool gdiplus, HINSTANCE instance) override;
    DrawingDescription* GetDrawingDescription(const wchar_t* imageText,
                                              const wchar_t* modifierText) override;
    void PaintControl(CControlUI* control, HDC dc, const CUiRect& paintArea) override;

    // The managers alive in the process, in creation order.
    static const CUiPtrArray& Managers();

  private:
    struct TimerRecord;

    std::vector<CControlUI*> TabWalk();
    // Delivers Timer to the control of a live control timer; false when the id is not one.
    bool DeliverTimer(UINT_PTR nativeId);
    static std::uint16_t KeyState();

    bool HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void OnPaint();
    bool LayOut(const CUiRect& client);
    // Lays out one control that asked for it, where it stands (floating ones by their parent).
    void LayOutInPlace(CControlUI* control);
    CUiRect LayoutRect(const CUiRect& client) const;
    void PaintOverlays(HDC dc, const CUiRect& paint);
    void PaintOffscreen(const CUiRect& paint, const CUiRect& client);
    void FinishLayered(const CUiRect& paint, const CUiRect& client);
    void PrintChildWindows(const CUiRect& paint);
    void FreeBuffers();
    void OnMouseMove(WPARAM wParam, POINT point);
    void OnButtonDown(UINT message, WPARAM wParam, POINT point);
    void DeliverButton(CControlUI* control, UiEvent type, WPARAM wParam, LPARAM lParam);
    void PrintClient(HDC dc, LPARAM flags);
    bool OnMouseHover(POINT point);
    void OnMouseLeave();
    void OnClose();
    void ProcessAsync();
    void DeleteDetached();
    bool HandleMessageAtDepth(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void GiveNativeFocus();
    EventRecord MakeEvent(UiEvent type, CControlUI* sender, WPARAM wParam, LPARAM lParam) const;
    void Deliver(CControlUI* control, UiEvent type, CControlUI* sender, WPARAM wParam = 0,
                 LPARAM lParam = 0);
    void DeliverNotification(NotifyRecord& record);
    void PostAsync();
    // The control under the point when it belongs to this manager, else null.
    CControlUI* OwnControlAt(POINT point);
    void HideToolTip();
    CUiRect ClientRect() const;

    CUiString name_;
    HWND window_ = nullptr;
    HDC windowDc_ = nullptr;
    HDC offscreenDc_ = nullptr;
    HBITMAP offscreenBitmap_ = nullptr;
    std::uint32_t* offscreenBits_ = nullptr;
    SIZE offscreenSize_ = {0, 0};
    HDC layeredDc_ = nullptr;
    HBITMAP layeredBitmap_ = nullptr;
    std::uint32_t* layeredBits_ = nullptr;
    HWND toolTip_ = nullptr;
    TOOLINFOW toolInfo_ = {};
    CUiString toolTipText_;
    int hoverTime_ = 400;
    bool noActivate_ = false;
    bool showDirty_ = false;
    CControlUI* root_ = nullptr;
    CControlUI* focus_ = nullptr;
    CControlUI* hover_ = nullptr;
    CControlUI* click_ = nullptr;
    CControlUI* rightClick_ = nullptr;
    CControlUI* keyPress_ = nullptr;
    POINT lastMouse_ = {-1, -1};
    SIZE minTrack_ = {0, 0};
    SIZE maxTrack_ = {0, 0};
    SIZE initialSize_ = {0, 0};
    RECT sizeBox_ = {};
    RECT caption_ = {};
    SIZE roundCorner_ = {0, 0};
    std::uint32_t timerIdCounter_ = 4096;
    bool firstLayout_ = true;
    bool updateNeeded_ = false;
    bool focusNeeded_ = false;
    bool closing_ = false;
    bool offscreen_ = true;
    BYTE opacity_ = 255;
    bool layered_ = false;
    RECT layeredInset_ = {};
    bool layeredImageChanged_ = false;
    CUiString layeredImage_;
    CUiRect layeredDirty_;
    bool mouseTracking_ = false;
    bool painting_ = false;
    bool laidOut_ = false;
    bool virtualWindows_ = false;
    bool asyncPosted_ = false;
    // How many of this window's messages are being handled: above one, a message loop runs
    // inside a handler (a message box in a click), and a control queued for deletion may
    // still have its handler on the stack.
    int messageDepth_ = 0;
    bool captured_ = false;
    CUiPtrArray notifiers_;
    CUiPtrArray timers_;
    CUiPtrArray messageFilters_;
    CUiPtrArray overlayPainters_;
    CUiPtrArray childWindows_;
    CUiPtrArray delayedCleanup_;
    CUiPtrArray asyncNotifications_;
    CUiPtrArray updateList_;
    CUiPtrArray mouseLeaveListeners_;
    CUiStringPtrMap nameMap_{83};
    CUiStringPtrMap optionGroups_{83};
    CRenderImageFactory imageFactory_{this};
    std::unique_ptr<CUiResourceTables> tables_;
    bool gdiplusText_ = false;
    int textHint_ = 0;
    ULONG_PTR gdiplusToken_ = 0;
    short hue_ = 180;
    short saturation_ = 100;
    short lightness_ = 100;
};

}  // namespace Weft
