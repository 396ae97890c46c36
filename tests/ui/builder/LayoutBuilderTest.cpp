// The builder on small layouts: resources, default lists, element case, unknown elements,
// the callback, non-container parents and the Window attributes.
#include <gtest/gtest.h>

#include <string>

#include "tests/ui/controls/ControlTestSupport.h"
#include "tests/ui/window/RenderTestSupport.h"
#include "ui/builder/UiLayoutBuilder.h"
#include "ui/controls/ButtonUI.h"
#include "ui/core/ModuleSettings.h"

namespace Weft {
namespace {

CControlUI* Build(const wchar_t* layout, CPaintManagerUI* manager,
                  IDialogBuilderCallback* callback = nullptr) {
    CUiLayoutBuilder builder;
    return builder.Create(layout, nullptr, callback, manager);
}

int CountItems(CControlUI* control) {
    auto* container = static_cast<IContainerUI*>(control->CastTo(L"IContainer"));
    return container != nullptr ? container->ItemCount() : -1;
}

TEST(LayoutBuilder, FontsRegisterOnlyWithAnId) {
    test::HostWindow window(200, 100);
    CControlUI* root = Build(
        L"<Window><Font id=\"1\" name=\"Tahoma\" size=\"12\" bold=\"true\" />"
        L"<Font name=\"Courier New\" size=\"30\" default=\"true\" /><Label /></Window>",
        &window.manager);
    ASSERT_NE(root, nullptr);
    delete root;
    const FontRecord* font = window.manager.GetFont(1);
    EXPECT_STREQ(font->faceName, L"Tahoma");
    EXPECT_TRUE(font->bold);
    LOGFONTW described = {};
    ::GetObjectW(font->font, sizeof(described), &described);
    EXPECT_EQ(described.lfWeight, FW_BOLD);
    EXPECT_STRNE(window.manager.GetFont(-1)->faceName, L"Courier New");
}

TEST(LayoutBuilder, ElementAttributesOverrideTheDefaultList) {
    test::HostWindow window(200, 100);
    CControlUI* root = Build(
        L"<Window><Default name=\"Button\" value=\"width=&quot;50&quot; height=&quot;20&quot;\" />"
        L"<Button width=\"70\" /></Window>",
        &window.manager);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->GetFixedWidth(), 70);
    EXPECT_EQ(root->GetFixedHeight(), 20);
    EXPECT_EQ(root->GetManager(), nullptr);
    delete root;
}

TEST(LayoutBuilder, ElementNamesIgnoreCaseAndUnknownOnesAreSkippedWithTheirSubtree) {
    test::HostWindow window(200, 100);
    CControlUI* root =
        Build(L"<Window><VBOX><vbox /><Combo><Button /></Combo><Label /></VBOX></Window>",
              &window.manager);
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ(root->ClassName(), L"VerticalLayoutUI");
    ASSERT_EQ(CountItems(root), 2);
    auto* container = static_cast<IContainerUI*>(root->CastTo(L"IContainer"));
    EXPECT_STREQ(container->ItemAt(0)->ClassName(), L"VerticalLayoutUI");
    EXPECT_STREQ(container->ItemAt(1)->ClassName(), L"LabelUI");
    EXPECT_EQ(container->ItemAt(1)->GetParent(), root);
    delete root;
}

struct Callback : IDialogBuilderCallback {
    std::wstring asked;
    CControlUI* CreateControl(const wchar_t* element) override {
        asked += element;
        asked += L";";
        return std::wstring(element) == L"Gauge" ? new CButtonUI : nullptr;
    }
};

TEST(LayoutBuilder, TheCallbackIsAskedForUnknownElements) {
    test::HostWindow window(200, 100);
    Callback callback;
    CControlUI* root =
        Build(L"<Window><HBox><Gauge name=\"g\" /><Slider /><Label /></HBox></Window>",
              &window.manager, &callback);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(callback.asked, L"Gauge;Slider;");
    ASSERT_EQ(CountItems(root), 2);
    auto* container = static_cast<IContainerUI*>(root->CastTo(L"IContainer"));
    EXPECT_STREQ(container->ItemAt(0)->GetName(), L"g");
    delete root;
}

TEST(LayoutBuilder, AChildOfANonContainerEndsItsLevel) {
    test::HostWindow window(200, 100);
    CControlUI* root =
        Build(L"<Window><Label name=\"outer\"><Button /></Label></Window>", &window.manager);
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ(root->GetName(), L"outer");
    delete root;
    CLabelUI notAContainer;
    CUiLayoutBuilder builder;
    EXPECT_EQ(builder.Create(L"<Window><Button /></Window>", nullptr, nullptr, &window.manager,
                             &notAContainer),
              nullptr);
}

TEST(LayoutBuilder, ControlsBuiltIntoAShownTreeKeepTheirParent) {
    test::HostWindow window(200, 100);
    auto* shown = new CVerticalLayoutUI;
    window.manager.AttachRoot(shown);
    CUiLayoutBuilder builder;
    CControlUI* added = builder.Create(L"<Window><Label name=\"late\" height=\"20\" /></Window>",
                                       nullptr, nullptr, &window.manager, shown);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->GetParent(), shown);
    EXPECT_EQ(added->GetManager(), &window.manager);
    EXPECT_EQ(shown->ItemAt(0), added);
    EXPECT_EQ(added->GetFixedHeight(), 20);
}

