// Where the builder finds a layout besides markup text: the process-wide table of registered
// layouts, and the module's resources, whose Include elements name further resource ids.
#include <gtest/gtest.h>

#include "tests/ui/controls/ControlTestSupport.h"
#include "ui/builder/LayoutRegistry.h"
#include "ui/builder/UiLayoutBuilder.h"
#include "ui/core/ModuleSettings.h"

namespace Weft {
namespace {

IContainerUI* AsContainer(CControlUI* control) {
    return control != nullptr ? static_cast<IContainerUI*>(control->CastTo(L"IContainer"))
                              : nullptr;
}

TEST(LayoutSource, ARegisteredNameBuildsItsLayoutAlsoFromAnInclude) {
    CLayoutRegistry::Register(L"status-row", L"<Window><Label name=\"old\" /></Window>");
    CLayoutRegistry::Register(L"status-row", L"<Window><Button name=\"state\" /></Window>");
    EXPECT_EQ(CLayoutRegistry::Find(L"Status-Row"), std::nullopt);
    test::HostWindow window(200, 100);
    CUiLayoutBuilder builder;
    CControlUI* alone = builder.Create(L"status-row", nullptr, nullptr, &window.manager);
    ASSERT_NE(alone, nullptr);
    EXPECT_STREQ(alone->ClassName(), L"ButtonUI");
    EXPECT_STREQ(alone->GetName(), L"state");
    delete alone;

    CUiLayoutBuilder outer;
    CControlUI* root =
        outer.Create(L"<Window><HBox><Include source=\"status-row\" count=\"2\" /></HBox></Window>",
                     nullptr, nullptr, &window.manager);
    IContainerUI* row = AsContainer(root);
    ASSERT_NE(row, nullptr);
    ASSERT_EQ(row->ItemCount(), 2);
    EXPECT_STREQ(row->ItemAt(1)->GetName(), L"state");
    delete root;
}

TEST(LayoutSource, ALayoutThatIncludesItselfStopsNestingInsteadOfOverflowingTheStack) {
    CLayoutRegistry::Register(
        L"mirror",
        L"<Window><VerticalLayout><Include source=\"mirror\" /></VerticalLayout></Window>");
    test::HostWindow window(200, 100);
    CUiLayoutBuilder builder;
    CControlUI* root = builder.Create(L"mirror", nullptr, nullptr, &window.manager);
    int depth = 0;
    for (IContainerUI* level = AsContainer(root); level != nullptr && level->ItemCount() > 0;
         level = AsContainer(level->ItemAt(0))) {
        ++depth;
    }
    EXPECT_EQ(depth, 10);
    delete root;
}

int CountControls(CControlUI* control) {
    int count = 1;
    if (IContainerUI* container = AsContainer(control)) {
        for (int i = 0; i < container->ItemCount(); ++i)
            count += CountControls(container->ItemAt(i));
    }
    return count;
}

// The depth bound alone would let a layout that includes itself three times make 3^10 builds.
TEST(LayoutSource, ALayoutThatIncludesItselfManyTimesStopsAtTenThousandControls) {
    CLayoutRegistry::Register(L"fan",
                              L"<Window><VerticalLayout><Include source=\"fan\" count=\"3\" "
                              L"/></VerticalLayout></Window>");
    test::HostWindow window(200, 100);
    CUiLayoutBuilder builder;
    CControlUI* root = builder.Create(L"fan", nullptr, nullptr, &window.manager);
    ASSERT_NE(root, nullptr);
    const int built = CountControls(root);
    EXPECT_EQ(built, 1 + 10000);  // the root, and ten thousand through Includes
    delete root;
}

TEST(LayoutSource, AnUnregisteredNameIsAFileName) {
    test::HostWindow window(200, 100);
    CUiLayoutBuilder builder;
    EXPECT_EQ(builder.Create(L"never-registered", nullptr, nullptr, &window.manager), nullptr);
}

TEST(LayoutSource, AResourceLayoutIncludesOtherResourcesById) {
    SetModuleInstance(::GetModuleHandleW(nullptr));
    test::HostWindow window(200, 100);
    CUiLayoutBuilder builder;
    CControlUI* root = builder.Create(MAKEINTRESOURCEW(101), L"XML", nullptr, &window.manager);
    IContainerUI* row = AsContainer(root);
    ASSERT_NE(row, nullptr);
    ASSERT_EQ(row->ItemCount(), 4);
    EXPECT_STREQ(row->ItemAt(0)->GetName(), L"fromResource");
    EXPECT_STREQ(row->ItemAt(2)->GetName(), L"fromResource");
    EXPECT_STREQ(row->ItemAt(3)->ClassName(), L"LabelUI");
    delete root;
    CUiLayoutBuilder missing;
    EXPECT_EQ(missing.Create(MAKEINTRESOURCEW(103), L"XML", nullptr, &window.manager), nullptr);
}

}  // namespace
}  // namespace Weft
