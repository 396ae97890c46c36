// The main window's layout text built into a real window: control types, names, fonts and
// geometry (the report box between the row and the status line), the Window element's size and
// minimum tracking size, font 3 declared and unused, and the title text read as an empty caption
// rectangle.
#include <gtest/gtest.h>

#include <functional>

#include "app/MainLayout.h"
#include "tests/ui/controls/ControlTestSupport.h"
#include "ui/builder/UiLayoutBuilder.h"
#include "ui/controls/ButtonUI.h"

namespace Weft {
namespace {

struct BuiltMain : ::testing::Test {
    test::HostWindow window{400, 300};
    CControlUI* root = nullptr;

    void SetUp() override {
        CUiLayoutBuilder builder;
        root = builder.Create(certvane::kMainLayout, nullptr, nullptr, &window.manager);
        ASSERT_NE(root, nullptr);
        ASSERT_TRUE(window.manager.AttachRoot(root));
        window.Paint();
    }
    CControlUI* Named(const wchar_t* name) { return window.manager.FindControlByName(name); }
    CLabelUI* Label(const wchar_t* name) {
        CControlUI* control = Named(name);
        return control != nullptr ? static_cast<CLabelUI*>(control->CastTo(L"Label")) : nullptr;
    }
};

TEST_F(BuiltMain, ControlsHaveTheirTypesNamesAndTexts) {
    EXPECT_STREQ(root->ClassName(), L"VerticalLayoutUI");
    ASSERT_NE(Label(L"lblTitle"), nullptr);
    EXPECT_STREQ(Named(L"lblTitle")->ClassName(), L"LabelUI");
    EXPECT_STREQ(Named(L"lblTitle")->GetText(), L"UEFI 安全启动证书状态");
    EXPECT_STREQ(Named(L"lblStatus")->ClassName(), L"LabelUI");
    EXPECT_STREQ(Named(L"lblStatus")->GetText(), L"就绪");
    for (const wchar_t* name : {L"btnRefresh", L"btnUpdate", L"btnUpdateBoot", L"btnTheme"}) {
        ASSERT_NE(Named(name), nullptr) << name;
        EXPECT_STREQ(Named(name)->ClassName(), L"ButtonUI") << name;
        EXPECT_EQ(Named(name)->GetParent()->GetParent(), root) << name;
    }
    EXPECT_STREQ(Named(L"btnUpdateBoot")->GetText(), L"引导证书更新");
    ASSERT_NE(Named(L"editInfo"), nullptr);
    EXPECT_STREQ(Named(L"editInfo")->ClassName(), L"RichEditUI");
}

TEST_F(BuiltMain, FontsAreDeclaredAndFontThreeIsUnused) {
    const FontRecord* title = window.manager.GetFont(1);
    EXPECT_STREQ(title->faceName, L"微软雅黑");
    EXPECT_TRUE(title->bold);
    EXPECT_FALSE(window.manager.GetFont(2)->bold);
    EXPECT_EQ(window.manager.GetFont(3)->size, 10);
    EXPECT_EQ(window.manager.GetFont(4)->size, 13);
    EXPECT_EQ(Label(L"lblTitle")->GetFont(), 1);
    EXPECT_EQ(Label(L"lblStatus")->GetFont(), 2);
    EXPECT_EQ(Label(L"btnTheme")->GetFont(), 2);
    int usingThree = 0;
    std::function<void(CControlUI*)> visit = [&](CControlUI* control) {
        auto* label = static_cast<CLabelUI*>(control->CastTo(L"Label"));
        if (label != nullptr && label->GetFont() == 3) ++usingThree;
        auto* container = static_cast<IContainerUI*>(control->CastTo(L"IContainer"));
        for (int i = 0; container != nullptr && i < container->ItemCount(); ++i) {
            visit(container->ItemAt(i));
        }
    };
    visit(root);
    EXPECT_EQ(usingThree, 0);
}

TEST_F(BuiltMain, WindowSizeMinimumAndCaption) {
    RECT rect = {};
    ::GetWindowRect(window.GetHandle(), &rect);
    EXPECT_EQ(rect.right - rect.left, 850);
    EXPECT_EQ(rect.bottom - rect.top, 640);
    EXPECT_EQ(window.manager.GetInitialSize().cx, 850);
    MINMAXINFO limits = {};
    window.Send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, 750);
    EXPECT_EQ(limits.ptMinTrackSize.y, 520);
    test::ExpectRect(window.manager.GetCaptionArea(), 0, 0, 0, 0);
}

TEST_F(BuiltMain, GeometryOfTheRowAndTheStatusLine) {
    test::ExpectRect(root->GetPos(), 0, 0, 850, 640);
    // 830 wide inside the inset: 90 + 140 + 140 + 100 for the buttons, 4 × 12 between.
    const CUiRect title = Named(L"lblTitle")->GetPos();
    EXPECT_EQ(title.left, 10);
    EXPECT_EQ(title.right, 322);
    EXPECT_EQ(Named(L"btnRefresh")->GetPos().left, 334);
    EXPECT_EQ(Named(L"btnRefresh")->GetWidth(), 90);
    EXPECT_EQ(Named(L"btnUpdate")->GetPos().left, 436);
    EXPECT_EQ(Named(L"btnUpdateBoot")->GetPos().left, 588);
    EXPECT_EQ(Named(L"btnTheme")->GetPos().left, 740);
    EXPECT_EQ(Named(L"btnTheme")->GetPos().right, 840);
    EXPECT_EQ(Named(L"btnTheme")->GetHeight(), 28);
    EXPECT_EQ(Named(L"btnRefresh")->GetY(), 10);
    // The report box takes the height the row and the status line leave.
    const CUiRect report = Named(L"editInfo")->GetPos();
    EXPECT_EQ(report.top, 10 + 35 + 8);
    EXPECT_EQ(report.bottom, 640 - 10 - 28 - 8);
    EXPECT_EQ(report.left, 10);
    EXPECT_EQ(report.right, 840);
    const CUiRect status = Named(L"lblStatus")->GetPos();
    EXPECT_EQ(status.top, 640 - 10 - 28);
    EXPECT_EQ(status.bottom - status.top, 28);
    EXPECT_EQ(status.left, 10);
    EXPECT_EQ(status.right, 840);
}

}  // namespace
}  // namespace Weft
