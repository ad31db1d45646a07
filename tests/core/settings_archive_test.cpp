// Settings archive: the exact bytes written, a round trip, and how every kind of damage leaves the values.
#include "core/SettingsArchive.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

using core::ArchiveStatus;
using core::UserRecord;
using Bytes = std::vector<std::uint8_t>;

// What the window holds before a load; a decode must leave whatever it cannot read at these values.
constexpr UserRecord kPrior{7, 9, 0x1234, 0x0F};
// Custom hotkey Ctrl+Shift+Q, 98 edition.
constexpr UserRecord kStored{1, 1, 0x51, 0x03};

Bytes Encoded(const UserRecord& record) {
    auto bytes = core::EncodeArchive(record);
    return Bytes(bytes.begin(), bytes.end());
}

TEST(ArchiveTest, DefaultRecordBytes) {
    const Bytes expected{0x01, 0x00, 0xFF, 0xFF, 0x01, 0x00, 0x05, 0x00, 'C', 'U', 's', 'e', 'r',
                         0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(Encoded(UserRecord{}), expected);
}

TEST(ArchiveTest, FieldsAreLittleEndianAfterFraming) {
    const Bytes bytes = Encoded(UserRecord{-2, 0x01020304, 0x0A0B, 0x0C0D});
    EXPECT_EQ(Bytes(bytes.begin() + 13, bytes.end()),
              (Bytes{0xFE, 0xFF, 0xFF, 0xFF, 0x04, 0x03, 0x02, 0x01, 0x0B, 0x0A, 0x0D, 0x0C}));
}

TEST(ArchiveTest, RoundTrip) {
    for (const UserRecord& record : {UserRecord{}, kStored, UserRecord{-1, 2147483647, 0xFFFF, 0x0F},
                                     UserRecord{INT32_MIN, -1, 0x87, 0x0C}}) {
        UserRecord values = kPrior;
        EXPECT_EQ(core::DecodeArchive(Encoded(record), values), ArchiveStatus::Ok);
        EXPECT_EQ(values, record);
    }
}

TEST(ArchiveTest, EveryTruncationKeepsWhatWasNotReadWhole) {
    const Bytes whole = Encoded(kStored);
    for (std::size_t length = 0; length < core::kArchiveSize; ++length) {
        UserRecord values = kPrior;
        const auto status = core::DecodeArchive(std::span(whole.data(), length), values);
        EXPECT_EQ(status, length == 0 ? ArchiveStatus::Empty : ArchiveStatus::Truncated) << length;
        // Fields end at offsets 17, 21, 23 and 25.
        const UserRecord expected{length >= 17 ? kStored.hotkeyMode : kPrior.hotkeyMode,
                                  length >= 21 ? kStored.edition : kPrior.edition,
                                  length >= 23 ? kStored.hotkeyKey : kPrior.hotkeyKey, kPrior.hotkeyModifiers};
        EXPECT_EQ(values, expected) << length;
    }
}

struct DamageCase {
    const char* name;
    std::function<Bytes(Bytes)> damage;
    ArchiveStatus expected;
};

Bytes WithName(Bytes bytes, std::uint16_t length, std::string_view name) {
    bytes[6] = static_cast<std::uint8_t>(length);
    bytes[7] = static_cast<std::uint8_t>(length >> 8);
    bytes.erase(bytes.begin() + 8, bytes.begin() + 13);
    bytes.insert(bytes.begin() + 8, name.begin(), name.end());
    return bytes;
}

TEST(ArchiveTest, DamagedFramingChangesNothing) {
    const std::vector<DamageCase> cases{
        {"count zero", [](Bytes b) { b[0] = 0; return b; }, ArchiveStatus::NoElements},
        {"wide count zero", [](Bytes b) { b[0] = b[1] = 0xFF; b.insert(b.begin() + 2, {0, 0, 0, 0}); return b; },
         ArchiveStatus::NoElements},
        {"wide count cut", [](Bytes b) { b.assign({0xFF, 0xFF, 0x01, 0x00}); return b; }, ArchiveStatus::Truncated},
        {"class reference tag", [](Bytes b) { b[2] = 0x01; b[3] = 0x80; return b; }, ArchiveStatus::BadTag},
        {"null object tag", [](Bytes b) { b[2] = b[3] = 0; return b; }, ArchiveStatus::BadTag},
        {"wrong class name", [](Bytes b) { b[12] = 'x'; return b; }, ArchiveStatus::WrongClass},
        {"shorter name length", [](Bytes b) { return WithName(b, 4, "CUse"); }, ArchiveStatus::WrongClass},
        {"longer name length", [](Bytes b) { return WithName(b, 6, "CUsers"); }, ArchiveStatus::WrongClass},
        {"name length past end", [](Bytes b) { b[6] = b[7] = 0xFF; return b; }, ArchiveStatus::Truncated},
        {"wrong schema", [](Bytes b) { b[4] = 2; return b; }, ArchiveStatus::WrongSchema},
        {"wrong schema and class", [](Bytes b) { b[4] = 2; b[8] = 'D'; return b; }, ArchiveStatus::WrongClass},
    };
    for (const auto& c : cases) {
        UserRecord values = kPrior;
        EXPECT_EQ(core::DecodeArchive(c.damage(Encoded(kStored)), values), c.expected) << c.name;
        EXPECT_EQ(values, kPrior) << c.name;
    }
}

TEST(ArchiveTest, GeneralFormsAreAccepted) {
    const std::vector<std::pair<const char*, std::function<Bytes(Bytes)>>> cases{
        {"32-bit count", [](Bytes b) { b[0] = b[1] = 0xFF; b.insert(b.begin() + 2, {1, 0, 0, 0}); return b; }},
        {"64-bit count",
         [](Bytes b) {
             b[0] = b[1] = 0xFF;
             b.insert(b.begin() + 2, {0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 0, 0, 0, 0});
             return b;
         }},
        {"several elements", [](Bytes b) { b[0] = 3; b.insert(b.end(), {0x01, 0x80, 1, 0, 0, 0}); return b; }},
        {"trailing bytes", [](Bytes b) { b.push_back(0xAB); return b; }},
    };
    for (const auto& [name, form] : cases) {
        UserRecord values = kPrior;
        EXPECT_EQ(core::DecodeArchive(form(Encoded(kStored)), values), ArchiveStatus::Ok) << name;
        EXPECT_EQ(values, kStored) << name;
    }
}

TEST(ArchiveTest, StatusesHaveDistinctWords) {
    std::set<std::string> words;
    for (int s = 0; s <= static_cast<int>(ArchiveStatus::WrongSchema); ++s)
        words.insert(core::DescribeArchiveStatus(static_cast<ArchiveStatus>(s)));
    EXPECT_EQ(words.size(), 7u);
}

}  // namespace
