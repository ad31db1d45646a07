// Readers of the three resources an icon menu is built from: the menu template, the toolbar resource that names the
// command of each picture, and the header of the picture strip's bitmap. All three come from the executable and are
// read as untrusted bytes: every reader checks each field against the data's end before it reads it and answers
// "nothing" for data that is cut short or malformed, so nothing is read past the data and no half-read result
// escapes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace core {

// Option bits of a menu template item (the platform's MF_ values).
inline constexpr std::uint16_t kMenuPopup = 0x0010;
inline constexpr std::uint16_t kMenuEnd = 0x0080;

struct MenuTemplateItem {
    std::uint16_t options = 0;  // as stored, kMenuEnd included
    std::uint16_t id = 0;       // 0 for a popup, which stores no id
    std::u16string label;
    // Popups whose last item this is, innermost first: after it the builder finishes and leaves that many menus.
    int closes = 0;
};

// The items of a standard menu template (header version 0) in stored order: a popup's children follow it, and
// `closes` says where each level ends. The walk stops when the outermost level has ended; bytes after that are not
// read. Nothing when the header is not a standard one, an item or a label is cut short, or the data ends before the
// outermost level does.
std::optional<std::vector<MenuTemplateItem>> ParseMenuTemplate(std::span<const std::uint8_t> data);

struct ToolbarResource {
    std::uint16_t version = 0;
    std::uint16_t buttonWidth = 0;
    std::uint16_t buttonHeight = 0;
    std::vector<std::uint16_t> ids;  // one per button, 0 for a separator
};

// A toolbar resource (version 1): nothing for another version or when the button list is cut short.
std::optional<ToolbarResource> ParseToolbarResource(std::span<const std::uint8_t> data);

struct ToolbarPicture {
    std::uint16_t id;
    int picture;  // index of the picture in the strip
};

// Every button that names a command, in button order, with its picture: the strip holds one picture per
// non-separator button, in button order, and a command named twice keeps the picture of its first button.
std::vector<ToolbarPicture> ToolbarPictures(const ToolbarResource& toolbar);

struct StripBitmapHeader {
    std::int32_t width = 0;
    std::int32_t height = 0;  // negative for a top-down bitmap
    int bitCount = 0;
    int colourCount = 0;            // entries in the colour table
    std::size_t colourTable = 0;    // offset of the colour table (4 bytes an entry)
    std::size_t pixels = 0;         // offset of the pixel rows
};

// The header of a packed bitmap resource (an info header, its colour table, then the pixels, uncompressed). The
// colour count is the header's used-colours field when set, else 2, 16 or 256 for 1, 4 and 8 bits a pixel, else 0.
// Nothing when the header, the colour table or the pixel rows do not fit in the data, or the bitmap is compressed.
std::optional<StripBitmapHeader> ReadStripBitmapHeader(std::span<const std::uint8_t> data);

}  // namespace core
