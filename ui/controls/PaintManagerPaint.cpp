#include <algorithm>

#include "ui/controls/ContainerUI.h"
#include "ui/controls/PaintManagerUI.h"
#include "ui/core/ModuleSettings.h"
#include "ui/window/RenderEngine.h"

namespace Weft {
namespace {

// A 32-bit DIB of positive height: rows are stored bottom-up.
HBITMAP CreateBottomUpDib(HDC dc, int width, int height, std::uint32_t** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* memory = nullptr;
    const HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    *bits = static_cast<std::uint32_t*>(memory);
    return bitmap;
}

using UpdateLayeredWindowEntry = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                               BLENDFUNCTION*, DWORD);
using SetLayeredWindowAttributesEntry = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

template <typename Entry>
Entry User32Entry(const char* name) {
    const HMODULE user32 = ::GetModuleHandleW(L"User32.dll");
    if (user32 == nullptr) return nullptr;
    return reinterpret_cast<Entry>(reinterpret_cast<void*>(::GetProcAddress(user32, name)));
}

UpdateLayeredWindowEntry UpdateLayeredWindowFunction() {
    static const auto entry = User32Entry<UpdateLayeredWindowEntry>("UpdateLayeredWindow");
    return entry;
}

HPEN DirtyPen() {
    static const HPEN pen = ::CreatePen(PS_SOLID, 1, RGB(220, 0, 0));
    return pen;
}

// Collects and never accepts, so the walk reaches the whole visible tree.
CControlUI* CollectUpdates(CControlUI* control, void* data) {
    auto* list = static_cast<CUiPtrArray*>(data);
    if (control->IsUpdateNeeded() && list->IndexOf(control) < 0) list->Push(control);
    return nullptr;
}

}  // namespace

void CPaintManagerUI::FreeBuffers() {
    if (offscreenDc_ != nullptr) ::DeleteDC(offscreenDc_);
    if (offscreenBitmap_ != nullptr) ::DeleteObject(offscreenBitmap_);
    if (layeredDc_ != nullptr) ::DeleteDC(layeredDc_);
    if (layeredBitmap_ != nullptr) ::DeleteObject(layeredBitmap_);
    offscreenDc_ = layeredDc_ = nullptr;
    offscreenBitmap_ = layeredBitmap_ = nullptr;
    offscreenBits_ = layeredBits_ = nullptr;
    offscreenSize_ = SIZE{0, 0};
}

std::uint32_t CPaintManagerUI::OffscreenPixel(int x, int y) const {
    if (offscreenBits_ == nullptr || x < 0 || y < 0 || x >= offscreenSize_.cx ||
        y >= offscreenSize_.cy) {
        return 0;
    }
    ::GdiFlush();
    return offscreenBits_[static_cast<size_t>(offscreenSize_.cy - 1 - y) * offscreenSize_.cx + x];
}

CUiRect CPaintManagerUI::LayoutRect(const CUiRect& client) const {
    CUiRect rect = client;
    if (layered_) {
        rect.left += layeredInset_.left;
        rect.top += layeredInset_.top;
        rect.right -= layeredInset_.right;
        rect.bottom -= layeredInset_.bottom;
    }
    return rect;
}

void CPaintManagerUI::LayOutInPlace(CControlUI* control) {
    auto* container = control->GetParent() != nullptr
                          ? static_cast<CContainerUI*>(control->GetParent()->CastTo(L"Container"))
                          : nullptr;
    if (control->IsFloat() && container != nullptr) {
        const CUiRect before = control->GetPos();
        container->PlaceFloatChild(container->IndexOfItem(control));
        CUiRect dirty = before;
        dirty.Union(control->GetPos());
        Repaint(dirty);
    } else {
        control->SetPos(control->GetPos(), true);
    }
}

