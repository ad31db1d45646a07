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

TEST(HotkeyTest, OnlyModeOneIsCustomAndItNeedsCtrlOrAlt) {
    constexpr unsigned kWin = kModWin, kZ = kDefaultHotkeyVk;
    const struct { std::int32_t mode; std::uint16_t key, flags; unsigned modifiers, vk, refusedModifiers, refusedKey; }
        cases[] = {
        {0, 0x51, 0x03, kWin, kZ, 0, 0},
        {1, 0x51, 0x03, kModControl | kModShift, 0x51, 0, 0},
        {1, 0x70, kHotkeyfAlt | kHotkeyfExt, kModAlt, 0x70, 0, 0},
        {1, 0x41, kHotkeyfControl, kModControl, 0x41, 0, 0},
        {2, 0x51, 0x03, kWin, kZ, 0, 0},
        {-1, 0x51, 0x03, kWin, kZ, 0, 0},
        // A key from a foreign or damaged "user.ini": only its low byte is the virtual key.
        {1, 0x0151, 0x0103, kModControl | kModShift, 0x51, 0, 0},
        // No key at all: nothing to register, and nothing taken from anyone.
        {1, 0xFF00, 0x02, kModControl, 0x00, 0, 0},
        {1, 0x0000, 0x00, 0, 0x00, 0, 0},
        // A key that every program would lose: the default instead, and the refused one named.
        {1, 0x41, 0x00, kWin, kZ, 0, 0x41},
        {1, 0x41, kHotkeyfShift, kWin, kZ, kModShift, 0x41},
        {1, 0x20, kHotkeyfShift | kHotkeyfExt, kWin, kZ, kModShift, 0x20},
        {1, 0x70, kHotkeyfExt, kWin, kZ, 0, 0x70},
        {1, 0x0141, 0xFF00, kWin, kZ, 0, 0x41},
        {0, 0x41, 0x00, kWin, kZ, 0, 0},  // stored but not in use
    };
    for (const auto& c : cases) {
        const HotkeyChoice choice = ChooseHotkey(c.mode, c.key, c.flags);
        EXPECT_EQ(choice.modifiers, c.modifiers) << c.mode << " " << c.key << " " << c.flags;
        EXPECT_EQ(choice.virtualKey, c.vk) << c.mode << " " << c.key << " " << c.flags;
        EXPECT_EQ(choice.refusedModifiers, c.refusedModifiers) << c.mode << " " << c.key << " " << c.flags;
        EXPECT_EQ(choice.refusedKey, c.refusedKey) << c.mode << " " << c.key << " " << c.flags;
        EXPECT_EQ(choice.Refused(), c.refusedKey != 0);
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
