// The GIF block walker in front of the platform's picture loader. The loader decodes one GIF stream into one picture,
// so an animated GIF is handed to it frame by frame: the walker checks the header, steps from block to block by their
// length bytes, counts the frames and cuts each one out as a standalone stream (the source's header, screen descriptor
// and global colour table, the frame's own blocks, a trailer). It never decodes pixel data, never changes the source
// and never reads a byte past its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace core {

enum class BlockKind {
    Unknown = 0,      // anything else, including an extension with another label, or no byte at all
    Application = 1,  // 0x21 0xFF
    Comment = 2,      // 0x21 0xFE
    GraphicControl = 3,  // 0x21 0xF9
    PlainText = 4,    // 0x21 0x01
    Image = 5,        // 0x2C
    Trailer = 6,      // 0x3B
};

// Delay of a frame that has no graphic control block.
inline constexpr std::uint32_t kNoDelay = 0xFFFFFFFF;

// One frame found by CutNextFrame: where its bytes lie in the source and what its blocks say about it.
struct FrameCut {
    std::size_t start = 0;         // first byte: its graphic control block, or its image when it has none
    std::size_t length = 0;        // up to and including the terminating zero of its data chain
    std::size_t streamLength = 0;  // of the standalone stream: header and tables, the frame, the trailer
    std::uint32_t delay = kNoDelay;  // hundredths of a second
    std::uint32_t disposal = 0;      // 0-7
    // The image's place on the logical screen. A plain-text frame has no image descriptor and covers the whole
    // screen.
    std::uint32_t left = 0, top = 0, width = 0, height = 0;
};

class GifParser {
public:
    // The bytes stay the caller's and must outlive the parser. The parser starts at the block start.
    explicit GifParser(std::span<const std::uint8_t> data);

    // "GIF" followed by "87a" or "89a". Other streams are not walked.
    bool IsGif() const;
    std::uint32_t ScreenWidth() const;
    std::uint32_t ScreenHeight() const;
    std::size_t GlobalTableSize() const { return globalTableSize_; }
    // 13 + GlobalTableSize(): where the first block lies. Beyond the data for a stream too short for its own
    // descriptor and table, which then holds no block and no frame.
    std::size_t BlockStart() const { return 13 + globalTableSize_; }

    std::size_t Offset() const { return offset_; }
    void ResetToBlockStart() { offset_ = BlockStart(); }

    BlockKind ClassifyBlock() const;
    // Length of the block at the offset, from its first byte; -1 for an unknown block. A block cut short by the end of
    // the data gets a length that reaches past it.
    std::int64_t BlockSize() const;
    // Length of the sub-block chain starting at `position`, terminating zero included (an empty chain is 1). A chain
    // that runs into the end of the data gets a length that reaches past it.
    std::int64_t SubBlockChainLength(std::size_t position) const;

    // Moves past the block at the offset; false (and the offset unchanged) for an unknown block or one that ends
    // past the data. A block may end exactly at the end of the data.
    bool AdvanceBlock();
    // Steps past the next frame (an image or plain-text block, with the control, application and comment blocks
    // before it); false at the trailer, at an unknown block, or when a block does not fit.
    bool SkipNextFrame();
    // As SkipNextFrame, and says where the frame lies and what it carries. Application and comment blocks before the
    // frame's control block belong to no frame; those after it are part of the frame.
    std::optional<FrameCut> CutNextFrame();

    // Writes the standalone stream of `cut` into `out`, which must be exactly cut.streamLength bytes; false, writing
    // nothing, when it is not or when `cut` does not lie within this parser's data.
    bool WriteFrameStream(const FrameCut& cut, std::span<std::uint8_t> out) const;

    // Counts the frames from the block start and leaves the offset there again.
    std::size_t CountFrames();

private:
    // The byte at `position`, 0 past the end (callers only use it where a zero stops them).
    std::uint8_t At(std::size_t position) const { return position < data_.size() ? data_[position] : 0; }
    std::uint16_t U16At(std::size_t position) const;
    // Steps over application and comment blocks; with `inFrame` over control blocks too. Returns the kind reached,
    // or Unknown when a block could not be stepped over.
    BlockKind SkipExtras(bool inFrame);

    std::span<const std::uint8_t> data_;
    std::size_t globalTableSize_ = 0;
    std::size_t offset_ = 0;
};

// How long the player shows a frame, in milliseconds, for its delay in hundredths of a second: below 5 (the "as fast
// as possible" values) and for a frame without a control block 100 ms, otherwise delay x 10.
std::uint32_t FrameWaitMs(std::uint32_t delay);

}  // namespace core
