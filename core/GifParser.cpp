// Block lengths are found by hopping from length byte to length byte; every read goes through At() or is preceded by
// a check that the whole block lies within the data.
#include "core/GifParser.h"

#include <algorithm>

namespace core {
namespace {

constexpr std::size_t kScreenEnd = 13;  // signature, version and logical screen descriptor
constexpr std::uint8_t kExtension = 0x21;
constexpr std::uint8_t kImage = 0x2C;
constexpr std::uint8_t kTrailer = 0x3B;

// Bytes of a colour table announced by a packed byte (bit 7 present, bits 0-2 the size exponent).
std::size_t ColourTableSize(std::uint8_t packed) {
    return (packed & 0x80) ? std::size_t{3} << ((packed & 7) + 1) : 0;
}

}  // namespace

GifParser::GifParser(std::span<const std::uint8_t> data) : data_(data) {
    if (data_.size() >= kScreenEnd) globalTableSize_ = ColourTableSize(data_[10]);
    ResetToBlockStart();
}

bool GifParser::IsGif() const {
    if (data_.size() < 6 || data_[0] != 'G' || data_[1] != 'I' || data_[2] != 'F') return false;
    return data_[3] == '8' && (data_[4] == '7' || data_[4] == '9') && data_[5] == 'a';
}

std::uint16_t GifParser::U16At(std::size_t position) const {
    return static_cast<std::uint16_t>(At(position) | (At(position + 1) << 8));
}

std::uint32_t GifParser::ScreenWidth() const { return data_.size() >= kScreenEnd ? U16At(6) : 0; }
std::uint32_t GifParser::ScreenHeight() const { return data_.size() >= kScreenEnd ? U16At(8) : 0; }

BlockKind GifParser::ClassifyBlock() const {
    if (offset_ >= data_.size()) return BlockKind::Unknown;
    switch (data_[offset_]) {
    case kImage: return BlockKind::Image;
    case kTrailer: return BlockKind::Trailer;
    case kExtension:
        if (offset_ + 1 >= data_.size()) return BlockKind::Unknown;
        switch (data_[offset_ + 1]) {
        case 0x01: return BlockKind::PlainText;
        case 0xF9: return BlockKind::GraphicControl;
        case 0xFE: return BlockKind::Comment;
        case 0xFF: return BlockKind::Application;
        default: return BlockKind::Unknown;
        }
    default: return BlockKind::Unknown;
    }
}

std::int64_t GifParser::SubBlockChainLength(std::size_t position) const {
    // Past the end the walk stops; the length then reaches beyond the data, which callers treat as a cut block.
    std::size_t p = position;
    while (p < data_.size() && data_[p] != 0) p += std::size_t{data_[p]} + 1;
    return static_cast<std::int64_t>(p - position) + 1;
}

std::int64_t GifParser::BlockSize() const {
    switch (ClassifyBlock()) {
    case BlockKind::Unknown: return -1;
    // Introducer, label, the block-size byte and the 11 identifier bytes are taken as fixed.
    case BlockKind::Application: return 14 + SubBlockChainLength(offset_ + 14);
    case BlockKind::Comment: return 2 + SubBlockChainLength(offset_ + 2);
    case BlockKind::GraphicControl: return 8;
    case BlockKind::PlainText: return 15 + SubBlockChainLength(offset_ + 15);
    case BlockKind::Image: {
        // The 10-byte descriptor and the LZW minimum code size, then the local colour table, then the data chain.
        // A descriptor cut short reads its packed byte as 0 and its chain as starting past the end.
        const std::size_t fixed = 11 + ColourTableSize(At(offset_ + 9));
        return static_cast<std::int64_t>(fixed) + SubBlockChainLength(offset_ + fixed);
    }
    case BlockKind::Trailer: return 1;
    }
    return -1;
}

bool GifParser::AdvanceBlock() {
    if (data_.empty()) return false;
    const std::int64_t size = BlockSize();
    if (size <= 0) return false;
    const std::size_t next = offset_ + static_cast<std::size_t>(size);
    if (next > data_.size()) return false;
    offset_ = next;
    return true;
}

BlockKind GifParser::SkipExtras(bool inFrame) {
    for (BlockKind kind = ClassifyBlock();; kind = ClassifyBlock()) {
        const bool extra = kind == BlockKind::Application || kind == BlockKind::Comment ||
                           (inFrame && kind == BlockKind::GraphicControl);
        if (!extra) return kind;
        if (!AdvanceBlock()) return BlockKind::Unknown;
    }
}

bool GifParser::SkipNextFrame() { return CutNextFrame().has_value(); }

std::optional<FrameCut> GifParser::CutNextFrame() {
    if (data_.empty()) return std::nullopt;
    BlockKind kind = SkipExtras(false);
    if (kind == BlockKind::Unknown || kind == BlockKind::Trailer) return std::nullopt;

    FrameCut cut;
    cut.start = offset_;
    if (kind == BlockKind::GraphicControl) {
        if (!AdvanceBlock()) return std::nullopt;  // the whole 8-byte block lies within the data from here on
        cut.disposal = (data_[cut.start + 3] >> 2) & 7;
        cut.delay = U16At(cut.start + 4);
        kind = SkipExtras(true);
        if (kind == BlockKind::Unknown || kind == BlockKind::Trailer) return std::nullopt;
    }

    const std::size_t frameBlock = offset_;
    if (!AdvanceBlock()) return std::nullopt;
    if (kind == BlockKind::Image) {
        // The image block is at least 12 bytes and lies within the data, so its descriptor can be read.
        cut.left = U16At(frameBlock + 1);
        cut.top = U16At(frameBlock + 3);
        cut.width = U16At(frameBlock + 5);
        cut.height = U16At(frameBlock + 7);
    } else {
        cut.width = ScreenWidth();
        cut.height = ScreenHeight();
    }
    cut.length = offset_ - cut.start;
    cut.streamLength = BlockStart() + cut.length + 1;
    return cut;
}

bool GifParser::WriteFrameStream(const FrameCut& cut, std::span<std::uint8_t> out) const {
    const std::size_t head = BlockStart();
    if (out.size() != cut.streamLength || cut.streamLength != head + cut.length + 1) return false;
    if (cut.start < head || cut.start > data_.size() || cut.length > data_.size() - cut.start) return false;
    auto next = std::copy_n(data_.begin(), head, out.begin());
    next = std::copy_n(data_.begin() + static_cast<std::ptrdiff_t>(cut.start), cut.length, next);
    *next = kTrailer;
    return true;
}

std::size_t GifParser::CountFrames() {
    ResetToBlockStart();
    std::size_t frames = 0;
    while (SkipNextFrame()) ++frames;
    ResetToBlockStart();
    return frames;
}

std::uint32_t FrameWaitMs(std::uint32_t delay) {
    if (delay < 5 || delay == kNoDelay) return 100;
    return delay * 10;
}

}  // namespace core
