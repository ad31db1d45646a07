// Fuzz target of the icon menu's resource readers: the same bytes as a menu template, a toolbar resource and a strip
// bitmap's header. Beyond the sanitizers' checks of every read, each answer is held to what the menu builds on:
// - a template read back is exactly the items its bytes spell, properly nested, and it needed every byte it read (one
//   byte fewer is refused, more bytes change nothing);
// - a toolbar is read exactly when its header and button list fit, with the stored ids, and each command's picture
//   is the strip position of the first button naming it;
// - a bitmap header accepted leaves its colour table and every pixel row inside the data.
#include <cstddef>
#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

#include "core/MenuResources.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

void PutWord(Bytes& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

std::uint16_t WordAt(std::span<const std::uint8_t> data, std::size_t at) {
    return static_cast<std::uint16_t>(data[at] | data[at + 1] << 8);
}

void CheckTemplate(std::span<const std::uint8_t> data) {
    const auto items = core::ParseMenuTemplate(data);
    if (!items) return;
    Require(data.size() >= 4 && WordAt(data, 0) == 0 && !items->empty());

    // Written back the way a resource compiler writes them, the items are the bytes after the header's offset.
    Bytes written;
    int depth = 1;
    for (std::size_t i = 0; i < items->size(); ++i) {
        const core::MenuTemplateItem& item = (*items)[i];
        Require(depth > 0);
        PutWord(written, item.options);
        const bool popup = (item.options & core::kMenuPopup) != 0;
        if (!popup) PutWord(written, item.id);
        Require(popup ? item.id == 0 : true);
        for (char16_t unit : item.label) {
            Require(unit != 0);
            PutWord(written, unit);
        }
        PutWord(written, 0);
        // Levels close only after a level's last item, and never more than are open.
        Require(item.closes >= 0 && item.closes <= depth && (popup ? item.closes == 0 : true));
        Require(item.closes == 0 || (item.options & core::kMenuEnd));
        Require(popup || !(item.options & core::kMenuEnd) || item.closes > 0);
        depth += popup ? 1 : 0;
        depth -= item.closes;
    }
    Require(depth == 0);
    const std::size_t start = 4 + std::size_t{WordAt(data, 2)};
    Require(start + written.size() <= data.size());
    for (std::size_t i = 0; i < written.size(); ++i) Require(data[start + i] == written[i]);

    const std::size_t used = start + written.size();
    Require(!core::ParseMenuTemplate(data.first(used - 1)));
    const auto again = core::ParseMenuTemplate(data.first(used));
    Require(again && again->size() == items->size());
}

void CheckToolbar(std::span<const std::uint8_t> data) {
    const auto toolbar = core::ParseToolbarResource(data);
    const bool fits = data.size() >= 8 && WordAt(data, 0) == 1 && data.size() >= 8 + 2 * std::size_t{WordAt(data, 6)};
    Require(toolbar.has_value() == fits);
    if (!toolbar) return;
    Require(toolbar->buttonWidth == WordAt(data, 2) && toolbar->buttonHeight == WordAt(data, 4));
    Require(toolbar->ids.size() == WordAt(data, 6));
    std::vector<std::uint16_t> commands;  // the non-separator buttons, in strip order
    for (std::size_t i = 0; i < toolbar->ids.size(); ++i) {
        Require(toolbar->ids[i] == WordAt(data, 8 + 2 * i));
        if (toolbar->ids[i] != 0) commands.push_back(toolbar->ids[i]);
    }
    const auto pictures = core::ToolbarPictures(*toolbar);
    Require(pictures.size() == commands.size());
    std::unordered_map<std::uint16_t, int> first;
    for (std::size_t k = 0; k < pictures.size(); ++k) {
        Require(pictures[k].id == commands[k]);
        const int expected = first.emplace(commands[k], static_cast<int>(k)).first->second;
        Require(pictures[k].picture == expected);
    }
}

void CheckBitmapHeader(std::span<const std::uint8_t> data) {
    const auto header = core::ReadStripBitmapHeader(data);
    if (!header) return;
    Require(header->width > 0 && header->height != 0);
    Require(header->colourTable >= 40 && header->colourTable <= data.size());
    Require(header->pixels == header->colourTable + 4 * static_cast<std::size_t>(header->colourCount));
    const std::size_t stride = (static_cast<std::size_t>(header->width) * header->bitCount + 31) / 32 * 4;
    const std::size_t rows = header->height < 0 ? 0 - static_cast<std::size_t>(header->height)
                                                : static_cast<std::size_t>(header->height);
    Require(header->pixels <= data.size() && stride * rows <= data.size() - header->pixels);
    // Read the last byte of the colour table and of the pixel rows, as the strip's reader may.
    volatile std::uint8_t sink = 0;
    if (header->colourCount > 0) sink = data[header->pixels - 1];
    sink = data[header->pixels + stride * rows - 1];
    (void)sink;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    CheckTemplate(bytes);
    CheckToolbar(bytes);
    CheckBitmapHeader(bytes);
    return 0;
}
