// The link label's rules that need no window: the command line of its fallback browser, built in a fixed buffer,
// and the box that fits the label to its text.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "core/IconLayout.h"

namespace core {

// A zero-terminated text of at most 519 bytes. Every write checks the room first and refuses a text that does not fit
// whole, so nothing is ever written past the end and nothing is silently cut.
class CommandBuffer {
public:
    static constexpr std::size_t kCapacity = 520;  // bytes, the terminating zero included

    bool Assign(std::string_view text);
    bool Append(std::string_view text);
    // Keeps the first `length` bytes (no change when the text is shorter).
    void Truncate(std::size_t length);

    std::string_view View() const { return {bytes_.data(), size_}; }
    const char* CStr() const { return bytes_.data(); }
    std::size_t Size() const { return size_; }

private:
    std::array<char, kCapacity> bytes_{};
    std::size_t size_ = 0;
};

// Longest registry value the fallback accepts, in bytes without the terminating zero (a MAX_PATH read buffer).
inline constexpr std::size_t kClassValueLimit = 259;

// Turns the registered open command of web pages into the command that opens `target`: the command is cut at its
// placeholder (at the opening quote of a quoted "%1", else at a bare %1, else kept whole; whatever followed the
// placeholder is dropped), then a blank and the target are appended. False, with the buffer left as it was, when the
// result does not fit: a command cut short would open some other address.
bool AppendTarget(CommandBuffer& command, std::string_view target);

enum class HorizontalFit { Left, Centre, Right };

// The box of a label fitted to its measured text. Left keeps the left edge, Right the right edge, Centre shrinks (or
// grows) both sides alike; vertically the top is kept, or with `centreVertically` both sides move alike. Each side of a
// centred fit moves by half the difference, truncated toward zero.
Box FitToText(const Box& box, HorizontalFit horizontal, bool centreVertically, int textWidth, int textHeight);

}  // namespace core
