// GIF block walker: frame counting and cutting on hand-built streams and on the program's chart pictures, every
// truncation, streams that end the walk early, and the frame waits the player derives from delays.
#include "core/GifParser.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using core::BlockKind;
using core::FrameCut;
using core::GifParser;
using Bytes = std::vector<std::uint8_t>;

// --- Stream builders --------------------------------------------------------------------------------------------

void Append(Bytes& to, const Bytes& more) { to.insert(to.end(), more.begin(), more.end()); }

Bytes Header(const char* version, std::uint16_t width, std::uint16_t height, std::uint8_t packed) {
    Bytes b(version, version + 6);
    Append(b, {static_cast<std::uint8_t>(width), static_cast<std::uint8_t>(width >> 8),
               static_cast<std::uint8_t>(height), static_cast<std::uint8_t>(height >> 8), packed, 0, 0});
    const std::size_t table = (packed & 0x80) ? std::size_t{3} << ((packed & 7) + 1) : 0;
    for (std::size_t i = 0; i < table; ++i) b.push_back(static_cast<std::uint8_t>(0xC0 + i));
    return b;
}

Bytes Control(std::uint8_t disposal, std::uint16_t delay) {
    return {0x21, 0xF9, 0x04, static_cast<std::uint8_t>(disposal << 2 | 1), static_cast<std::uint8_t>(delay),
            static_cast<std::uint8_t>(delay >> 8), 0x07, 0x00};
}

// A sub-block chain with one sub-block per size, then the terminating zero.
Bytes Chain(std::initializer_list<std::uint8_t> sizes) {
    Bytes b;
    for (std::uint8_t size : sizes) {
        b.push_back(size);
        b.insert(b.end(), size, 0x55);
    }
    b.push_back(0);
    return b;
}

Bytes Image(std::uint16_t left, std::uint16_t top, std::uint16_t width, std::uint16_t height,
            std::uint8_t packed = 0, std::initializer_list<std::uint8_t> chain = {3}) {
    Bytes b{0x2C, static_cast<std::uint8_t>(left), static_cast<std::uint8_t>(left >> 8), static_cast<std::uint8_t>(top),
            static_cast<std::uint8_t>(top >> 8), static_cast<std::uint8_t>(width),
            static_cast<std::uint8_t>(width >> 8), static_cast<std::uint8_t>(height),
            static_cast<std::uint8_t>(height >> 8), packed, 0x02};
    const std::size_t table = (packed & 0x80) ? std::size_t{3} << ((packed & 7) + 1) : 0;
    b.insert(b.end(), table, 0x99);
    Append(b, Chain(chain));
    return b;
}

Bytes Comment(std::initializer_list<std::uint8_t> chain) {
    Bytes b{0x21, 0xFE};
    Append(b, Chain(chain));
    return b;
}

