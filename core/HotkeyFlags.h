// The global hotkey's two modifier encodings: the hotkey control's flags, which the hotkey dialog returns and
// "user.ini" stores, and the registration flags, into which they are translated only when the hotkey is registered.
// The values are the platform's own; they are spelled out here so this code needs no platform header.
#pragma once

#include <cstdint>
#include <string>

namespace core {

// Hotkey control flags (stored).
inline constexpr std::uint16_t kHotkeyfShift = 0x01;
inline constexpr std::uint16_t kHotkeyfControl = 0x02;
inline constexpr std::uint16_t kHotkeyfAlt = 0x04;
inline constexpr std::uint16_t kHotkeyfExt = 0x08;

// Registration flags.
inline constexpr unsigned kModAlt = 0x0001;
inline constexpr unsigned kModControl = 0x0002;
inline constexpr unsigned kModShift = 0x0004;
inline constexpr unsigned kModWin = 0x0008;

inline constexpr unsigned kDefaultHotkeyVk = 0x5A;  // 'Z', with the Windows key

// Shift, Ctrl and Alt map across; the extended-key flag is not a modifier and is dropped, so a custom combination can
// never include the Windows key.
unsigned TranslateHotkeyModifiers(std::uint16_t hotkeyControlFlags);

struct HotkeyChoice {
    unsigned modifiers;   // registration flags
    unsigned virtualKey;
    // The custom combination that was refused for the default (registration flags and key); 0 and 0 when none was.
    unsigned refusedModifiers = 0;
    unsigned refusedKey = 0;

    bool Refused() const { return refusedKey != 0; }
};

// Mode 1 is the custom combination; every other mode value means the default, Windows key + Z. As in the hotkey
// control, only the low byte of the stored key is the virtual key (a file may hold more). A custom key without Ctrl or
// Alt is refused and the default chosen: registered, a plain key or Shift+key would never again reach any program
// (the hotkey dialog does not produce one, but an old or damaged "user.ini" may hold one). A custom combination
// without a key is returned as it is, with key 0: there is nothing to register.
HotkeyChoice ChooseHotkey(std::int32_t hotkeyMode, std::uint16_t hotkeyKey, std::uint16_t hotkeyModifiers);

// The combination as a person reads it, e.g. "Ctrl+Shift+Q", "Win+Z", for a message naming it. Letters, digits,
// F1..F24 and the common named keys have names; any other key is shown as its code, "0x%02X".
std::string DescribeHotkey(unsigned registrationModifiers, unsigned virtualKey);

}  // namespace core
