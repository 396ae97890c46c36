// The control factory: registered names and aliases, ASCII case, unknown names.
#include <gtest/gtest.h>

#include <memory>

#include "ui/builder/ControlFactory.h"
#include "ui/controls/ControlUI.h"

namespace Weft {
namespace {

std::unique_ptr<CControlUI> Make(const wchar_t* name) {
    return std::unique_ptr<CControlUI>(CControlFactory::Instance().CreateControl(name));
}

TEST(ControlFactory, CreatesEachRegisteredClass) {
    const struct {
        const wchar_t* name;
        const wchar_t* className;
    } cases[] = {
        {L"CControlUI", L"ControlUI"},
        {L"CContainerUI", L"ContainerUI"},
        {L"CButtonUI", L"ButtonUI"},
        {L"CLabelUI", L"LabelUI"},
        {L"CTextUI", L"TextUI"},
        {L"CScrollBarUI", L"ScrollBarUI"},
        {L"CHorizontalLayoutUI", L"HorizontalLayoutUI"},
        {L"CVerticalLayoutUI", L"VerticalLayoutUI"},
        {L"CBoxUI", L"ContainerUI"},
        {L"CHBoxUI", L"HorizontalLayoutUI"},
        {L"CVBoxUI", L"VerticalLayoutUI"},
    };
    for (const auto& one : cases) {
        const auto control = Make(one.name);
        ASSERT_NE(control, nullptr) << one.name;
        EXPECT_STREQ(control->ClassName(), one.className) << one.name;
    }
}

TEST(ControlFactory, NamesIgnoreAsciiCaseAndUnknownNamesGiveNull) {
    const auto upper = Make(L"CVBOXUI");
    const auto lower = Make(L"cvboxui");
    ASSERT_NE(upper, nullptr);
    ASSERT_NE(lower, nullptr);
    EXPECT_STREQ(upper->ClassName(), L"VerticalLayoutUI");
    EXPECT_STREQ(lower->ClassName(), L"VerticalLayoutUI");
    EXPECT_EQ(Make(L"CWebBrowserUI"), nullptr);
    EXPECT_EQ(Make(L"CComboUI"), nullptr);
    EXPECT_EQ(Make(L""), nullptr);
    EXPECT_EQ(Make(nullptr), nullptr);
}

CControlUI* MakeMarker() {
    auto* control = new CControlUI;
    control->SetName(L"marker");
    return control;
}

TEST(ControlFactory, TheFirstRegistrationOfANameIsKept) {
    CControlFactory::Instance().RegisterControl(L"CMarkerUI", &MakeMarker);
    CControlFactory::Instance().RegisterControl(L"cmarkerui", [] { return new CControlUI; });
    const auto control = Make(L"CMARKERUI");
    ASSERT_NE(control, nullptr);
    EXPECT_STREQ(control->GetName(), L"marker");
}

}  // namespace
}  // namespace Weft
