// The global hotkey's modifier translation, the choice between the default and the custom combination, and its name.
#include "core/HotkeyFlags.h"

#include <cstdio>

namespace core {
namespace {

const char* NamedKey(unsigned vk) {
    switch (vk) {
        case 0x08: return "Backspace";
        case 0x09: return "Tab";
        case 0x0D: return "Enter";
        case 0x13: return "Pause";
        case 0x14: return "Caps Lock";
        case 0x1B: return "Esc";
        case 0x20: return "Space";
        case 0x21: return "Page Up";
        case 0x22: return "Page Down";
        case 0x23: return "End";
        case 0x24: return "Home";
        case 0x25: return "Left";
        case 0x26: return "Up";
        case 0x27: return "Right";
        case 0x28: return "Down";
        case 0x2C: return "Print Screen";
        case 0x2D: return "Insert";
        case 0x2E: return "Delete";
        case 0x6A: return "Num *";
        case 0x6B: return "Num +";
        case 0x6D: return "Num -";
        case 0x6E: return "Num .";
        case 0x6F: return "Num /";
        case 0x90: return "Num Lock";
        case 0x91: return "Scroll Lock";
        case 0xBA: return ";";
        case 0xBB: return "=";
        case 0xBC: return ",";
        case 0xBD: return "-";
        case 0xBE: return ".";
        case 0xBF: return "/";
        case 0xC0: return "`";
        case 0xDB: return "[";
        case 0xDC: return "\\";
        case 0xDD: return "]";
        case 0xDE: return "'";
        default: return nullptr;
    }
}

std::string KeyName(unsigned vk) {
    char name[16];
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
        std::snprintf(name, sizeof name, "%c", static_cast<char>(vk));
    else if (vk >= 0x60 && vk <= 0x69)
        std::snprintf(name, sizeof name, "Num %u", vk - 0x60);
    else if (vk >= 0x70 && vk <= 0x87)
        std::snprintf(name, sizeof name, "F%u", vk - 0x70 + 1);
    else if (const char* named = NamedKey(vk))
        return named;
    else
        std::snprintf(name, sizeof name, "0x%02X", vk);
    return name;
}

}  // namespace

unsigned TranslateHotkeyModifiers(std::uint16_t hotkeyControlFlags) {
    unsigned modifiers = 0;
    if (hotkeyControlFlags & kHotkeyfShift) modifiers |= kModShift;
    if (hotkeyControlFlags & kHotkeyfControl) modifiers |= kModControl;
    if (hotkeyControlFlags & kHotkeyfAlt) modifiers |= kModAlt;
    return modifiers;
}

HotkeyChoice ChooseHotkey(std::int32_t hotkeyMode, std::uint16_t hotkeyKey, std::uint16_t hotkeyModifiers) {
    const HotkeyChoice standard{kModWin, kDefaultHotkeyVk};
    if (hotkeyMode != 1) return standard;
    const HotkeyChoice custom{TranslateHotkeyModifiers(hotkeyModifiers), hotkeyKey & 0xFFu};
    if (custom.virtualKey == 0 || (custom.modifiers & (kModControl | kModAlt)) != 0) return custom;
    return {standard.modifiers, standard.virtualKey, custom.modifiers, custom.virtualKey};
}

std::string DescribeHotkey(unsigned registrationModifiers, unsigned virtualKey) {
    std::string text;
    if (registrationModifiers & kModControl) text += "Ctrl+";
    if (registrationModifiers & kModAlt) text += "Alt+";
    if (registrationModifiers & kModShift) text += "Shift+";
    if (registrationModifiers & kModWin) text += "Win+";
    text += KeyName(virtualKey);
    return text;
}

}  // namespace core
