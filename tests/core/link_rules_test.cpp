// The link label's fallback command buffer at its edges (under AddressSanitizer), and the fitted box's halving.
// The shapes of registered commands are tested on the real label, through the platform seam.
#include "core/LinkRules.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(LinkRulesTest, CommandNeverOutgrowsItsBufferNorIsCutShort) {
    const std::string program(259, 'p');  // the longest value a registry read gives
    core::CommandBuffer command;
    // 519 bytes of text and the zero fill the 520 exactly; one byte more is refused and leaves the command as it was.
    ASSERT_TRUE(command.Assign(program + " \"%1\" -switch"));
    ASSERT_TRUE(core::AppendTarget(command, std::string(258, 't')));
    EXPECT_EQ(command.View(), program + "  " + std::string(258, 't'));
    EXPECT_EQ(std::string(command.CStr()).size(), 519u);

    ASSERT_TRUE(command.Assign(program + " \"%1\" -switch"));
    EXPECT_FALSE(core::AppendTarget(command, std::string(259, 't')));
    EXPECT_EQ(command.View(), program + " \"%1\" -switch");
    EXPECT_FALSE(core::AppendTarget(command, std::string(5000, 't')));

    EXPECT_FALSE(command.Assign(std::string(520, 'x')));
    EXPECT_TRUE(command.Assign(std::string(519, 'x')));
    EXPECT_FALSE(command.Append("y"));
    EXPECT_EQ(command.Size(), 519u);
}

TEST(LinkRulesTest, CentredFitsHalveTowardZero) {
    const core::Box box{10, 20, 110, 40};  // 100 x 20
    // (100 - 61) / 2 = 19 on each side leaves 62 for a 61-pixel text; a larger text grows the box by -21 / 2 = -10
    // on each side, not -11; vertically (20 - 25) / 2 = -2.
    const core::Box shrunk = core::FitToText(box, core::HorizontalFit::Centre, false, 61, 13);
    EXPECT_EQ(shrunk.left, 29);
    EXPECT_EQ(shrunk.right, 91);
    EXPECT_EQ(shrunk.bottom, 33);
    const core::Box grown = core::FitToText(box, core::HorizontalFit::Centre, true, 121, 25);
    EXPECT_EQ(grown.left, 0);
    EXPECT_EQ(grown.right, 120);
    EXPECT_EQ(grown.top, 18);
    EXPECT_EQ(grown.bottom, 42);
}

}  // namespace