TEST(LayoutBuilder, IncludeInsertsItsLayoutCountTimes) {
    const std::string included = "<Window><Button name=\"inner\" /><Label /></Window>";
    test::WriteTempFile(L"included-row.xml",
                        std::vector<std::uint8_t>(included.begin(), included.end()));
    SetResourceDirectory(test::TempFolder().c_str());
    test::HostWindow window(200, 100);
    CControlUI* root = Build(
        L"<Window><HBox><Include source=\"included-row.xml\" count=\"3\" /><Include /></HBox>"
        L"</Window>",
        &window.manager);
    SetResourceDirectory(L"");
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(CountItems(root), 6);
    auto* container = static_cast<IContainerUI*>(root->CastTo(L"IContainer"));
    EXPECT_STREQ(container->ItemAt(0)->ClassName(), L"ButtonUI");
    EXPECT_STREQ(container->ItemAt(4)->GetName(), L"inner");
    EXPECT_STREQ(container->ItemAt(5)->ClassName(), L"LabelUI");
    delete root;
}

// Without a parent the build returns the first top-level control; the later ones and what
// top-level includes build are deleted rather than left without an owner.
TEST(LayoutBuilder, WithoutAParentOnlyTheFirstTopLevelControlSurvives) {
    struct Counted : CControlUI {
        explicit Counted(int* alive) : alive(alive) { ++*alive; }
        ~Counted() override { --*alive; }
        int* alive;
    };
    struct CountingCallback : IDialogBuilderCallback {
        CControlUI* CreateControl(const wchar_t*) override { return new Counted(&alive); }
        int alive = 0;
    };
    const std::string included = "<Window><Counted /><Counted /></Window>";
    test::WriteTempFile(L"included-counted.xml",
                        std::vector<std::uint8_t>(included.begin(), included.end()));
    SetResourceDirectory(test::TempFolder().c_str());
    test::HostWindow window(200, 100);
    CountingCallback callback;
    CControlUI* first = Build(
        L"<Window><Counted name=\"first\" /><Counted /><Include source=\"included-counted.xml\" "
        L"count=\"2\" /><Counted /></Window>",
        &window.manager, &callback);
    SetResourceDirectory(L"");
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->GetName(), L"first");
    EXPECT_EQ(callback.alive, 1);
    delete first;
    EXPECT_EQ(callback.alive, 0);
}

TEST(LayoutBuilder, MalformedLayoutsBuildNothing) {
    test::HostWindow window(200, 100);
    EXPECT_EQ(Build(L"<Window><Label></Window>", &window.manager), nullptr);
    EXPECT_EQ(Build(L"no-such-layout.xml", &window.manager), nullptr);
    EXPECT_EQ(Build(L"<Window><Font id=\"1\" name=\"Tahoma\" /></Window>", &window.manager),
              nullptr);
}

TEST(LayoutBuilder, WindowAttributesReachTheManager) {
    test::HostWindow window(200, 100);
    CControlUI* root = Build(
        L"<Window size=\"320,240\" caption=\"0,0,0,30\" sizebox=\"4,4,4,4\" "
        L"roundcorner=\"3,3\" defaultfontcolor=\"#FF102030\" linkfontcolor=\"#FF405060\">"
        L"<Label /></Window>",
        &window.manager);
    ASSERT_NE(root, nullptr);
    delete root;
    RECT rect = {};
    ::GetWindowRect(window.GetHandle(), &rect);
    EXPECT_EQ(rect.right - rect.left, 320);
    EXPECT_EQ(rect.bottom - rect.top, 240);
    test::ExpectRect(window.manager.GetCaptionArea(), 0, 0, 0, 30);
    test::ExpectRect(window.manager.GetResizeBorder(), 4, 4, 4, 4);
    EXPECT_EQ(window.manager.GetCornerRadius().cx, 3);
    EXPECT_EQ(window.manager.Resources().GetDefaultColour(DefaultColour::Text), 0xFF102030u);
    EXPECT_EQ(window.manager.Resources().GetDefaultColour(DefaultColour::LinkText), 0xFF405060u);
}

}  // namespace
}  // namespace Weft
