// The colour scale of the strip: how far each element is from the air.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>

namespace brennic {

// Alpha in bits 24-31, red 16-23, green 8-15, blue 0-7.
using TColor32 = std::uint32_t;
using TStripPalette = std::array<TColor32, 256>;

// Entry 0 is the background grey of cells no step has reached; 1 to 255 run
// from green (glass at air temperature) through yellow to red (6 degC or more).
TStripPalette MakeStripPalette();

// Palette index 1..255 for v = |glass - air| / 6 degC; 0 (not computed) for
// NaN. Inline: a run asks once per element and step.
inline std::uint8_t StripColorIndex(double v)
{
    if (std::isnan(v))
        return 0;  // no valid temperature: shown as not computed, never as "at air temperature"
    if (!(v > 0))
        return 1;
    if (!(v < 1))
        return 255;
    // Half to even on (0, 254), where truncation is the floor.
    const double x = v * 254;
    const int whole = static_cast<int>(x);
    const double fraction = x - whole;
    const int up = fraction > 0.5 || (fraction == 0.5 && (whole & 1) != 0);
    return static_cast<std::uint8_t>(whole + up + 1);
}

// Hue, saturation and lightness in [0, 1] to an opaque colour with alpha a.
TColor32 HSLtoRGB(float h, float s, float l, int a = 255);

}  // namespace brennic
