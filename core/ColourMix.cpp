// Colour mixing of the icon menu.
#include "core/ColourMix.h"

namespace core {
namespace {

// The guard is written so that a NaN factor fails it too: converting NaN to an integer is undefined.
bool InRange(double factor) { return factor > 0.0 && factor <= 1.0; }

int Toward(int channel, int target, double factor) {
    return static_cast<int>(channel + factor * (target - channel));
}

}  // namespace

Colour TintTowardWhite(Colour colour, double factor) {
    if (!InRange(factor)) return colour;
    return MakeColour(Toward(RedOf(colour), 255, factor), Toward(GreenOf(colour), 255, factor),
                      Toward(BlueOf(colour), 255, factor));
}

Colour ShadeTowardBlack(Colour colour, double factor) {
    if (!InRange(factor)) return colour;
    return MakeColour(Toward(RedOf(colour), 0, factor), Toward(GreenOf(colour), 0, factor),
                      Toward(BlueOf(colour), 0, factor));
}

Colour GrayTone(Colour pixel, Colour base) {
    const int brightness = (RedOf(pixel) + GreenOf(pixel) + BlueOf(pixel)) / 3;
    return TintTowardWhite(base, brightness / 255.0);
}

}  // namespace core