// Lays out what asked for it; true when the paint must wait for a fresh invalidation.
bool CPaintManagerUI::LayOut(const CUiRect& client) {
    updateNeeded_ = false;
    if (::IsRectEmpty(&client) || ::IsIconic(window_)) return false;
    if (root_->IsUpdateNeeded()) {
        FreeBuffers();
        root_->SetPos(LayoutRect(client), true);
    } else {
        updateList_.Clear();
        root_->LocateControl(CollectUpdates, &updateList_,
                             kFindMeFirst | kFindVisible | kFindUpdateTest);
        for (int i = 0; i < updateList_.Count(); ++i) {
            auto* control = static_cast<CControlUI*>(updateList_[i]);
            // A container laid out earlier in the list has placed its children already.
            if (!control->IsUpdateNeeded()) continue;
            LayOutInPlace(control);
        }
        updateList_.Clear();
    }
    laidOut_ = true;
    if (firstLayout_) {
        firstLayout_ = false;
        SendNotification(root_, L"windowinit");
        if (layered_ && layeredImageChanged_) {
            RepaintAll();
            painting_ = false;
            return true;
        }
    }
    return false;
}

void CPaintManagerUI::OnPaint() {
    if (root_ == nullptr) {
        PAINTSTRUCT ps{};
        const HDC dc = ::BeginPaint(window_, &ps);
        CRenderEngine::FillSolid(dc, ps.rcPaint, 0xFF000000);
        ::EndPaint(window_, &ps);
        return;
    }
    const CUiRect client = ClientRect();
    CUiRect paint;
    if (!::GetUpdateRect(window_, &paint, FALSE)) return;
    if (focusNeeded_) MoveFocusByTab(true);
    painting_ = true;
    laidOut_ = false;
    if (updateNeeded_) {
        if (LayOut(client)) return;
    } else if (layered_ && layeredImageChanged_) {
        if (layeredBits_ != nullptr) {
            std::fill_n(layeredBits_, static_cast<size_t>(offscreenSize_.cx) * offscreenSize_.cy,
                        0u);
        }
        root_->SetPos(LayoutRect(client), true);
    }
    // A move deferred until the layout (the first one) runs now that the layout is done: its
    // repaint request lies inside this paint, which BeginPaint validates, so waiting for it
    // would move the focus at some later, unrelated repaint.
    if (focusNeeded_ && !updateNeeded_) MoveFocusByTab(true);
    if (layered_) {
        const LONG style = ::GetWindowLongW(window_, GWL_EXSTYLE);
        if ((style & WS_EX_LAYERED) == 0) {
            ::SetWindowLongW(window_, GWL_EXSTYLE, style | WS_EX_LAYERED);
        }
        offscreen_ = true;
        paint.Union(layeredDirty_);
        ::IntersectRect(&paint, &paint, &client);
        layeredDirty_.Clear();
    }
    // Buffers made for another client size (a resize whose layout did not run) are made anew:
    // the pixel loops walk them by the client's rows and columns.
    if (offscreenDc_ != nullptr &&
        (offscreenSize_.cx != client.Width() || offscreenSize_.cy != client.Height())) {
        FreeBuffers();
        paint = client;
    }
    if (offscreen_ && offscreenDc_ == nullptr) {
        offscreenDc_ = ::CreateCompatibleDC(windowDc_);
        offscreenBitmap_ =
            CreateBottomUpDib(windowDc_, client.Width(), client.Height(), &offscreenBits_);
        offscreenSize_ = SIZE{client.Width(), client.Height()};
    }
    PAINTSTRUCT ps{};
    ::BeginPaint(window_, &ps);
    // BeginPaint validates what the layout above invalidated as well, outside the part the
    // system asked for; that part is painted now or never.
    paint.Union(ps.rcPaint);
    ::IntersectRect(&paint, &paint, &client);
    if (offscreen_ && offscreenDc_ != nullptr && offscreenBitmap_ != nullptr) {
        PaintOffscreen(paint, client);
    } else {
        const int saved = ::SaveDC(windowDc_);
        root_->PaintRegion(windowDc_, paint, nullptr);
        PaintOverlays(windowDc_, paint);
        ::RestoreDC(windowDc_, saved);
    }
    ::EndPaint(window_, &ps);
    painting_ = false;
    layeredImageChanged_ = false;
    if (updateNeeded_) ::InvalidateRect(window_, nullptr, FALSE);
    if (laidOut_) SendNotification(root_, L"windowsize", 0, 0, true);
}

