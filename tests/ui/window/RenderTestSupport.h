#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/window/DrawingDescription.h"
#include "ui/window/ImageRecord.h"
#include "ui/window/RenderHost.h"

namespace Weft::test {

// A 32-bit top-down DIB section with a memory DC; pixels read as 0xAARRGGBB.
class Canvas {
  public:
    Canvas(int width, int height, std::uint32_t fill = 0xFFFFFFFF);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return dc_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    std::uint32_t Pixel(int x, int y) const;
    // The colour without its alpha byte, which GDI leaves as it finds it.
    std::uint32_t Rgb(int x, int y) const { return Pixel(x, y) & 0xFFFFFF; }
    void Fill(std::uint32_t colour);
    // Pixels whose colour differs from `background`, and their bounding box.
    int CountDifferent(std::uint32_t background, RECT* box = nullptr) const;
    int CountColour(std::uint32_t rgb, int tolerance = 0) const;
    bool SameAs(const Canvas& other) const;

  private:
    int width_;
    int height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
    std::uint32_t* bits_ = nullptr;
};

// An image as the tests describe it: width × height pixels, 0xAARRGGBB, row by row from top.
struct TestImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    TestImage(int w, int h, std::uint32_t fill = 0xFFFFFFFF)
        : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
    std::uint32_t& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    void FillRect(int left, int top, int right, int bottom, std::uint32_t colour);
};

std::vector<std::uint8_t> EncodePng(const TestImage& image);
std::vector<std::uint8_t> EncodeBmp(const TestImage& image);
std::vector<std::uint8_t> EncodeJpeg(const TestImage& image);
// Writes the image as a PNG file; false when it cannot.
bool SavePngFile(const TestImage& image, const wchar_t* path);
// Writes the bytes into the test's temporary folder and returns the full path.
std::wstring WriteTempFile(const wchar_t* name, const std::vector<std::uint8_t>& bytes);
std::wstring TempFolder();

// Whether the red, green and blue of two colours are each within `tolerance`.
bool Near(std::uint32_t a, std::uint32_t b, int tolerance);

// A paint manager stand-in: real GDI fonts, images loaded by the render engine's loaders.
class FakeHost : public IRenderHostUI {
  public:
    FakeHost();
    ~FakeHost();

    int GetScalePercentage() override { return scale; }
    int Scale(int value) override { return MulDiv(value, scale, 100); }
    bool IsLayered() override { return layered; }
    bool IsGdiplusText() override { return gdiplusText; }
    int GetTextRenderingHint() override { return 0; }
    POINT GetMousePos() override { return mouse; }
    std::uint32_t GetDefaultLinkFontColor() override { return linkColour; }
    std::uint32_t GetDefaultLinkHoverFontColor() override { return linkHoverColour; }
    std::uint32_t GetDefaultSelectedBkColor() override { return selectedColour; }
    FontRecord* GetFont(int number) override;
    FontRecord* GetFontByHandle(HFONT font) override;
    HFONT FindFont(const wchar_t* face, int size, bool bold, bool underline, bool italic) override;
    HFONT AddFont(int number, const wchar_t* face, int size, bool bold, bool underline, bool italic,
                  bool shared) override;
    ImageRecord* FindOrLoadImage(const wchar_t* name, const wchar_t* type, std::uint32_t mask,
                                 bool keepPixels, bool gdiplus, HINSTANCE instance) override;
    DrawingDescription* GetDrawingDescription(const wchar_t* imageText,
                                              const wchar_t* modifierText) override;
    HDC GetPaintContext() override { return paintDc; }
    void PaintControl(CControlUI* control, HDC dc, const CUiRect& paintArea) override;

    // Makes an image of that name from PNG bytes of the test image.
    ImageRecord* AddImage(const wchar_t* name, const TestImage& image, std::uint32_t mask = 0);

    int scale = 100;
    bool layered = false;
    bool gdiplusText = false;
    POINT mouse{-1000, -1000};
    std::uint32_t linkColour = 0xFF0000FF;
    std::uint32_t linkHoverColour = 0xFFD3215F;
    std::uint32_t selectedColour = 0xFFBAE4FF;
    HDC paintDc = nullptr;
    std::uint32_t controlColour = 0xFF00FF00;
    std::vector<CUiRect> paintedAreas;
    int fontsAdded = 0;

  private:
    std::map<int, FontRecord> fonts_;
    std::map<std::wstring, std::unique_ptr<ImageRecord>> images_;
    std::map<std::wstring, std::unique_ptr<DrawingDescription>> descriptions_;
};

}  // namespace Weft::test
