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
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return std::string(1, static_cast<char>(vk));
    if (vk >= 0x60 && vk <= 0x69) return "Num " + std::to_string(vk - 0x60);
    if (vk >= 0x70 && vk <= 0x87) return "F" + std::to_string(vk - 0x70 + 1);
    if (const char* name = NamedKey(vk)) return name;
    char code[16];
    std::snprintf(code, sizeof code, "0x%02X", vk);
    return code;
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
    if (hotkeyMode == 1) return {TranslateHotkeyModifiers(hotkeyModifiers), hotkeyKey};
    return {kModWin, kDefaultHotkeyVk};
}

std::string DescribeHotkey(unsigned registrationModifiers, unsigned virtualKey) {
    std::string text;
    if (registrationModifiers & kModControl) text += "Ctrl+";
    if (registrationModifiers & kModAlt) text += "Alt+";
    if (registrationModifiers & kModShift) text += "Shift+";
    if (registrationModifiers & kModWin) text += "Win+";
    return text + KeyName(virtualKey);
}

}  // namespace core
