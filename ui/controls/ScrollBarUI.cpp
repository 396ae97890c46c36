#include "ui/controls/ScrollBarUI.h"

#include <algorithm>

#include "ui/controls/ContainerUI.h"
#include "ui/controls/PaintManagerUI.h"
#include "ui/core/UiValueParsers.h"

namespace Weft {

CScrollBarUI::CScrollBarUI() {
    fixedSize.cx = 16;
}

CScrollBarUI::~CScrollBarUI() = default;

const wchar_t* CScrollBarUI::ClassName() const {
    return L"ScrollBarUI";
}

void* CScrollBarUI::CastTo(const wchar_t* interfaceName) {
    if (interfaceName != nullptr && ::lstrcmpiW(interfaceName, L"ScrollBar") == 0) return this;
    return CControlUI::CastTo(interfaceName);
}

void CScrollBarUI::SetHorizontal(bool value) {
    if (horizontal == value) return;
    horizontal = value;
    if (horizontal) {
        if (fixedSize.cy == 0) {
            fixedSize.cx = 0;
            fixedSize.cy = 16;
        }
    } else if (fixedSize.cx == 0) {
        fixedSize.cx = 16;
        fixedSize.cy = 0;
    }
    if (owner != nullptr) {
        owner->RequestLayout();
    } else {
        RequestParentLayout();
    }
}

void CScrollBarUI::SetRange(int n) {
    if (range == n) return;
    range = std::max(n, 0);
    if (value > range) value = range;
    SetPos(pos, true);
}

void CScrollBarUI::SetValue(int n) {
    if (value == n) return;
    value = std::clamp(n, 0, range);
    SetPos(pos, true);
}

void CScrollBarUI::SetShowButton1(bool show) {
    showButton1 = show;
    SetPos(pos, true);
}

void CScrollBarUI::SetShowButton2(bool show) {
    showButton2 = show;
    SetPos(pos, true);
}

void CScrollBarUI::SetShowScrollbar(bool show) {
    if (showScrollbar == show) return;
    showScrollbar = show;
    Invalidate();
}

void CScrollBarUI::SetPartImage(Part part, State state, const wchar_t* image) {
    images[part][state] = image;
    Invalidate();
}

void CScrollBarUI::SetEnabled(bool enable) {
    CControlUI::SetEnabled(enable);
    if (!IsEnabled()) button1State = button2State = thumbState = 0;
}

void CScrollBarUI::SetFocus() {
    if (owner != nullptr) {
        owner->SetFocus();
    } else {
        CControlUI::SetFocus();
    }
}

void CScrollBarUI::SetPos(CUiRect rect, bool invalidate) {
    CControlUI::SetPos(rect, invalidate);
    LayOutParts(horizontal ? GetFixedHeight() : GetFixedWidth());
}

namespace {

// The thumb offset along the track of a vertical bar: computed in single precision and
// truncated; a result outside the 32-bit range reads as INT_MIN, as a float conversion would.
int VerticalThumbOffset(int value, int range, int travel) {
    const float offset =
        static_cast<float>(value) / static_cast<float>(range) * static_cast<float>(travel);
    if (!(offset >= -2147483648.0f && offset < 2147483648.0f)) return INT32_MIN;
    return static_cast<int>(offset);
}

}  // namespace

// Works along the bar's axis: `start`/`end` on it, `cross` across it from the near edge.
void CScrollBarUI::LayOutParts(int s) {
    const int start = horizontal ? pos.left : pos.top;
    const int end = horizontal ? pos.right : pos.bottom;
    const int cross = horizontal ? pos.top : pos.left;
    const int length = end - start;
    auto part = [&](int from, int to, int thickness) {
        return horizontal ? CUiRect(from, cross, to, cross + thickness)
                          : CUiRect(cross, from, cross + thickness, to);
    };
    const int t = length - (showButton1 ? s : 0) - (showButton2 ? s : 0);
    const int b1 = showButton1 ? s : 0;
    const int b2 = showButton2 ? s : 0;
    if (s >= t) {
        // No room for a thumb: the buttons share the length, half each at most.
        const int m = std::min(s, length / 2);
        button1Rect = part(start, start + (showButton1 ? m : 0), b1);
        button2Rect = part(end - (showButton2 ? m : 0), end, b2);
        thumbRect.Clear();
        return;
    }
    button1Rect = part(start, start + b1, b1);
    button2Rect = part(end - b2, end, b2);
    const int trackEnd = end - b2;
    if (range < 1) {
        thumbRect = part(start + b1, trackEnd, s);
        return;
    }
    // In 64 bits: a range near the 32-bit limit plus the length would overflow.
    const int v = std::max(static_cast<int>(static_cast<long long>(t) * length /
                                            (static_cast<long long>(range) + length)),
                           s);
    const int offset = horizontal ? static_cast<int>(static_cast<long long>(t - v) * value / range)
                                  : VerticalThumbOffset(value, range, t - v);
    int thumbStart = start + b1 + offset;
    if (thumbStart + v > trackEnd) thumbStart = trackEnd - v;
    thumbRect = part(thumbStart, thumbStart + v, s);
}

void CScrollBarUI::PassOn(EventRecord& event) {
    if (owner != nullptr) {
        owner->ProcessEvent(event);
    } else {
        CControlUI::ProcessEvent(event);
    }
}

void CScrollBarUI::StepBack() {
    if (owner == nullptr) {
        SetValue(value - lineSize);
    } else if (horizontal) {
        owner->LineLeft();
    } else {
        owner->LineUp();
    }
}

void CScrollBarUI::StepForward() {
    if (owner == nullptr) {
        SetValue(value + lineSize);
    } else if (horizontal) {
        owner->LineRight();
    } else {
        owner->LineDown();
    }
}

void CScrollBarUI::PageTowards(POINT point) {
    const LONG at = horizontal ? point.x : point.y;
    const LONG thumbStart = horizontal ? thumbRect.left : thumbRect.top;
    const LONG thumbEnd = horizontal ? thumbRect.right : thumbRect.bottom;
    const int length = horizontal ? pos.Width() : pos.Height();
    if (at < thumbStart) {
        if (owner == nullptr) {
            SetValue(value - length);
        } else if (horizontal) {
            owner->PageLeft();
        } else {
            owner->PageUp();
        }
    } else if (at > thumbEnd) {
        if (owner == nullptr) {
            SetValue(value + length);
        } else if (horizontal) {
            owner->PageRight();
        } else {
            owner->PageDown();
        }
    }
}

void CScrollBarUI::Scroll() {
    if (manager != nullptr) manager->SendNotification(this, L"scroll");
}

void CScrollBarUI::ProcessEvent(EventRecord& event) {
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        PassOn(event);
        return;
    }
    switch (event.type) {
        case UiEvent::MouseMove:
            if ((thumbState & kStateCaptured) != 0) {
                const int length = horizontal ? pos.Width() : pos.Height();
                const int thumb = horizontal ? thumbRect.Width() : thumbRect.Height();
                const int d = length - thumb;
                // The buttons are as long as the bar is thick, in display pixels like the rest.
                const int thickness = horizontal ? GetFixedHeight() : GetFixedWidth();
                const int f = thickness * ((showButton1 ? 1 : 0) + (showButton2 ? 1 : 0));
                if (d != f) {
                    const LONG moved =
                        horizontal ? event.mouse.x - lastMouse.x : event.mouse.y - lastMouse.y;
                    lastScrollOffset = static_cast<int>(static_cast<long long>(moved) * range /
                                                        (d > f ? d - f : f - d));
                }
            } else {
                const bool over = ::PtInRect(&thumbRect, event.mouse) != FALSE;
                if ((thumbState & kStateHot) != 0 && !over) {
                    thumbState &= ~kStateHot;
                    Invalidate();
                } else if (IsEnabled() && over && (thumbState & kStateHot) == 0) {
                    thumbState |= kStateHot;
                    Invalidate();
                }
            }
            return;
        case UiEvent::MouseLeave:
            if (IsEnabled()) {
                button1State &= ~kStateHot;
                button2State &= ~kStateHot;
                thumbState &= ~kStateHot;
                Invalidate();
            }
            return;
        case UiEvent::MouseEnter:
            if (IsEnabled()) {
                button1State |= kStateHot;
                button2State |= kStateHot;
                if (::PtInRect(&thumbRect, event.mouse)) thumbState |= kStateHot;
                Invalidate();
            }
            return;
        case UiEvent::ButtonDown:
        case UiEvent::DoubleClick:
            if (!IsEnabled()) return;
            lastScrollOffset = 0;
            repeatCount = 0;
            if (::PtInRect(&button1Rect, event.mouse)) {
                button1State |= kStatePushed;
                StepBack();
            } else if (::PtInRect(&button2Rect, event.mouse)) {
                button2State |= kStatePushed;
                StepForward();
            } else if (!::PtInRect(&thumbRect, event.mouse)) {
                PageTowards(event.mouse);
            } else {
                thumbState |= kStatePushed | kStateCaptured;
                lastMouse = event.mouse;
                lastValue = value;
            }
            // Holding a button or the track repeats, and a dragged thumb follows, on this timer.
            if (manager != nullptr) manager->StartControlTimer(this, kRepeatTimer, kRepeatPeriod);
            Scroll();
            return;
        case UiEvent::ButtonUp:
            lastScrollOffset = 0;
            repeatCount = 0;
            if (manager != nullptr) manager->StopControlTimer(this, kRepeatTimer);
            if ((thumbState & kStateCaptured) != 0) {
                thumbState &= ~(kStatePushed | kStateCaptured);
            } else if ((button1State & kStatePushed) != 0) {
                button1State &= ~kStatePushed;
            } else if ((button2State & kStatePushed) != 0) {
                button2State &= ~kStatePushed;
            } else {
                return;
            }
            Invalidate();
            return;
        case UiEvent::ContextMenu:
        case UiEvent::FocusLost:
        case UiEvent::FocusGained:
            return;
        case UiEvent::Timer:
            if (event.wParam == kRepeatTimer) {
                OnRepeatTick();
                return;
            }
            break;
        default:
            break;
    }
    PassOn(event);
}