void CPaintManagerUI::PaintOverlays(HDC dc, const CUiRect& paint) {
    // A painter may remove itself; the copy keeps the walk valid.
    const CUiPtrArray painters = overlayPainters_;
    for (int i = 0; i < painters.Count(); ++i) {
        if (overlayPainters_.IndexOf(painters[i]) < 0) continue;
        static_cast<CControlUI*>(painters[i])->PaintAfter(dc, paint);
    }
}

void CPaintManagerUI::PaintOffscreen(const CUiRect& paint, const CUiRect& client) {
    const HGDIOBJ previous = ::SelectObject(offscreenDc_, offscreenBitmap_);
    const int saved = ::SaveDC(offscreenDc_);
    if (layered_) {
        for (LONG y = paint.top; y < paint.bottom; ++y) {
            std::uint32_t* row =
                offscreenBits_ + static_cast<size_t>(offscreenSize_.cy - 1 - y) * offscreenSize_.cx;
            std::fill(row + paint.left, row + paint.right, 0u);
        }
    }
    root_->PaintRegion(offscreenDc_, paint, nullptr);
    if (layered_) PrintChildWindows(paint);
    PaintOverlays(offscreenDc_, paint);
    ::RestoreDC(offscreenDc_, saved);
    if (layered_) {
        FinishLayered(paint, client);
    } else {
        ::BitBlt(windowDc_, paint.left, paint.top, paint.Width(), paint.Height(), offscreenDc_,
                 paint.left, paint.top, SRCCOPY);
    }
    ::SelectObject(offscreenDc_, previous);
    if (showDirty_ && !layered_) {
        const HGDIOBJ pen = ::SelectObject(windowDc_, DirtyPen());
        const HGDIOBJ brush = ::SelectObject(windowDc_, ::GetStockObject(HOLLOW_BRUSH));
        ::Rectangle(windowDc_, paint.left, paint.top, paint.right, paint.bottom);
        ::SelectObject(windowDc_, pen);
        ::SelectObject(windowDc_, brush);
    }
}

void CPaintManagerUI::PrintChildWindows(const CUiRect& paint) {
    for (int i = childWindows_.Count() - 1; i >= 0; --i) {
        const auto child = static_cast<HWND>(childWindows_[i]);
        if (!::IsWindow(child)) {
            childWindows_.RemoveAt(i);
            continue;
        }
        if (!::IsWindowVisible(child)) continue;
        CUiRect childRect;
        ::GetWindowRect(child, &childRect);
        ::MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&childRect), 2);
        CUiRect overlap;
        if (!::IntersectRect(&overlap, &childRect, &paint)) continue;
        std::uint32_t* bits = nullptr;
        const HDC dc = ::CreateCompatibleDC(offscreenDc_);
        const HBITMAP bitmap =
            CreateBottomUpDib(offscreenDc_, childRect.Width(), childRect.Height(), &bits);
        if (dc != nullptr && bitmap != nullptr) {
            const HGDIOBJ old = ::SelectObject(dc, bitmap);
            ::SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                           PRF_CHECKVISIBLE | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
            ::GdiFlush();
            for (LONG n = 0, count = childRect.Width() * childRect.Height(); n < count; ++n) {
                if (bits[n] != 0) bits[n] |= 0xFF000000;
            }
            ::BitBlt(offscreenDc_, childRect.left, childRect.top, childRect.Width(),
                     childRect.Height(), dc, 0, 0, SRCCOPY);
            ::SelectObject(dc, old);
        }
        if (bitmap != nullptr) ::DeleteObject(bitmap);
        if (dc != nullptr) ::DeleteDC(dc);
    }
}

