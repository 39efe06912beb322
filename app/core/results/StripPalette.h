// The colour scale of the strip: how far each element is from the air.
#pragma once

#include <array>
#include <cstdint>

namespace brennic {

// Alpha in bits 24-31, red 16-23, green 8-15, blue 0-7.
using TColor32 = std::uint32_t;
using TStripPalette = std::array<TColor32, 256>;

// Entry 0 is the background grey of cells no step has reached; 1 to 255 run
// from green (glass at air temperature) through yellow to red (6 degC or more).
TStripPalette MakeStripPalette();

// Palette index 1..255 for v = |glass - air| / 6 degC; 0 (not computed) for NaN.
std::uint8_t StripColorIndex(double v);

// Hue, saturation and lightness in [0, 1] to an opaque colour with alpha a.
TColor32 HSLtoRGB(float h, float s, float l, int a = 255);

}  // namespace brennic
