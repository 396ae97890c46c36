#include "tests/ui/controls/ControlTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <new>

namespace Weft::test {

HostWindow::HostWindow(int width, int height, int scalePercent) {
    Create(nullptr, L"Weft test", WS_POPUP, 0, 0, 0, width, height);
    if (scalePercent != 100) {
        manager.SetScalePercentage(scalePercent);
        manager.Resources().RescaleFonts();
    }
    ::ShowWindow(GetHandle(), SW_SHOWNOACTIVATE);
}

HostWindow::~HostWindow() {
    if (GetHandle() != nullptr) ::DestroyWindow(GetHandle());
}

LRESULT HostWindow::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        manager.AttachWindow(GetHandle(), L"test");
        manager.AddNotifyListener(this);
    }
    LRESULT result = 0;
    if (manager.HandleWindowMessage(message, wParam, lParam, result)) return result;
    return CWindowWnd::ProcessMessage(message, wParam, lParam);
}

void HostWindow::OnNotify(NotifyRecord& notify) {
    heard.push_back(Heard{notify.type.GetData(), notify.sender, notify.wParam});
    if (onNotify) onNotify(notify);
}

void HostWindow::Paint() {
    ::InvalidateRect(GetHandle(), nullptr, FALSE);
    ::UpdateWindow(GetHandle());
}

void HostWindow::RunQueuedWork() {
    MSG msg;
    while (::PeekMessageW(&msg, GetHandle(), WM_UI_ASYNC, WM_UI_ASYNC, PM_REMOVE)) {
        ::DispatchMessageW(&msg);
    }
}

LRESULT HostWindow::Send(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(GetHandle(), message, wParam, lParam);
}

LRESULT HostWindow::Mouse(UINT message, int x, int y, WPARAM keys) {
    return Send(message, keys, MAKELPARAM(x, y));
}

std::vector<std::wstring> HostWindow::TypesHeard() const {
    std::vector<std::wstring> types;
    for (const Heard& one : heard) types.push_back(one.type);
    return types;
}

int HostWindow::CountHeard(const wchar_t* type) const {
    int count = 0;
    for (const Heard& one : heard) count += one.type == type ? 1 : 0;
    return count;
}

bool TestButton::Trigger() {
    if (!CControlUI::Trigger()) return false;
    if (manager != nullptr) manager->SendNotification(this, L"click");
    return true;
}

void TestButton::ProcessEvent(EventRecord& event) {
    switch (event.type) {
        case UiEvent::ButtonDown:
            return;
        case UiEvent::ButtonUp:
            ++buttonUps;
            if (::PtInRect(&pos, event.mouse)) Trigger();
            return;
        case UiEvent::MouseEnter:
            ++enters;
            return;
        case UiEvent::MouseLeave:
            ++leaves;
            return;
        default:
            CControlUI::ProcessEvent(event);
    }
}

MainLayout BuildMainLayout(bool withReport) {
    MainLayout tree{};
    tree.root = new CVerticalLayoutUI;
    tree.root->ApplyAttributeText(
        L"bkcolor=\"#FFFFFFFF\" childpadding=\"8\" inset=\"10,10,10,10\"");
    tree.row = new CHorizontalLayoutUI;
    tree.row->ApplyAttributeText(L"height=\"35\" childpadding=\"12\"");
    tree.root->AddItem(tree.row);
    tree.title = new CControlUI;
    tree.title->ApplyAttributeText(L"name=\"lblTitle\" bkcolor=\"#FFE8F0FF\"");
    tree.row->AddItem(tree.title);
    const wchar_t* names[4] = {L"btnRefresh", L"btnUpdate", L"btnUpdateBoot", L"btnTheme"};
    const int widths[4] = {90, 140, 140, 100};
    for (int i = 0; i < 4; ++i) {
        tree.buttons[i] = new TestButton;
        tree.buttons[i]->SetName(names[i]);
        tree.buttons[i]->SetFixedWidth(widths[i]);
        tree.buttons[i]->ApplyAttributeText(
            L"height=\"28\" bordersize=\"1\" bordercolor=\"#FF3060A0\" bkcolor=\"#FFDDE6F4\"");
        tree.row->AddItem(tree.buttons[i]);
    }
    if (withReport) {
        tree.report = new CContainerUI;
        tree.report->ApplyAttributeText(
            L"name=\"editInfo\" vscrollbar=\"true\" bkcolor=\"#00FFFFFF\" bordersize=\"1\" "
            L"bordercolor=\"#FFD0D0D0\"");
        tree.root->AddItem(tree.report);
    }
    tree.status = new CControlUI;
    tree.status->ApplyAttributeText(L"name=\"lblStatus\" height=\"28\" bkcolor=\"#FFF4F4F4\"");
    tree.root->AddItem(tree.status);
    return tree;
}

namespace {
std::vector<void*>& Graves() {
    static std::vector<void*> memory;
    return memory;
}
}  // namespace

void* AllocatePoisoned(std::size_t size) {
    void* memory = std::malloc(size);
    if (memory == nullptr) throw std::bad_alloc();
    return memory;
}

void BuryPoisoned(void* memory, std::size_t size) {
    std::memset(memory, 0xDD, size);
    Graves().push_back(memory);
}

std::size_t GraveCount() {
    return Graves().size();
}

void EmptyGraveyard() {
    for (void* memory : Graves()) std::free(memory);
    Graves().clear();
}

void ExpectRect(const RECT& actual, LONG left, LONG top, LONG right, LONG bottom) {
    EXPECT_EQ(actual.left, left);
    EXPECT_EQ(actual.top, top);
    EXPECT_EQ(actual.right, right);
    EXPECT_EQ(actual.bottom, bottom);
}

}  // namespace Weft::test