void CPaintManagerUI::FinishLayered(const CUiRect& paint, const CUiRect& client) {
    ::GdiFlush();
    const LONG width = offscreenSize_.cx;
    auto rowOf = [&](std::uint32_t* bits, LONG y) {
        return bits + static_cast<size_t>(offscreenSize_.cy - 1 - y) * width;
    };
    if (layeredImage_.IsEmpty()) {
        for (LONG y = paint.top; y < paint.bottom; ++y) {
            std::uint32_t* row = rowOf(offscreenBits_, y);
            for (LONG x = paint.left; x < paint.right; ++x) {
                if ((row[x] >> 24) == 0 && (row[x] & 0xFFFFFF) != 0) row[x] |= 0xFF000000;
            }
        }
    } else {
        if (layeredDc_ == nullptr || layeredImageChanged_) {
            if (layeredDc_ == nullptr) {
                layeredDc_ = ::CreateCompatibleDC(windowDc_);
                layeredBitmap_ =
                    CreateBottomUpDib(windowDc_, client.Width(), client.Height(), &layeredBits_);
                ::SelectObject(layeredDc_, layeredBitmap_);
            }
            const CUiRect inset = LayoutRect(client);
            CRenderEngine::PaintImageText(layeredDc_, this, inset, inset, layeredImage_, nullptr,
                                          GetResourceInstance());
            ::GdiFlush();
        }
        if (layeredBits_ != nullptr) {
            for (LONG y = paint.top; y < paint.bottom; ++y) {
                std::uint32_t* row = rowOf(offscreenBits_, y);
                const std::uint32_t* image = rowOf(layeredBits_, y);
                for (LONG x = paint.left; x < paint.right; ++x) {
                    const std::uint32_t alpha = image[x] >> 24;
                    std::uint32_t out = alpha << 24;
                    for (int shift = 0; shift < 24; shift += 8) {
                        out |= (((row[x] >> shift) & 0xFF) * alpha / 255) << shift;
                    }
                    row[x] = out;
                }
            }
        }
    }
    if (UpdateLayeredWindowEntry update = UpdateLayeredWindowFunction()) {
        RECT windowRect{};
        ::GetWindowRect(window_, &windowRect);
        POINT position{windowRect.left, windowRect.top};
        SIZE size{client.Width(), client.Height()};
        POINT origin{0, 0};
        BLENDFUNCTION blend{AC_SRC_OVER, 0, opacity_, AC_SRC_ALPHA};
        update(window_, windowDc_, &position, &size, offscreenDc_, &origin, 0, &blend, ULW_ALPHA);
    }
}

void CPaintManagerUI::PrintClient(HDC dc, LPARAM flags) {
    if (root_ == nullptr || dc == nullptr) return;
    const int saved = ::SaveDC(dc);
    root_->PaintRegion(dc, ClientRect(), nullptr);
    if ((flags & PRF_CHILDREN) != 0) {
        for (HWND child = ::GetWindow(window_, GW_CHILD); child != nullptr;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            RECT rect{};
            ::GetWindowRect(child, &rect);
            ::MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&rect), 2);
            ::SetWindowOrgEx(dc, -rect.left, -rect.top, nullptr);
            ::SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc), flags | PRF_NONCLIENT);
        }
    }
    ::RestoreDC(dc, saved);
}

void CPaintManagerUI::EnableLayeredMode(bool on) {
    if (window_ == nullptr || on == layered_) return;
    if ((::GetWindowLongW(window_, GWL_STYLE) & WS_CHILD) != 0) return;
    if (on && UpdateLayeredWindowFunction() == nullptr) return;
    layered_ = on;
    if (root_ != nullptr) root_->RequestLayout();
    RepaintAll();
}

void CPaintManagerUI::SetLayeredAlpha(BYTE alpha) {
    opacity_ = alpha;
    RepaintAll();
}

void CPaintManagerUI::SetLayeredBackground(const wchar_t* imageText) {
    layeredImage_ = imageText;
    if (DrawingDescription* description = GetDrawingDescription(imageText, nullptr)) {
        FindOrLoadImage(description->imageName, description->resourceType, description->mask, false,
                        description->gdiplus, GetResourceInstance());
    }
    layeredImageChanged_ = true;
    RepaintAll();
}

void CPaintManagerUI::SetWindowAlpha(BYTE alpha) {
    opacity_ = alpha;
    if (window_ == nullptr) return;
    static const auto setAttributes =
        User32Entry<SetLayeredWindowAttributesEntry>("SetLayeredWindowAttributes");
    ::SetWindowLongW(window_, GWL_EXSTYLE, ::GetWindowLongW(window_, GWL_EXSTYLE) | WS_EX_LAYERED);
    if (setAttributes != nullptr) setAttributes(window_, 0, alpha, LWA_ALPHA);
}

}  // namespace Weft
