// Fuzz target of the GIF block walker: any bytes, walked block by block, counted and cut. Beyond the sanitizers'
// checks of every read, it holds the walker to what the picture window relies on: as many cuts as counted frames,
// every cut inside the data, and every cut stream a GIF of exactly one frame whose own cut is itself.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/GifParser.h"

namespace {

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    core::GifParser parser(bytes);
    if (!parser.IsGif()) return 0;
    (void)parser.ScreenWidth();
    (void)parser.ScreenHeight();

    // Block by block, as far as the blocks fit.
    while (parser.AdvanceBlock()) Require(parser.Offset() <= size);
    (void)parser.BlockSize();

    const std::size_t frames = parser.CountFrames();
    std::size_t cuts = 0;
    while (auto cut = parser.CutNextFrame()) {
        ++cuts;
        Require(cut->start >= parser.BlockStart() && cut->start + cut->length == parser.Offset());
        Require(parser.Offset() <= size && cut->streamLength == parser.BlockStart() + cut->length + 1);
        std::vector<std::uint8_t> stream(cut->streamLength);
        Require(parser.WriteFrameStream(*cut, stream));
        Require(stream.back() == 0x3B);

        core::GifParser single(stream);
        Require(single.IsGif() && single.CountFrames() == 1);
        auto again = single.CutNextFrame();
        Require(again && again->length == cut->length && again->delay == cut->delay);
        std::vector<std::uint8_t> restream(again->streamLength);
        Require(single.WriteFrameStream(*again, restream) && restream == stream);
        (void)core::FrameWaitMs(cut->delay);
    }
    Require(cuts == frames);
    return 0;
}
