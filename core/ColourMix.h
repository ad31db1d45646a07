// Colour mixing of the icon menu: the tints, shades and gray tones its looks and icon variants are made of.
// A colour is laid out as the platform stores it (red in the low byte, then green, then blue), so values pass to and
// from the drawing code unchanged; the byte above blue is not a colour and is dropped by every mix.
#pragma once

#include <cstdint>

namespace core {

using Colour = std::uint32_t;

constexpr Colour MakeColour(int red, int green, int blue) {
    return static_cast<Colour>(red & 0xFF) | static_cast<Colour>(green & 0xFF) << 8 |
           static_cast<Colour>(blue & 0xFF) << 16;
}
constexpr int RedOf(Colour colour) { return static_cast<int>(colour & 0xFF); }
constexpr int GreenOf(Colour colour) { return static_cast<int>(colour >> 8 & 0xFF); }
constexpr int BlueOf(Colour colour) { return static_cast<int>(colour >> 16 & 0xFF); }

// Moves every channel the fraction `factor` of its way to 255 (truncated toward zero). A factor outside (0, 1],
// or not a number, leaves the colour as it is.
Colour TintTowardWhite(Colour colour, double factor);

// Moves every channel the fraction `factor` of its way to 0 (truncated toward zero); same guard as the tint.
Colour ShadeTowardBlack(Colour colour, double factor);

// The gray form of an icon pixel: `base` tinted toward white by the pixel's brightness, the integer mean of its
// channels out of 255, so black pixels take the base colour itself and white pixels become white.
Colour GrayTone(Colour pixel, Colour base);

}  // namespace core
