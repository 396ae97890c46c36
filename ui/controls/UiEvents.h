#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/core/UiString.h"

namespace Weft {

class CControlUI;

// The kinds of event the paint manager hands to a single control. The numbers between are
// left free for the controls' own use.
enum class UiEvent : std::int32_t {
    KeyDown = 3,
    KeyUp = 4,
    Char = 5,
    MouseMove = 9,
    MouseLeave = 10,
    MouseEnter = 11,
    MouseHover = 12,
    ButtonDown = 13,
    ButtonUp = 14,
    RButtonDown = 15,
    RButtonUp = 16,
    MButtonDown = 17,
    MButtonUp = 18,
    DoubleClick = 19,
    ContextMenu = 20,
    ScrollWheel = 21,
    FocusLost = 23,
    FocusGained = 24,
    WindowSize = 25,
    SetCursor = 26,
    Timer = 27,
};

// MouseMove to ScrollWheel: the events a control that ignores the mouse passes on.
inline bool IsMouseEvent(UiEvent type) {
    return type >= UiEvent::MouseMove && type <= UiEvent::ScrollWheel;
}

struct EventRecord {
    UiEvent type = UiEvent::MouseMove;
    CControlUI* sender = nullptr;
    std::uint32_t timestamp = 0;
    POINT mouse = {0, 0};
    wchar_t key = 0;
    std::uint16_t keyState = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

struct NotifyRecord {
    CUiString type;
    CUiString virtualWindow;
    CControlUI* sender = nullptr;
    std::uint32_t timestamp = 0;
    POINT mouse = {0, 0};
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

class INotifyUI {
  public:
    virtual void OnNotify(NotifyRecord& notify) = 0;

  protected:
    ~INotifyUI() = default;
};

// Sees every window message before the paint manager; setting `handled` ends the chain.
class IMessageFilterUI {
  public:
    virtual LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) = 0;

  protected:
    ~IMessageFilterUI() = default;
};

}  // namespace Weft
