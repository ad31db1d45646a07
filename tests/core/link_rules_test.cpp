// The link label's fallback command for the shapes a registered browser command takes, its fixed buffer at the edges
// (under AddressSanitizer), and the fitted box's rounding.
#include "core/LinkRules.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using core::Box;
using core::CommandBuffer;
using core::HorizontalFit;

std::string Build(const std::string& registered, const std::string& target) {
    CommandBuffer command;
    EXPECT_TRUE(command.Assign(registered));
    if (!core::AppendTarget(command, target)) return "(refused)";
    EXPECT_EQ(command.Size(), std::string(command.CStr()).size()) << "zero-terminated at its size";
    return std::string(command.View());
}

TEST(LinkRulesTest, FallbackCommandForEachRegisteredShape) {
    const std::string target = "http://www.example.org/";
    const struct {
        const char* name;
        const char* registered;
        const char* command;
    } cases[] = {
        {"quoted placeholder and a switch", "C:\\Web\\browser.exe \"%1\" -nohome",
         "C:\\Web\\browser.exe  http://www.example.org/"},
        {"quoted program, options, quoted placeholder", "\"C:\\Program Files\\Web\\b.exe\" -osint -url \"%1\"",
         "\"C:\\Program Files\\Web\\b.exe\" -osint -url  http://www.example.org/"},
        {"bare placeholder and what follows", "browser.exe -url %1 -new", "browser.exe -url  http://www.example.org/"},
        {"placeholder right after the program", "browser.exe%1", "browser.exe http://www.example.org/"},
        {"no placeholder", "C:\\Web\\browser.exe", "C:\\Web\\browser.exe http://www.example.org/"},
        {"empty command", "", " http://www.example.org/"},
    };
    for (const auto& c : cases) EXPECT_EQ(Build(c.registered, target), c.command) << c.name;
}

TEST(LinkRulesTest, CommandNeverOutgrowsItsBuffer) {
    // 519 bytes of text and the zero fill the 520 exactly; one byte more is refused and changes nothing.
    const std::string program(259, 'p');
    EXPECT_EQ(Build(program, std::string(259, 't')), program + " " + std::string(259, 't'));
    EXPECT_EQ(Build(program, std::string(260, 't')), "(refused)");
    // The blank before a quoted placeholder is kept, the placeholder and the switch after it are not counted.
    EXPECT_EQ(Build(program + " \"%1\" -switch", std::string(258, 't')), program + "  " + std::string(258, 't'));
    EXPECT_EQ(Build(program + " \"%1\" -switch", std::string(259, 't')), "(refused)");
    EXPECT_EQ(Build("b.exe \"%1\"", std::string(5000, 't')), "(refused)");

    CommandBuffer command;
    ASSERT_TRUE(command.Assign("b.exe %1"));
    EXPECT_FALSE(core::AppendTarget(command, std::string(600, 't')));
    EXPECT_EQ(command.View(), "b.exe %1") << "a refused target leaves the command as it was";

    EXPECT_TRUE(command.Assign(std::string(519, 'x')));
    EXPECT_FALSE(command.Append("y"));
    EXPECT_FALSE(command.Assign(std::string(520, 'x')));
    EXPECT_EQ(command.Size(), 519u) << "a refused text leaves the buffer as it was";
    EXPECT_TRUE(command.Assign(".htm"));
    EXPECT_EQ(std::string(command.CStr()), ".htm");
}

TEST(LinkRulesTest, FitKeepsTheChosenEdgeAndHalvesTowardZero) {
    const Box box{10, 20, 110, 40};  // 100 x 20
    const struct {
        const char* name;
        HorizontalFit horizontal;
        bool centreVertically;
        int width, height;
        Box fitted;
    } cases[] = {
        {"left", HorizontalFit::Left, false, 61, 13, {10, 20, 71, 33}},
        {"right", HorizontalFit::Right, false, 61, 13, {49, 20, 110, 33}},
        // 39 / 2 = 19 on each side leaves 62 for a 61-pixel text; 7 / 2 = 3 leaves 14 for 13.
        {"centred", HorizontalFit::Centre, false, 61, 13, {29, 20, 91, 33}},
        {"centred image", HorizontalFit::Left, true, 61, 13, {10, 23, 71, 37}},
        // A text larger than the box grows it: -21 / 2 = -10 (not -11), -5 / 2 = -2.
        {"centred, growing", HorizontalFit::Centre, true, 121, 25, {0, 18, 120, 42}},
        {"left, growing", HorizontalFit::Left, false, 121, 25, {10, 20, 131, 45}},
    };
    for (const auto& c : cases) {
        const Box fitted = core::FitToText(box, c.horizontal, c.centreVertically, c.width, c.height);
        EXPECT_EQ(fitted.left, c.fitted.left) << c.name;
        EXPECT_EQ(fitted.top, c.fitted.top) << c.name;
        EXPECT_EQ(fitted.right, c.fitted.right) << c.name;
        EXPECT_EQ(fitted.bottom, c.fitted.bottom) << c.name;
    }
}

}  // namespace