void CScrollBarUI::OnRepeatTick() {
    ++repeatCount;
    if ((thumbState & kStateCaptured) != 0) {
        const int target = lastValue + lastScrollOffset;
        if (owner != nullptr) {
            const CUiSize offset = owner->GetScrollOffset();
            owner->SetScrollOffset(horizontal ? CUiSize(target, offset.cy)
                                              : CUiSize(offset.cx, target));
        } else {
            SetValue(target);
        }
        Invalidate();
        Scroll();
        return;
    }
    if (repeatCount <= 5) return;
    if ((button1State & kStatePushed) != 0) {
        StepBack();
    } else if ((button2State & kStatePushed) != 0) {
        StepForward();
    } else {
        POINT cursor{};
        ::GetCursorPos(&cursor);
        if (manager != nullptr) ::ScreenToClient(manager->GetWindowHandle(), &cursor);
        PageTowards(cursor);
    }
    Scroll();
}

void CScrollBarUI::SetAttribute(const wchar_t* attribute, const wchar_t* text) {
    if (attribute == nullptr) return;
    if (text == nullptr) text = L"";
    static constexpr const wchar_t* kParts[PartCount] = {L"bk", L"button1", L"button2", L"thumb",
                                                         L"rail"};
    static constexpr const wchar_t* kStates[StateCount] = {L"normal", L"hot", L"pushed",
                                                           L"disabled"};
    for (int part = 0; part < PartCount; ++part) {
        for (int state = 0; state < StateCount; ++state) {
            CUiString name(kParts[part]);
            name += kStates[state];
            name += L"image";
            if (name.CompareIgnoreCase(attribute) == 0) {
                SetPartImage(static_cast<Part>(part), static_cast<State>(state), text);
                return;
            }
        }
    }
    auto is = [&](const wchar_t* known) { return ::lstrcmpiW(attribute, known) == 0; };
    if (is(L"hor")) {
        SetHorizontal(::lstrcmpW(text, L"true") == 0);
    } else if (is(L"linesize")) {
        SetLineSize(ParseInteger(text));
    } else if (is(L"range")) {
        SetRange(ParseInteger(text));
    } else if (is(L"value")) {
        SetValue(ParseInteger(text));
    } else if (is(L"showbutton1")) {
        SetShowButton1(::lstrcmpW(text, L"true") == 0);
    } else if (is(L"showbutton2")) {
        SetShowButton2(::lstrcmpW(text, L"true") == 0);
    } else {
        CControlUI::SetAttribute(attribute, text);
    }
}

}  // namespace Weft
