// Hotkey: translation from the stored hotkey-control flags to registration flags, the default/custom choice, names.
#include "core/HotkeyFlags.h"

#include <gtest/gtest.h>

namespace {

using namespace core;

TEST(HotkeyTest, TranslationTable) {
    const struct { std::uint16_t stored; unsigned registered; } cases[] = {
        {0, 0},
        {kHotkeyfShift, kModShift},
        {kHotkeyfControl, kModControl},
        {kHotkeyfAlt, kModAlt},
        {kHotkeyfExt, 0},
        {kHotkeyfControl | kHotkeyfShift, kModControl | kModShift},
        {kHotkeyfShift | kHotkeyfControl | kHotkeyfAlt, kModShift | kModControl | kModAlt},
        {kHotkeyfShift | kHotkeyfControl | kHotkeyfAlt | kHotkeyfExt, kModShift | kModControl | kModAlt},
        {kHotkeyfAlt | kHotkeyfExt, kModAlt},
        {0xFFF0, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(TranslateHotkeyModifiers(c.stored), c.registered) << c.stored;
    for (unsigned flags = 0; flags <= 0xFFFF; ++flags)
        ASSERT_EQ(TranslateHotkeyModifiers(static_cast<std::uint16_t>(flags)) & kModWin, 0u) << flags;
}

TEST(HotkeyTest, OnlyModeOneIsCustom) {
    const struct { std::int32_t mode; std::uint16_t key, flags; unsigned modifiers, vk; } cases[] = {
        {0, 0x51, 0x03, kModWin, 0x5A},
        {1, 0x51, 0x03, kModControl | kModShift, 0x51},
        {1, 0x70, kHotkeyfAlt | kHotkeyfExt, kModAlt, 0x70},
        {2, 0x51, 0x03, kModWin, 0x5A},
        {-1, 0x51, 0x03, kModWin, 0x5A},
        // A key from a foreign or damaged "user.ini": only its low byte is the virtual key.
        {1, 0x0151, 0x0103, kModControl | kModShift, 0x51},
        {1, 0xFF00, 0x02, kModControl, 0x00},
    };
    for (const auto& c : cases) {
        const HotkeyChoice choice = ChooseHotkey(c.mode, c.key, c.flags);
        EXPECT_EQ(choice.modifiers, c.modifiers) << c.mode;
        EXPECT_EQ(choice.virtualKey, c.vk) << c.mode;
    }
}

TEST(HotkeyTest, Names) {
    const struct { unsigned modifiers, vk; const char* text; } cases[] = {
        {kModControl | kModShift, 'Q', "Ctrl+Shift+Q"},
        {kModWin, kDefaultHotkeyVk, "Win+Z"},
        {kModAlt, 0x70, "Alt+F1"},
        {kModControl | kModAlt | kModShift | kModWin, 0x87, "Ctrl+Alt+Shift+Win+F24"},
        {0, '7', "7"},
        {kModControl, 0x67, "Ctrl+Num 7"},
        {kModShift, 0x2E, "Shift+Delete"},
        {kModControl, 0xBC, "Ctrl+,"},
        {kModAlt, 0xE5, "Alt+0xE5"},
        {0, 0x05, "0x05"},
    };
    for (const auto& c : cases) EXPECT_EQ(DescribeHotkey(c.modifiers, c.vk), c.text);
}

}  // namespace
