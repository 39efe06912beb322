#include "app/core/results/StripPalette.h"

#include "support/NumberText.h"

#include <cmath>

namespace brennic {

namespace {

std::uint8_t RoundByte(double v)
{
    return static_cast<std::uint8_t>(RoundHalfEven(v));
}

}  // namespace

TColor32 HSLtoRGB(float h, float s, float l, int a)
{
    if (s == 0) {
        const std::uint32_t v = RoundByte(255.0 * l);
        return (std::uint32_t(a) << 24) | (v << 16) | (v << 8) | v;
    }
    const float m2 = l <= 0.5f ? float(double(l) * (1.0 + double(s))) : float(double(l) + s - double(l) * s);
    const float m1 = float(2.0 * l - m2);
    auto channel = [&](float hue) -> std::uint32_t {
        hue = hue - std::floor(hue);
        double v;
        if (6.0 * hue < 1)
            v = m1 + (double(m2) - m1) * hue * 6;
        else if (2.0 * hue < 1)
            v = m2;
        else if (3.0 * hue < 2)
            v = m1 + (double(m2) - m1) * (2.0 / 3.0 - hue) * 6;
        else
            v = m1;
        return RoundByte(255 * v);
    };
    const std::uint32_t r = channel(float(h + 1.0 / 3.0));
    const std::uint32_t g = channel(h);
    const std::uint32_t b = channel(float(h - 1.0 / 3.0));
    return (std::uint32_t(a) << 24) | (r << 16) | (g << 8) | b;
}

TStripPalette MakeStripPalette()
{
    TStripPalette p{};
    for (int i = 0; i <= 255; ++i) {
        const float s = float(i / 255.0);
        const float x = std::sqrt(s);
        const float hue = float(0.38 - 0.38 * x);
        const float lightness = float(0.4 + 0.2 * x);
        p[i] = HSLtoRGB(hue, 1.0f, lightness, 255);
    }
    p[0] = 0x00EEEEEE;
    return p;
}


}  // namespace brennic
