// Icon button layout: icon placement with and without a caption, pressed offset, oversized icons, caption centring.
#include "core/IconLayout.h"

#include <gtest/gtest.h>

namespace {

using core::Box;

TEST(IconLayoutTest, PlaceIcon) {
    const struct {
        const char* name;
        bool hasCaption, pressed;
        Box item;
        int iconWidth, iconHeight;
        int left, top, captionLeft;
    } cases[] = {
        // A 36 x 33 button with a 32 x 32 icon.
        {"centred", false, false, {0, 0, 36, 33}, 32, 32, 2, 0, 0},
        {"centred pressed", false, true, {0, 0, 36, 33}, 32, 32, 3, 1, 0},
        {"beside caption", true, false, {0, 0, 36, 33}, 32, 32, 3, 0, 35},
        {"beside caption pressed", true, true, {0, 0, 36, 33}, 32, 32, 4, 1, 35},
        {"offset item", false, false, {10, 20, 50, 60}, 16, 16, 22, 32, 10},
        // Overhangs halve toward zero: (36 - 48) / 2 = -6, (33 - 48) / 2 = -7, not -8.
        {"oversized", false, false, {0, 0, 36, 33}, 48, 48, -6, -7, 0},
        {"oversized with caption", true, false, {0, 0, 36, 33}, 48, 48, 3, -7, 51},
    };
    for (const auto& c : cases) {
        Box caption = c.item;
        const Box icon = core::PlaceIcon(c.hasCaption, c.item, caption, c.pressed, c.iconWidth, c.iconHeight);
        EXPECT_EQ(icon.left, c.left) << c.name;
        EXPECT_EQ(icon.top, c.top) << c.name;
        EXPECT_EQ(icon.Width(), c.iconWidth) << c.name;
        EXPECT_EQ(icon.Height(), c.iconHeight) << c.name;
        EXPECT_EQ(caption.left, c.captionLeft) << c.name;
        EXPECT_EQ(caption.right, c.item.right) << c.name;
    }
}

TEST(IconLayoutTest, CentreOffset) {
    EXPECT_EQ(core::CentreOffset({0, 0, 100, 40}, 60, 16), std::make_pair(20, 12));
    EXPECT_EQ(core::CentreOffset({35, 0, 36, 33}, 30, 13), std::make_pair(-14, 10));  // wider text: -29 / 2
    EXPECT_EQ(core::CentreOffset({0, 0, 10, 10}, 13, 15), std::make_pair(-1, -2));
}

}  // namespace
