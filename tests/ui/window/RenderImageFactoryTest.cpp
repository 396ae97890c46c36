// The resource tables loading, keeping and parsing through the render engine's factory.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/ui/window/RenderTestSupport.h"
#include "ui/core/ModuleSettings.h"
#include "ui/core/UiResourceTables.h"
#include "ui/window/RenderImageFactory.h"

namespace Weft {
namespace {

TEST(RenderImageFactory, TablesLoadImagesWithTheirAddedSettings) {
    CRenderImageFactory factory;
    CUiResourceTables tables(factory);
    const std::wstring path =
        test::WriteTempFile(L"table.png", test::EncodePng(test::TestImage(3, 3, 0xFF00FF00)));
    ImageRecord* image = tables.AddImage(path.c_str(), nullptr, 0xFF00FF00, true);
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(image->keepPixels);
    EXPECT_EQ(image->mask, 0xFF00FF00u);
    EXPECT_TRUE(image->hasAlpha);
    ASSERT_NE(image->loadedPixels, nullptr);
    EXPECT_EQ(std::memcmp(image->loadedPixels, image->pixels, 36), 0);
    EXPECT_EQ(tables.GetImage(path.c_str()), image);
}

TEST(RenderImageFactory, TablesLoadResourceImagesByNumber) {
    SetModuleInstance(::GetModuleHandleW(nullptr));
    CRenderImageFactory factory;
    CUiResourceTables tables(factory);
    ImageRecord* image = tables.AddImage(L"101", L"PNG", 0, false, true);
    ASSERT_NE(image, nullptr);
    EXPECT_STREQ(image->resourceType.GetData(), L"PNG");
    EXPECT_NE(image->gdiplusImage, nullptr);
    EXPECT_EQ(image->width, 4);
    EXPECT_EQ(image->loadedPixels, nullptr);
}

TEST(RenderImageFactory, DescriptionsFollowTheHostScale) {
    test::FakeHost host;
    host.scale = 200;
    CRenderImageFactory factory(&host);
    CUiResourceTables tables(factory);
    DrawingDescription* description = tables.GetDrawingDescription(L"file='b.png'", L" fade='9'");
    ASSERT_NE(description, nullptr);
    EXPECT_STREQ(description->imageName.GetData(), L"b@200.png");
    EXPECT_EQ(description->fade, 9u);
    EXPECT_EQ(tables.GetDrawingDescription(L"file='b.png'", L" fade='9'"), description);
}

}  // namespace
}  // namespace Weft
