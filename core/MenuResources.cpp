// Readers of the menu template, the toolbar resource and the strip bitmap's header.
#include "core/MenuResources.h"

#include <algorithm>
#include <unordered_map>

namespace core {
namespace {

// Little-endian reads that refuse to go past the end instead of reading there.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> data, std::size_t at = 0) : data_(data), at_(at) {}

    bool Word(std::uint16_t& value) {
        if (data_.size() < 2 || at_ > data_.size() - 2) return false;
        value = static_cast<std::uint16_t>(data_[at_] | data_[at_ + 1] << 8);
        at_ += 2;
        return true;
    }

    // A NUL-terminated UTF-16 string; false when the data ends before the NUL.
    bool String(std::u16string& text) {
        text.clear();
        for (std::uint16_t unit = 0;;) {
            if (!Word(unit)) return false;
            if (unit == 0) return true;
            text.push_back(static_cast<char16_t>(unit));
        }
    }

private:
    std::span<const std::uint8_t> data_;
    std::size_t at_;
};

std::uint32_t Dword(std::span<const std::uint8_t> data, std::size_t at) {
    return static_cast<std::uint32_t>(data[at]) | static_cast<std::uint32_t>(data[at + 1]) << 8 |
           static_cast<std::uint32_t>(data[at + 2]) << 16 | static_cast<std::uint32_t>(data[at + 3]) << 24;
}

}  // namespace

std::optional<std::vector<MenuTemplateItem>> ParseMenuTemplate(std::span<const std::uint8_t> data) {
    Reader header(data);
    std::uint16_t version = 0, offset = 0;
    if (!header.Word(version) || !header.Word(offset) || version != 0) return std::nullopt;

    Reader reader(data, 4 + static_cast<std::size_t>(offset));
    std::vector<MenuTemplateItem> items;
    // One flag per open level: set once that level's last item has been read.
    std::vector<bool> ended{false};
    while (!ended.empty()) {
        MenuTemplateItem item;
        if (!reader.Word(item.options)) return std::nullopt;
        const bool popup = (item.options & kMenuPopup) != 0;
        if (!popup && !reader.Word(item.id)) return std::nullopt;
        if (!reader.String(item.label)) return std::nullopt;
        if (item.options & kMenuEnd) ended.back() = true;
        if (popup) {
            ended.push_back(false);
        } else {
            while (!ended.empty() && ended.back()) {
                ended.pop_back();
                ++item.closes;
            }
        }
        items.push_back(std::move(item));
    }
    return items;
}

std::optional<ToolbarResource> ParseToolbarResource(std::span<const std::uint8_t> data) {
    Reader reader(data);
    ToolbarResource toolbar;
    std::uint16_t count = 0;
    if (!reader.Word(toolbar.version) || !reader.Word(toolbar.buttonWidth) || !reader.Word(toolbar.buttonHeight) ||
        !reader.Word(count) || toolbar.version != 1)
        return std::nullopt;
    toolbar.ids.resize(count);
    for (std::uint16_t& id : toolbar.ids)
        if (!reader.Word(id)) return std::nullopt;
    return toolbar;
}

std::vector<ToolbarPicture> ToolbarPictures(const ToolbarResource& toolbar) {
    std::vector<ToolbarPicture> pictures;
    std::unordered_map<std::uint16_t, int> first;
    int ordinal = 0;
    for (std::uint16_t id : toolbar.ids) {
        if (id == 0) continue;
        const auto [at, added] = first.emplace(id, ordinal++);
        pictures.push_back({id, at->second});
    }
    return pictures;
}

std::optional<StripBitmapHeader> ReadStripBitmapHeader(std::span<const std::uint8_t> data) {
    constexpr std::size_t kInfoHeaderSize = 40;
    constexpr std::uint32_t kUncompressed = 0;
    if (data.size() < kInfoHeaderSize) return std::nullopt;
    const std::uint32_t headerSize = Dword(data, 0);
    if (headerSize < kInfoHeaderSize || headerSize > data.size()) return std::nullopt;

    StripBitmapHeader header;
    header.width = static_cast<std::int32_t>(Dword(data, 4));
    header.height = static_cast<std::int32_t>(Dword(data, 8));
    const int planes = data[12] | data[13] << 8;
    header.bitCount = data[14] | data[15] << 8;
    const std::uint32_t compression = Dword(data, 16);
    const std::uint32_t used = Dword(data, 32);
    if (planes != 1 || compression != kUncompressed || header.width <= 0 || header.height == 0) return std::nullopt;
    switch (header.bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return std::nullopt;
    }

    // Sizes in 64 bits: a hostile header cannot wrap them round to something small.
    const std::uint64_t colours = used ? used : header.bitCount <= 8 ? 1u << header.bitCount : 0u;
    const std::uint64_t rows = header.height < 0 ? -static_cast<std::int64_t>(header.height) : header.height;
    const std::uint64_t stride = (static_cast<std::uint64_t>(header.width) * header.bitCount + 31) / 32 * 4;
    const std::uint64_t table = headerSize;
    const std::uint64_t pixels = table + 4 * colours;
    if (pixels > data.size() || stride > data.size() || rows > data.size() ||
        stride * rows > data.size() - pixels)
        return std::nullopt;

    header.colourCount = static_cast<int>(colours);
    header.colourTable = static_cast<std::size_t>(table);
    header.pixels = static_cast<std::size_t>(pixels);
    return header;
}

}  // namespace core
