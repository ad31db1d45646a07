// Fuzz target of the settings file reader: any bytes as "user.ini" (at most what the program reads of it). Beyond the
// sanitizers' checks, it holds the reader to what the program relies on when a file is damaged:
// - a field is taken only whole and in the record's order, and every field not taken keeps the value it had;
// - Ok means all four were taken, and a file that begins like the program's own gives back exactly its bytes;
// - the reader looks no further than it needs: over the file's prefixes, shortest first, a judgement once made
//   stays, and a field once taken keeps its value;
// - whatever comes out is written as 25 bytes that read back as the same values.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "core/SettingsArchive.h"

namespace {

using core::ArchiveStatus;
using core::UserRecord;

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

// Two starting points that differ in every field, so a field left alone can be told from one that was read.
constexpr UserRecord kFirst{0x11111111, 0x22222222, 0x3333, 0x4444};
constexpr UserRecord kSecond{-7, -9, 0xBBBB, 0xCCCC};

struct Decoded {
    ArchiveStatus status;
    UserRecord values;
    std::array<bool, 4> taken;  // mode, edition, key, modifiers
};

Decoded Decode(std::span<const std::uint8_t> bytes) {
    UserRecord a = kFirst, b = kSecond;
    const ArchiveStatus status = core::DecodeArchive(bytes, a);
    Require(core::DecodeArchive(bytes, b) == status);
    const std::array<bool, 4> taken{a.hotkeyMode == b.hotkeyMode, a.edition == b.edition, a.hotkeyKey == b.hotkeyKey,
                                    a.hotkeyModifiers == b.hotkeyModifiers};
    // Not taken: still the starting value in both.
    Require(taken[0] || (a.hotkeyMode == kFirst.hotkeyMode && b.hotkeyMode == kSecond.hotkeyMode));
    Require(taken[1] || (a.edition == kFirst.edition && b.edition == kSecond.edition));
    Require(taken[2] || (a.hotkeyKey == kFirst.hotkeyKey && b.hotkeyKey == kSecond.hotkeyKey));
    Require(taken[3] || (a.hotkeyModifiers == kFirst.hotkeyModifiers && b.hotkeyModifiers == kSecond.hotkeyModifiers));
    // In order: a field is taken only after every earlier one.
    for (std::size_t i = 1; i < taken.size(); ++i) Require(!taken[i] || taken[i - 1]);
    const bool all = taken[0] && taken[1] && taken[2] && taken[3];
    Require((status == ArchiveStatus::Ok) == all);
    Require(status == ArchiveStatus::Ok || status == ArchiveStatus::Truncated || !taken[0]);
    return {status, a, taken};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const Decoded first = Decode(bytes);
    Require((first.status == ArchiveStatus::Empty) == (size == 0));

    const auto written = core::EncodeArchive(first.values);
    if (first.status == ArchiveStatus::Ok && size >= core::kArchiveSize &&
        std::memcmp(data, written.data(), 13) == 0)
        Require(std::memcmp(data, written.data(), core::kArchiveSize) == 0);
    UserRecord reread = kSecond;
    Require(core::DecodeArchive(written, reread) == ArchiveStatus::Ok && reread == first.values);

    // Every prefix of the file, shortest first: once the reader has judged a prefix (anything but cut short), longer
    // ones are judged the same; a field taken from a cut prefix stays taken with the same value.
    Decoded shorter = Decode(bytes.first(0));
    for (std::size_t length = 1; length <= size; ++length) {
        const Decoded longer = Decode(bytes.first(length));
        if (shorter.status != ArchiveStatus::Truncated && shorter.status != ArchiveStatus::Empty) {
            Require(longer.status == shorter.status && longer.taken == shorter.taken);
            if (shorter.status == ArchiveStatus::Ok) Require(longer.values == shorter.values);
        }
        for (std::size_t i = 0; i < shorter.taken.size(); ++i) Require(!shorter.taken[i] || longer.taken[i]);
        Require(!shorter.taken[0] || longer.values.hotkeyMode == shorter.values.hotkeyMode);
        Require(!shorter.taken[1] || longer.values.edition == shorter.values.edition);
        Require(!shorter.taken[2] || longer.values.hotkeyKey == shorter.values.hotkeyKey);
        shorter = longer;
    }
    Require(shorter.status == first.status);
    return 0;
}