// A looping block: "NETSCAPE2.0" and one 3-byte sub-block.
Bytes Looping() {
    Bytes b{0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    Append(b, {0x03, 0x01, 0x00, 0x00, 0x00});
    return b;
}

Bytes PlainText() {
    Bytes b{0x21, 0x01, 0x0C, 0, 0, 0, 0, 8, 0, 8, 0, 8, 8, 1, 0};
    Append(b, Chain({5}));
    return b;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes b;
    for (const Bytes& part : parts) Append(b, part);
    return b;
}

// The two-frame stream with a comment between the frames: control at 19, image 27-42, comment 43-48, control at 49,
// image 57-72, trailer at 73.
Bytes CommentBetweenFrames() {
    return Concat({Header("GIF89a", 4, 2, 0x80), Control(1, 10), Image(0, 0, 4, 2), Comment({2}), Control(2, 20),
                   Image(1, 1, 2, 1), {0x3B}});
}

// The same frames with the comment inside the second frame: control at 43, comment at 51, image at 57.
Bytes CommentInsideFrame() {
    return Concat({Header("GIF89a", 4, 2, 0x80), Control(1, 10), Image(0, 0, 4, 2), Control(2, 20), Comment({2}),
                   Image(1, 1, 2, 1), {0x3B}});
}

std::vector<FrameCut> CutAll(GifParser& parser) {
    std::vector<FrameCut> cuts;
    parser.ResetToBlockStart();
    while (auto cut = parser.CutNextFrame()) cuts.push_back(*cut);
    return cuts;
}

Bytes StreamOf(const GifParser& parser, const FrameCut& cut) {
    Bytes out(cut.streamLength);
    EXPECT_TRUE(parser.WriteFrameStream(cut, out));
    return out;
}

Bytes Slice(const Bytes& b, std::size_t from, std::size_t to) {
    return Bytes(b.begin() + static_cast<std::ptrdiff_t>(from), b.begin() + static_cast<std::ptrdiff_t>(to));
}

// --- Counting and cutting ---------------------------------------------------------------------------------------

TEST(GifParserTest, CutsEachFrameOutWithHeaderTablesAndTrailer) {
    const Bytes source = CommentBetweenFrames();
    ASSERT_EQ(source.size(), 74u);
    GifParser parser(source);
    ASSERT_TRUE(parser.IsGif());
    EXPECT_EQ(parser.BlockStart(), 19u);
    EXPECT_EQ(parser.CountFrames(), 2u);
    EXPECT_EQ(parser.Offset(), 19u);

    const auto cuts = CutAll(parser);
    ASSERT_EQ(cuts.size(), 2u);
    EXPECT_EQ(parser.ClassifyBlock(), BlockKind::Trailer);
    EXPECT_EQ(parser.Offset(), 73u);

    // The comment before the second control block belongs to no frame and is not copied.
    const struct {
        std::size_t start, length, streamLength;
        std::uint32_t delay, disposal, left, top, width, height;
    } expected[] = {{19, 24, 44, 10, 1, 0, 0, 4, 2}, {49, 24, 44, 20, 2, 1, 1, 2, 1}};
    for (std::size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const FrameCut& cut = cuts[i];
        const auto& e = expected[i];
        EXPECT_EQ(cut.start, e.start);
        EXPECT_EQ(cut.length, e.length);
        EXPECT_EQ(cut.streamLength, e.streamLength);
        EXPECT_EQ(cut.delay, e.delay);
        EXPECT_EQ(cut.disposal, e.disposal);
        EXPECT_EQ((std::vector<std::uint32_t>{cut.left, cut.top, cut.width, cut.height}),
                  (std::vector<std::uint32_t>{e.left, e.top, e.width, e.height}));
        EXPECT_EQ(StreamOf(parser, cut),
                  Concat({Slice(source, 0, 19), Slice(source, e.start, e.start + e.length), {0x3B}}));
    }
}

TEST(GifParserTest, BlocksBetweenControlBlockAndImageAreCopied) {
    const Bytes source = CommentInsideFrame();
    GifParser parser(source);
    const auto cuts = CutAll(parser);
    ASSERT_EQ(cuts.size(), 2u);
    EXPECT_EQ(cuts[1].start, 43u);
    EXPECT_EQ(cuts[1].length, 30u);
    EXPECT_EQ(cuts[1].streamLength, 50u);
    EXPECT_EQ(StreamOf(parser, cuts[1]), Concat({Slice(source, 0, 19), Slice(source, 43, 73), {0x3B}}));
}

TEST(GifParserTest, CutStreamIsItselfAOneFrameGif) {
    for (const Bytes& source : {CommentBetweenFrames(), CommentInsideFrame()}) {
        GifParser parser(source);
        for (const FrameCut& cut : CutAll(parser)) {
            const Bytes stream = StreamOf(parser, cut);
            GifParser again(stream);
            ASSERT_TRUE(again.IsGif());
            EXPECT_EQ(again.CountFrames(), 1u);
            const auto inner = again.CutNextFrame();
            ASSERT_TRUE(inner.has_value());
            EXPECT_EQ(StreamOf(again, *inner), stream);
            EXPECT_EQ(again.ClassifyBlock(), BlockKind::Trailer);
        }
    }
}

TEST(GifParserTest, EveryTruncationKeepsTheWholeFramesBeforeIt) {
    // ASan watches the reads: each length gets a heap block of exactly that size.
    const Bytes whole = CommentBetweenFrames();
    for (std::size_t length = 0; length <= whole.size(); ++length) {
        const Bytes part = Slice(whole, 0, length);
        GifParser parser(part);
        // The first image ends at 43, the second at 73; without a trailer the last image may end the data.
        const std::size_t expected = (length >= 43 ? 1 : 0) + (length >= 73 ? 1 : 0);
        EXPECT_EQ(parser.CountFrames(), expected) << length;
        EXPECT_EQ(CutAll(parser).size(), expected) << length;
    }
}

TEST(GifParserTest, WalkEndsAtUnknownBlocksAndKeepsFramesSoFar) {
    const Bytes header = Header("GIF89a", 8, 8, 0x81);
    const struct {
        const char* name;
        Bytes blocks;
        std::size_t frames;
    } cases[] = {
        {"trailer first", {0x3B}, 0},
        {"unknown byte first", {0x00, 0x3B}, 0},
        {"extension label 0", Concat({Bytes{0x21, 0x00, 0x00}, Image(0, 0, 8, 8), {0x3B}}), 0},
        {"unknown label after a frame", Concat({Image(0, 0, 8, 8), {0x21, 0x02, 0x00}, Image(0, 0, 8, 8)}), 1},
        {"introducer as last byte", Concat({Image(0, 0, 8, 8), {0x21}}), 1},
        {"control block then trailer", Concat({Control(0, 0), {0x3B}}), 0},
        {"control block then unknown", Concat({Control(0, 0), {0x77}, Image(0, 0, 8, 8)}), 0},
        {"no trailer", Concat({Image(0, 0, 8, 8), Image(0, 0, 8, 8)}), 2},
        {"looping block and comment skipped",
         Concat({Looping(), Comment({4, 1}), Image(0, 0, 8, 8), Comment({}), Looping(), Image(0, 0, 8, 8), {0x3B}}), 2},
        {"plain text counts as a frame", Concat({Control(0, 5), PlainText(), Image(0, 0, 8, 8), {0x3B}}), 2},
        {"local colour table", Concat({Image(0, 0, 8, 8, 0x87, {255, 7}), {0x3B}}), 1},
        {"chain length byte past the end", Concat({Image(0, 0, 8, 8), {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 0xFF}}),
         1},
    };
    for (const auto& c : cases) {
        const Bytes source = Concat({header, c.blocks});
        GifParser parser(source);
        EXPECT_EQ(parser.CountFrames(), c.frames) << c.name;
        EXPECT_EQ(CutAll(parser).size(), c.frames) << c.name;
    }
}

TEST(GifParserTest, FrameFieldsFromControlBlockAndDescriptor) {
    const Bytes source = Concat({Header("GIF89a", 300, 200, 0x00), Image(10, 20, 30, 40),
                                 Control(3, 250), Control(2, 7), Image(0x0102, 0x0304, 0x0506, 0x0708),
                                 Control(0, 0), PlainText(), {0x3B}});
    GifParser parser(source);
    const auto cuts = CutAll(parser);
    ASSERT_EQ(cuts.size(), 3u);

    // No control block: the stream starts at the image descriptor.
    EXPECT_EQ(cuts[0].delay, core::kNoDelay);
    EXPECT_EQ(cuts[0].disposal, 0u);
    EXPECT_EQ(StreamOf(parser, cuts[0])[13], 0x2C);
    EXPECT_EQ((std::vector<std::uint32_t>{cuts[0].left, cuts[0].top, cuts[0].width, cuts[0].height}),
              (std::vector<std::uint32_t>{10, 20, 30, 40}));

    // Two control blocks: the first speaks for the frame, the second travels inside it.
    EXPECT_EQ(cuts[1].delay, 250u);
    EXPECT_EQ(cuts[1].disposal, 3u);
    EXPECT_EQ(cuts[1].length, 8u + 8u + 16u);
    EXPECT_EQ((std::vector<std::uint32_t>{cuts[1].left, cuts[1].top, cuts[1].width, cuts[1].height}),
              (std::vector<std::uint32_t>{0x0102, 0x0304, 0x0506, 0x0708}));

    // A plain-text frame has no descriptor and covers the logical screen.
    EXPECT_EQ(cuts[2].delay, 0u);
    EXPECT_EQ((std::vector<std::uint32_t>{cuts[2].left, cuts[2].top, cuts[2].width, cuts[2].height}),
              (std::vector<std::uint32_t>{0, 0, 300, 200}));
}

TEST(GifParserTest, BlockKindsAndLengths) {
    const Bytes header = Header("GIF87a", 1, 1, 0x00);
    const struct {
        const char* name;
        Bytes block;
        BlockKind kind;
        std::int64_t size;
    } cases[] = {
        {"looping block", Looping(), BlockKind::Application, 19},
        {"empty comment", Comment({}), BlockKind::Comment, 3},
        {"comment", Comment({2, 1}), BlockKind::Comment, 8},
        {"control block", Control(0, 0), BlockKind::GraphicControl, 8},
        {"plain text", PlainText(), BlockKind::PlainText, 22},
        {"image", Image(0, 0, 1, 1), BlockKind::Image, 16},
        {"image with 6-byte local table", Image(0, 0, 1, 1, 0x80), BlockKind::Image, 22},
        {"trailer", {0x3B}, BlockKind::Trailer, 1},
        {"unknown extension", {0x21, 0xFA, 0x00}, BlockKind::Unknown, -1},
        {"unknown byte", {0x2D}, BlockKind::Unknown, -1},
        {"lone introducer", {0x21}, BlockKind::Unknown, -1},
        {"nothing", {}, BlockKind::Unknown, -1},
        // Cut short: the length reaches past the end of the data.
        {"comment without its zero", {0x21, 0xFE, 0x02, 'h', 'i'}, BlockKind::Comment, 6},
        {"image descriptor cut", {0x2C, 0x00, 0x00}, BlockKind::Image, 12},
    };
    for (const auto& c : cases) {
        const Bytes source = Concat({header, c.block});
        GifParser parser(source);
        EXPECT_EQ(parser.ClassifyBlock(), c.kind) << c.name;
        EXPECT_EQ(parser.BlockSize(), c.size) << c.name;
        const bool fits = c.size > 0 && static_cast<std::size_t>(c.size) <= c.block.size();
        EXPECT_EQ(parser.AdvanceBlock(), fits) << c.name;
        EXPECT_EQ(parser.Offset(), 13 + (fits ? c.block.size() : 0)) << c.name;
    }
}

TEST(GifParserTest, OnlyGifVersionsAreWalkedAndShortHeadersHoldNoFrames) {
    for (const char* version : {"GIF87a", "GIF89a"}) EXPECT_TRUE(GifParser(Header(version, 1, 1, 0)).IsGif());
    for (const char* version : {"GIF88a", "GIF89b", "GIF90a", "gif89a", "GIF8"})
        EXPECT_FALSE(GifParser(Bytes(version, version + std::string(version).size())).IsGif()) << version;

    // A descriptor that announces a 768-byte table the data does not hold.
    const Bytes shortTable = Concat({Slice(Header("GIF89a", 4, 4, 0x87), 0, 40), Image(0, 0, 4, 4), {0x3B}});
    GifParser parser(shortTable);
    EXPECT_TRUE(parser.IsGif());
    EXPECT_EQ(parser.BlockStart(), 13u + 768u);
    EXPECT_EQ(parser.CountFrames(), 0u);

    const Bytes sixBytes{'G', 'I', 'F', '8', '9', 'a'};
    GifParser headerOnly(sixBytes);
    EXPECT_TRUE(headerOnly.IsGif());
    EXPECT_EQ(headerOnly.ScreenWidth(), 0u);
    EXPECT_EQ(headerOnly.CountFrames(), 0u);
}

TEST(GifParserTest, WriteFrameStreamRefusesAWrongBlock) {
    const Bytes source = CommentBetweenFrames();
    GifParser parser(source);
    const FrameCut cut = *parser.CutNextFrame();
    Bytes small(cut.streamLength - 1), large(cut.streamLength + 1);
    EXPECT_FALSE(parser.WriteFrameStream(cut, small));
    EXPECT_FALSE(parser.WriteFrameStream(cut, large));
    FrameCut foreign = cut;
    foreign.start = 70;  // 24 bytes from here run past the 74-byte source
    Bytes out(foreign.streamLength, 0xEE);
    EXPECT_FALSE(parser.WriteFrameStream(foreign, out));
    EXPECT_EQ(out, Bytes(foreign.streamLength, 0xEE));
}

// --- The program's own pictures ---------------------------------------------------------------------------------

Bytes ReadArt(const std::string& name) {
    std::ifstream in(std::string(TARVISK_ART_DIR) + "/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(GifParserTest, ChartPicturesAreStillPictures) {
    const struct {
        const char* file;
        std::uint32_t width, height;
        std::uint32_t delay;
    } charts[] = {{"chart86.gif", 598, 166, 0}, {"chart98.gif", 598, 166, 0},
                  {"chart-ident.gif", 476, 186, core::kNoDelay}};
    for (const auto& chart : charts) {
        const Bytes source = ReadArt(chart.file);
        ASSERT_FALSE(source.empty()) << chart.file;
        GifParser parser(source);
        ASSERT_TRUE(parser.IsGif()) << chart.file;
        EXPECT_EQ(parser.ScreenWidth(), chart.width) << chart.file;
        EXPECT_EQ(parser.ScreenHeight(), chart.height) << chart.file;
        EXPECT_EQ(parser.CountFrames(), 1u) << chart.file;
        const auto cut = parser.CutNextFrame();
        ASSERT_TRUE(cut.has_value());
        EXPECT_EQ(cut->delay, chart.delay) << chart.file;
        EXPECT_EQ(cut->streamLength, source.size()) << chart.file << ": the one frame is the whole stream";
    }
}

TEST(GifParserTest, FrameWaits) {
    const std::pair<std::uint32_t, std::uint32_t> waits[] = {
        {0, 100}, {4, 100}, {5, 50}, {9, 90}, {10, 100}, {250, 2500}, {65535, 655350}, {core::kNoDelay, 100}};
    for (const auto& [delay, ms] : waits) EXPECT_EQ(core::FrameWaitMs(delay), ms) << delay;
}

}  // namespace
