#include <cmath>
#include <cstring>

#include "ui/window/RenderEngine.h"

namespace Weft {
namespace {

bool Neutral(int hue, int saturation, int lightness) {
    return hue == 180 && saturation == 100 && lightness == 100;
}

struct Hsl {
    double h;  // degrees
    double s;
    double l;
};

Hsl ToHsl(double r, double g, double b) {
    const double high = std::fmax(r, std::fmax(g, b));
    const double low = std::fmin(r, std::fmin(g, b));
    Hsl hsl{0, 0, (high + low) / 2};
    const double delta = high - low;
    if (delta <= 0) {
        return hsl;
    }
    hsl.s = hsl.l <= 0.5 ? delta / (high + low) : delta / (2 - high - low);
    if (high == r) {
        hsl.h = 60 * std::fmod((g - b) / delta + 6, 6);
    } else if (high == g) {
        hsl.h = 60 * ((b - r) / delta + 2);
    } else {
        hsl.h = 60 * ((r - g) / delta + 4);
    }
    return hsl;
}

double HueToChannel(double p, double q, double t) {
    t = std::fmod(t, 1.0);
    if (t < 0) {
        t += 1;
    }
    if (t < 1.0 / 6) {
        return p + (q - p) * 6 * t;
    }
    if (t < 0.5) {
        return q;
    }
    if (t < 2.0 / 3) {
        return p + (q - p) * (2.0 / 3 - t) * 6;
    }
    return p;
}

BYTE ToByte(double v) {
    const double scaled = v * 255 + 0.5;
    return static_cast<BYTE>(scaled < 0 ? 0 : scaled > 255 ? 255 : scaled);
}

void AdjustRgb(BYTE& r, BYTE& g, BYTE& b, int hue, int saturation, int lightness) {
    Hsl hsl = ToHsl(r / 255.0, g / 255.0, b / 255.0);
    hsl.h += hue - 180;
    if (hsl.h <= 0) {
        hsl.h += 360;
    }
    hsl.s = std::fmin(1.0, hsl.s * saturation / 100);
    hsl.l = std::fmin(1.0, hsl.l * lightness / 100);
    if (hsl.s <= 0) {
        r = g = b = ToByte(hsl.l);
        return;
    }
    const double q = hsl.l < 0.5 ? hsl.l * (1 + hsl.s) : hsl.l + hsl.s - hsl.l * hsl.s;
    const double p = 2 * hsl.l - q;
    const double t = hsl.h / 360;
    r = ToByte(HueToChannel(p, q, t + 1.0 / 3));
    g = ToByte(HueToChannel(p, q, t));
    b = ToByte(HueToChannel(p, q, t - 1.0 / 3));
}

}  // namespace

std::uint32_t CRenderEngine::AdjustColorHsl(std::uint32_t colour, int hue, int saturation,
                                            int lightness) {
    if (Neutral(hue, saturation, lightness)) {
        return colour;
    }
    BYTE r = static_cast<BYTE>(colour >> 16);
    BYTE g = static_cast<BYTE>(colour >> 8);
    BYTE b = static_cast<BYTE>(colour);
    AdjustRgb(r, g, b, hue, saturation, lightness);
    return (colour & 0xFF000000) | (static_cast<std::uint32_t>(r) << 16) |
           (static_cast<std::uint32_t>(g) << 8) | b;
}

void CRenderEngine::AdjustImageHsl(bool enable, ImageRecord* image, int hue, int saturation,
                                   int lightness) {
    if (image == nullptr || image->pixels == nullptr || image->loadedPixels == nullptr) {
        return;
    }
    const size_t count = static_cast<size_t>(image->width) * image->height;
    if (!enable || Neutral(hue, saturation, lightness)) {
        std::memcpy(image->pixels, image->loadedPixels, count * 4);
        return;
    }
    const BYTE* from = image->loadedPixels;
    BYTE* to = image->pixels;
    for (size_t i = 0; i < count; ++i, from += 4, to += 4) {
        BYTE b = from[0];
        BYTE g = from[1];
        BYTE r = from[2];
        AdjustRgb(r, g, b, hue, saturation, lightness);
        // The pixels are premultiplied: no colour may outgrow its alpha, or blending would
        // add light that is not there.
        const BYTE alpha = from[3];
        to[0] = b < alpha ? b : alpha;
        to[1] = g < alpha ? g : alpha;
        to[2] = r < alpha ? r : alpha;
        to[3] = alpha;
    }
}

}  // namespace Weft
