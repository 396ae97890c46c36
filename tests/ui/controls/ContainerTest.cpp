// The container's children: ownership, order, visibility and enabling passed down, names, hit
// tests, and the events a container reacts to.
#include <gtest/gtest.h>

#include "tests/ui/controls/ControlTestSupport.h"
#include "ui/controls/ScrollBarUI.h"

namespace Weft {
namespace {

using test::HostWindow;

struct Counted : CControlUI {
    explicit Counted(int* deaths) : deaths(deaths) {}
    ~Counted() override { ++*deaths; }
    int* deaths;
};

TEST(ContainerItems, AddInsertMoveAndBadArguments) {
    CContainerUI box;
    auto* a = new CControlUI;
    auto* b = new CControlUI;
    auto* c = new CControlUI;
    EXPECT_FALSE(box.AddItem(nullptr));
    EXPECT_TRUE(box.AddItem(a));
    EXPECT_TRUE(box.AddItem(c));
    EXPECT_TRUE(box.InsertItem(b, 1));
    CControlUI stranger;
    EXPECT_FALSE(box.InsertItem(&stranger, 7));
    EXPECT_EQ(box.ItemCount(), 3);
    EXPECT_EQ(box.ItemAt(1), b);
    EXPECT_EQ(box.ItemAt(3), nullptr);
    EXPECT_EQ(box.ItemAt(-1), nullptr);
    EXPECT_EQ(box.IndexOfItem(c), 2);
    EXPECT_EQ(box.IndexOfItem(&stranger), -1);
    EXPECT_TRUE(box.MoveItem(c, 0));
    EXPECT_EQ(box.ItemAt(0), c);
    EXPECT_FALSE(box.MoveItem(&stranger, 0));
    // Out of range the child stays where it was, instead of being dropped.
    EXPECT_FALSE(box.MoveItem(c, box.ItemCount()));
    EXPECT_FALSE(box.MoveItem(c, -1));
    EXPECT_EQ(box.ItemCount(), 3);
    EXPECT_EQ(box.IndexOfItem(c), 0);
    EXPECT_TRUE(box.MoveItem(c, box.ItemCount() - 1));
    EXPECT_EQ(box.ItemAt(2), c);
    EXPECT_FALSE(box.RemoveItem(&stranger));
    EXPECT_FALSE(box.RemoveItemAt(5));
}

TEST(ContainerItems, RemovedChildrenAreDestroyedUnlessAutoDestroyIsOff) {
    int deaths = 0;
    CContainerUI box;
    auto* kept = new Counted(&deaths);
    box.AddItem(new Counted(&deaths));
    box.AddItem(kept);
    box.AddItem(new Counted(&deaths));
    EXPECT_TRUE(box.RemoveItemAt(0));
    EXPECT_EQ(deaths, 1);
    box.SetAutoDestroy(false);
    EXPECT_TRUE(box.RemoveItem(kept));
    EXPECT_EQ(deaths, 1);
    box.SetAutoDestroy(true);
    box.RemoveAllItems();
    EXPECT_EQ(deaths, 2);
    EXPECT_EQ(box.ItemCount(), 0);
    delete kept;
}

TEST(ContainerItems, ADestroyedContainerDestroysItsChildrenAtOnce) {
    int deaths = 0;
    HostWindow window(50, 50);
    auto* root = new CVerticalLayoutUI;
    auto* inner = new CContainerUI;
    inner->AddItem(new Counted(&deaths));
    root->AddItem(inner);
    window.manager.AttachRoot(root);
    root->SetDelayedDestroy(false);
    root->RemoveItem(inner);
    EXPECT_EQ(deaths, 1);
}

TEST(ContainerItems, ChildrenAddedAtRunTimeAreAttachedAndNamed) {
    HostWindow window(50, 50);
    auto* root = new CVerticalLayoutUI;
    window.manager.AttachRoot(root);
    auto* group = new CContainerUI;
    auto* named = new CControlUI;
    named->SetName(L"late");
    group->AddItem(named);
    EXPECT_EQ(named->GetManager(), nullptr);
    root->AddItem(group);
    EXPECT_EQ(named->GetManager(), &window.manager);
    EXPECT_EQ(named->GetParent(), group);
    EXPECT_EQ(window.manager.FindControlByName(L"late"), named);
    root->SetDelayedDestroy(false);
    root->RemoveItem(group);
    EXPECT_EQ(window.manager.FindControlByName(L"late"), nullptr);
}

TEST(ContainerState, VisibilityAndEnablingReachTheChildren) {
    CContainerUI box;
    auto* child = new CControlUI;
    box.AddItem(child);
    box.SetVisible(false);
    EXPECT_FALSE(child->IsVisible());
    auto* late = new CControlUI;
    box.AddItem(late);
    EXPECT_FALSE(late->IsVisible());
    box.SetVisible(true);
    EXPECT_TRUE(child->IsVisible());
    EXPECT_TRUE(late->IsVisible());
    box.SetEnabled(false);
    EXPECT_FALSE(child->IsEnabled());
    box.EnableScrollBars(true, true);
    box.SetMouseEnabled(false);
    EXPECT_FALSE(box.GetVerticalScrollBar()->IsMouseEnabled());
    EXPECT_TRUE(box.GetHorizontalScrollBar()->IsHorizontal());
    box.EnableScrollBars(false, true);
    EXPECT_EQ(box.GetVerticalScrollBar(), nullptr);
}

TEST(ContainerState, CastsAndClassNames) {
    CVerticalLayoutUI column;
    CHorizontalLayoutUI row;
    EXPECT_STREQ(column.ClassName(), L"VerticalLayoutUI");
    EXPECT_STREQ(row.ClassName(), L"HorizontalLayoutUI");
    EXPECT_EQ(column.CastTo(L"VerticalLayout"), &column);
    EXPECT_EQ(column.CastTo(L"HorizontalLayout"), nullptr);
    EXPECT_EQ(column.CastTo(L"IContainer"), static_cast<IContainerUI*>(&column));
    EXPECT_EQ(row.CastTo(L"Container"), static_cast<CContainerUI*>(&row));
    EXPECT_EQ(row.CastTo(L"control"), static_cast<CControlUI*>(&row));
    EXPECT_EQ(row.CastTo(L"icontainer"), nullptr);
}

TEST(ContainerState, FindSelectableLooksForListItems) {
    struct ListItem : CControlUI {
        void* CastTo(const wchar_t* name) override {
            return ::lstrcmpW(name, L"ListItem") == 0 ? this : CControlUI::CastTo(name);
        }
    };
    CContainerUI box;
    box.AddItem(new CControlUI);
    box.AddItem(new ListItem);
    box.AddItem(new CControlUI);
    EXPECT_EQ(box.FindSelectable(0, true), 1);
    EXPECT_EQ(box.FindSelectable(2, false), 1);
    EXPECT_EQ(box.FindSelectable(2, true), -1);
    box.ItemAt(1)->SetEnabled(false);
    EXPECT_EQ(box.FindSelectable(2, false), -1);
}

TEST(ContainerHitTest, MouseChildAndHiddenChildren) {
    HostWindow window(100, 100);
    auto* root = new CVerticalLayoutUI;
    auto* inner = new CHorizontalLayoutUI;
    auto* leaf = new CControlUI;
    inner->AddItem(leaf);
    root->AddItem(inner);
    window.manager.AttachRoot(root);
    window.Paint();
    EXPECT_EQ(window.manager.FindControlAt(POINT{50, 50}), leaf);
    inner->SetMouseChildEnabled(false);
    EXPECT_EQ(window.manager.FindControlAt(POINT{50, 50}), inner);
    inner->SetMouseEnabled(false);
    EXPECT_EQ(window.manager.FindControlAt(POINT{50, 50}), root);
    leaf->SetMouseEnabled(false);
    inner->SetMouseEnabled(true);
    inner->SetMouseChildEnabled(true);
    EXPECT_EQ(window.manager.FindControlAt(POINT{50, 50}), inner);
    EXPECT_EQ(window.manager.FindControlAt(POINT{150, 50}), nullptr);
}

TEST(ContainerEvents, ContextMenuOnAMenuEnabledControlNotifiesMenu) {
    HostWindow window(100, 100);
    auto* root = new CVerticalLayoutUI;
    auto* target = new CControlUI;
    target->SetAttribute(L"menu", L"true");
    root->AddItem(target);
    window.manager.AttachRoot(root);
    window.Paint();
    window.Mouse(WM_RBUTTONDOWN, 30, 30, MK_RBUTTON);
    window.Mouse(WM_RBUTTONUP, 30, 30);
    POINT screen{30, 30};
    ::ClientToScreen(window.GetHandle(), &screen);
    window.Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window.GetHandle()),
                MAKELPARAM(screen.x, screen.y));
    ASSERT_EQ(window.CountHeard(L"menu"), 1);
    EXPECT_EQ(window.heard.back().sender, target);
}

TEST(ContainerEvents, TheSeparatorAsksForTheSizingCursorOverItsBand) {
    HostWindow window(100, 100);
    auto* root = new CVerticalLayoutUI;
    root->SetAttribute(L"sepheight", L"6");
    window.manager.AttachRoot(root);
    window.Paint();
    POINT inBand{50, 97};
    ::ClientToScreen(window.GetHandle(), &inBand);
    ::SetCursorPos(inBand.x, inBand.y);
    EXPECT_EQ(window.Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(window.GetHandle()), HTCLIENT),
              TRUE);
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_SIZENS));
    root->SetEnabled(false);
    EXPECT_EQ(root->Flags(), 0u);
}

}  // namespace
}  // namespace Weft
