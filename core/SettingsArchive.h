// The settings file "user.ini": an object archive holding an array with one serialised CUser record (hotkey mode,
// edition, hotkey key and modifiers). Written as exactly 25 little-endian bytes; read leniently, since a damaged or
// foreign file must never stop the program from starting.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace core {

struct UserRecord {
    std::int32_t hotkeyMode = 0;
    std::int32_t edition = 0;
    std::uint16_t hotkeyKey = 0;
    std::uint16_t hotkeyModifiers = 0;

    friend bool operator==(const UserRecord&, const UserRecord&) = default;
};

inline constexpr std::size_t kArchiveSize = 25;

std::array<std::uint8_t, kArchiveSize> EncodeArchive(const UserRecord& record);

enum class ArchiveStatus { Ok, Empty, Truncated, NoElements, BadTag, WrongClass, WrongSchema };

// Applies what can be read onto `values`: a field is overwritten only when it was read whole from a file whose framing
// is valid; everything else keeps the value it had. Accepts the general count form (0xFFFF then a 32-bit count, and
// 0xFFFFFFFF then a 64-bit count as 64-bit writers use) and more than one element (only the first matters).
ArchiveStatus DecodeArchive(std::span<const std::uint8_t> bytes, UserRecord& values);

// Short English words for logs and tests only.
const char* DescribeArchiveStatus(ArchiveStatus status);

}  // namespace core
