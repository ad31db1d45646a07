// The in-memory dictionary against the window's lookup: for every key, the same token or the same absence.
#include "core/DictionaryIndex.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

using core::DictionaryIndex;
using core::LookupKey;

std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

LookupKey KeyOf(unsigned first, unsigned second) {
    return {static_cast<char>(first), static_cast<char>(second)};
}

// What the window shows for a character, and what the command-line lookup answers from memory, for every GBK
// double-byte code, on each of the files the program ships.
class ShippedFileTest : public testing::TestWithParam<const char*> {};

TEST_P(ShippedFileTest, AnswersAsTheWindowsLookupForEveryGbkCharacter) {
    const std::string path = std::string(TARVISK_DATA_DIR) + "/" + GetParam();
    const std::string bytes = ReadBytes(path);
    ASSERT_FALSE(bytes.empty()) << path;
    const DictionaryIndex index(bytes);
    std::size_t found = 0, compared = 0;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            const LookupKey key = KeyOf(lead, trail);
            const core::LookupResult window = core::LookupInFile(path, key);
            ASSERT_TRUE(window.status == core::LookupStatus::Found || window.status == core::LookupStatus::NotFound)
                << path;
            const auto answer = index.Find(key);
            ASSERT_EQ(answer.has_value(), window.status == core::LookupStatus::Found) << std::hex << lead << trail;
            if (answer) {
                EXPECT_EQ(*answer, window.token) << std::hex << lead << trail;
            }
            found += answer.has_value();
            ++compared;
        }
    }
    EXPECT_EQ(compared, 126u * 190u);
    EXPECT_EQ(found, index.Size()) << "every key the file holds is a GBK character";
    EXPECT_GT(found, 14000u);
}

INSTANTIATE_TEST_SUITE_P(DictionaryIndex, ShippedFileTest, testing::Values("86.dll", "98.dll", "fm.dll", "py.dll"),
                         [](const testing::TestParamInfo<const char*>& param) {
                             return std::string(param.param).substr(0, 2);
                         });

// A damaged file, where the reading rules decide what is found: repeated keys, runs longer than the token cap, NUL
// bytes, one-byte tokens, every kind of white space, and a last token with no line end after it.
TEST(DictionaryIndexTest, DividesADamagedFileExactlyAsTheScanDoes) {
    std::string file = "\xB0\xA1" "first\r\n\xB0\xA1" "second\n";
    file += std::string(core::kTokenCap + 3, 'x') + "\xB0\xA2" "tail " + std::string(2 * core::kTokenCap, 'y');
    file += std::string("\0ab \xB0\xA3\0cd !\t!? \v\f\x80\x80q", 21);
    file += " a" + std::string(1, '\0') + "z \xB0\xA4" "last";
    const DictionaryIndex index(file);
    for (unsigned first = 0; first <= 0xFF; ++first) {
        for (unsigned second = 0; second <= 0xFF; ++second) {
            const LookupKey key = KeyOf(first, second);
            const auto expected = core::FindToken(file, key);
            const auto answer = index.Find(key);
            ASSERT_EQ(answer.has_value(), expected.has_value()) << std::hex << first << " " << second;
            if (answer) {
                EXPECT_EQ(*answer, *expected) << std::hex << first << " " << second;
            }
        }
    }
    EXPECT_EQ(index.Find(core::KeyFromInput("\xB0\xA1")), "\xB0\xA1" "first");
    EXPECT_EQ(index.Find(core::KeyFromInput("\xB0\xA4")), "\xB0\xA4" "last");
}

}  // namespace
