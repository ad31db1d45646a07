// Colour mixing: the guard on the factor, truncation toward zero, channel independence and the gray tones.
#include "core/ColourMix.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using core::Colour;
using core::MakeColour;

TEST(ColourMixTest, TintAndShade) {
    const struct {
        const char* name;
        bool tint;
        Colour colour;
        double factor;
        Colour expected;
    } cases[] = {
        {"black half way to white truncates 127.5", true, MakeColour(0, 0, 0), 0.5, MakeColour(127, 127, 127)},
        {"factor 1 is white", true, MakeColour(12, 34, 56), 1.0, MakeColour(255, 255, 255)},
        {"channels move apart", true, MakeColour(10, 100, 200), 0.3, MakeColour(83, 146, 216)},
        {"factor 0 keeps", true, MakeColour(10, 100, 200), 0.0, MakeColour(10, 100, 200)},
        {"factor 1.5 keeps", true, MakeColour(10, 100, 200), 1.5, MakeColour(10, 100, 200)},
        {"negative factor keeps", true, MakeColour(10, 100, 200), -0.2, MakeColour(10, 100, 200)},
        {"NaN keeps", true, MakeColour(10, 100, 200), std::nan(""), MakeColour(10, 100, 200)},
        {"the byte above blue is dropped", true, 0x01000000u | MakeColour(0, 0, 0), 0.5, MakeColour(127, 127, 127)},
        {"white 2 % darker truncates 249.9", false, MakeColour(255, 255, 255), 0.02, MakeColour(249, 249, 249)},
        {"factor 1 is black", false, MakeColour(12, 34, 56), 1.0, MakeColour(0, 0, 0)},
        {"shade channels apart", false, MakeColour(10, 100, 201), 0.5, MakeColour(5, 50, 100)},
        {"shade factor 1.5 keeps", false, MakeColour(10, 100, 200), 1.5, MakeColour(10, 100, 200)},
        {"shade NaN keeps", false, MakeColour(10, 100, 200), std::nan(""), MakeColour(10, 100, 200)},
    };
    for (const auto& c : cases) {
        const Colour got = c.tint ? core::TintTowardWhite(c.colour, c.factor) : core::ShadeTowardBlack(c.colour, c.factor);
        EXPECT_EQ(got, c.expected) << c.name;
    }
}

TEST(ColourMixTest, GrayToneFollowsBrightness) {
    const Colour shadow = MakeColour(128, 128, 128);
    EXPECT_EQ(core::GrayTone(MakeColour(0, 0, 0), shadow), shadow) << "black takes the base itself";
    EXPECT_EQ(core::GrayTone(MakeColour(255, 255, 255), shadow), MakeColour(255, 255, 255));
    // Mean (30 + 60 + 91) / 3 = 60 in integers; 128 + 60/255 * 127 = 157.88.
    EXPECT_EQ(core::GrayTone(MakeColour(30, 60, 91), shadow), MakeColour(157, 157, 157));
    // Only the brightness counts, not the hue.
    EXPECT_EQ(core::GrayTone(MakeColour(180, 0, 0), shadow), core::GrayTone(MakeColour(0, 0, 180), shadow));
    EXPECT_EQ(core::GrayTone(MakeColour(0, 0, 0), MakeColour(10, 20, 30)), MakeColour(10, 20, 30));
}

}  // namespace
