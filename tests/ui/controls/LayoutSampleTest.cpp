// Paints the main window's layout (without the report box) at 850 × 640 through the paint
// manager and saves the offscreen buffer as layout-sample.png in the build tree, so that a
// person can look at what the layouts produce under Wine.
#include <gtest/gtest.h>

#include "tests/ui/controls/ControlTestSupport.h"
#include "tests/ui/controls/WidgetTestSupport.h"

namespace Weft {
namespace {

TEST(LayoutSample, PaintsTheMainLayoutAndSavesIt) {
    test::HostWindow window(850, 640);
    const test::MainLayout tree = test::BuildMainLayout(false);
    tree.buttons[1]->SetEnabled(false);
    window.manager.AttachRoot(tree.root);
    window.Paint();

    ASSERT_EQ(window.manager.OffscreenSize().cx, 850);
    // Title background, a button face and its border, the status line and the white root.
    EXPECT_EQ(window.manager.OffscreenPixel(100, 20) & 0xFFFFFF, 0xE8F0FFu);
    const CUiRect button = tree.buttons[0]->GetPos();
    EXPECT_EQ(window.manager.OffscreenPixel(button.left + 5, button.top + 5) & 0xFFFFFF, 0xDDE6F4u);
    EXPECT_EQ(window.manager.OffscreenPixel(button.left, button.top + 5) & 0xFFFFFF, 0x3060A0u);
    EXPECT_EQ(window.manager.OffscreenPixel(button.left + 5, button.bottom + 2) & 0xFFFFFF,
              0xFFFFFFu);
    EXPECT_EQ(window.manager.OffscreenPixel(400, tree.status->GetY() + 3) & 0xFFFFFF, 0xF4F4F4u);
    EXPECT_EQ(window.manager.OffscreenPixel(5, 5) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_TRUE(test::SaveOffscreenPng(window.manager, WEFT_SAMPLE_PATH));
}

}  // namespace
}  // namespace Weft
