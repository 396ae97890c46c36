#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "ui/controls/ContainerUI.h"
#include "ui/controls/ControlUI.h"
#include "ui/controls/LinearLayouts.h"
#include "ui/controls/PaintManagerUI.h"
#include "ui/window/WindowWnd.h"

namespace Weft::test {

// A popup window (client area = window area) whose messages go through its paint manager
// first; it records every notification it hears.
class HostWindow : public CWindowWnd, public INotifyUI {
  public:
    struct Heard {
        std::wstring type;
        CControlUI* sender;
        WPARAM wParam;
    };

    // At another scale the manager scales the geometry and its fonts, as on a monitor set
    // to that percentage.
    HostWindow(int width, int height, int scalePercent = 100);
    ~HostWindow() override;

    LPCWSTR WindowClassName() const override { return L"WeftControlsTestHost"; }
    LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnNotify(NotifyRecord& notify) override;

    // Invalidates the whole client area and paints it at once.
    void Paint();
    // Delivers the queued WM_UI_ASYNC, as the next turn of the message loop would.
    void RunQueuedWork();
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT Mouse(UINT message, int x, int y, WPARAM keys = 0);
    std::vector<std::wstring> TypesHeard() const;
    int CountHeard(const wchar_t* type) const;

    CPaintManagerUI manager;
    std::vector<Heard> heard;
    std::function<void(NotifyRecord&)> onNotify;
};

// A stand-in for a push button: a tab stop that sends "click" when released inside itself,
// and counts the hover events it gets.
class TestButton : public CControlUI {
  public:
    std::uint32_t Flags() const override { return kFlagTabStop; }
    bool Trigger() override;
    void ProcessEvent(EventRecord& event) override;

    int enters = 0;
    int leaves = 0;
    int buttonUps = 0;
};

// The main window's tree with plain controls of the same sizes: a vertical layout (inset 10,
// child padding 8) holding a row of height 35 (child padding 12) with a title and four
// buttons 28 high, a report box with a vertical scroll bar, and a status line 28 high.
struct MainLayout {
    CVerticalLayoutUI* root;
    CHorizontalLayoutUI* row;
    CControlUI* title;
    TestButton* buttons[4];
    CContainerUI* report;
    CControlUI* status;
};
MainLayout BuildMainLayout(bool withReport = true);

void ExpectRect(const RECT& actual, LONG left, LONG top, LONG right, LONG bottom);

// Memory for Poisoned controls, and its burial: deleted, the memory stays allocated and filled
// with 0xDD until EmptyGraveyard frees it.
void* AllocatePoisoned(std::size_t size);
void BuryPoisoned(void* memory, std::size_t size);
std::size_t GraveCount();
void EmptyGraveyard();

// A control whose deletion keeps its memory, poisoned: a call through a pointer the framework
// kept to it goes through a vtable of 0xDD bytes and crashes at once, where freed memory that
// still held the old object would let it pass unnoticed.
template <typename Control>
struct Poisoned : Control {
    static void* operator new(std::size_t size) { return AllocatePoisoned(size); }
    static void operator delete(void* memory) { BuryPoisoned(memory, sizeof(Poisoned)); }
};

}  // namespace Weft::test
