// Draws a sample of the render engine's output and saves it as render-sample.png in the build
// tree, so that a person can look at what the engine draws under Wine.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "tests/ui/window/RenderTestSupport.h"
#include "ui/window/GdiplusHeaders.h"
#include "ui/window/RenderEngine.h"

namespace Weft {
namespace {

using test::Canvas;
using test::TestImage;

bool SavePng(const Canvas& canvas, const wchar_t* path) {
    TestImage image(canvas.Width(), canvas.Height());
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) image.At(x, y) = canvas.Pixel(x, y) | 0xFF000000;
    }
    return test::SavePngFile(image, path);
}

// A rounded button face: darker border, lighter middle, for nine-slice stretching.
TestImage ButtonFace() {
    TestImage face(12, 12, 0xFF2F6FB5);
    face.FillRect(1, 1, 11, 11, 0xFF4A90D9);
    face.FillRect(1, 1, 11, 5, 0xFF6AA8E8);
    for (auto [x, y] : {std::pair{0, 0}, {11, 0}, {0, 11}, {11, 11}}) {
        face.At(x, y) = 0x00000000;
    }
    return face;
}

TEST(RenderSample, DrawsThePanelAndSavesIt) {
    test::FakeHost host;
    host.AddFont(1, L"微软雅黑", 18, true, false, false, false);
    host.AddFont(2, L"微软雅黑", 13, false, false, false, false);
    host.AddImage(L"button.png", ButtonFace());
    TestImage icon(16, 16, 0x00000000);
    icon.FillRect(3, 3, 13, 13, 0xFFE0A020);
    icon.FillRect(6, 6, 10, 10, 0xFFFFFFFF);
    host.AddImage(L"icon.png", icon);

    Canvas canvas(360, 220, 0xFFF4F6F9);
    CRenderEngine::FillGradient(canvas.Dc(), CUiRect(0, 0, 360, 48), 0xFF1E3C72, 0xFF2A5298, false,
                                64);
    CUiRect title(16, 0, 344, 48);
    CRenderEngine::PaintPlainText(canvas.Dc(), &host, title, L"安全启动证书检查", 0xFFFFFFFF, 1,
                                  DT_SINGLELINE | DT_VCENTER);
    CRenderEngine::StrokeRoundRect(canvas.Dc(), CUiRect(12, 60, 348, 150), 1, 10, 0xFFB0B8C4);
    CRenderEngine::FillSolid(canvas.Dc(), CUiRect(20, 68, 120, 90), 0x6040A040);
    CUiRect body(24, 70, 340, 146);
    int links = 1;
    CUiRect linkRect;
    CUiString linkName;
    CRenderEngine::PaintMarkupText(
        canvas.Dc(), &host, body,
        L"<i icon.png> <b>db</b> 包含 <c #1A7F37>Windows UEFI CA 2023</c>\n"
        L"<c #CF222E>dbx</c> 已更新，详见 <a help>帮助</a>",
        0xFF24292F, &linkRect, &linkName, links, 2, DT_WORDBREAK);
    CRenderEngine::PaintImageText(canvas.Dc(), &host, CUiRect(220, 168, 340, 204),
                                  CUiRect(0, 0, 360, 220), L"file='button.png' corner='4,4,4,4'",
                                  L"", nullptr);
    CUiRect label(220, 168, 340, 204);
    CRenderEngine::PaintPlainText(canvas.Dc(), &host, label, L"刷新", 0xFFFFFFFF, 2,
                                  DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    CRenderEngine::StrokeLine(canvas.Dc(), CUiRect(12, 158, 348, 158), 1, 0xFFD0D7DE);
    ASSERT_EQ(links, 1);

    const std::wstring path = WEFT_SAMPLE_PATH;
    ASSERT_TRUE(SavePng(canvas, path.c_str()));
    const std::unique_ptr<ImageRecord> saved(
        CRenderEngine::LoadBitmapRecord(path.c_str(), nullptr, 0, nullptr));
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(saved->width, 360);
    EXPECT_EQ(saved->height, 220);
}

}  // namespace
}  // namespace Weft
