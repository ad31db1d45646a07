// Dictionary scan: file-format edge cases, the per-lookup file read in blocks, and a differential check against the C
// library's own token-by-token reading of the same bytes, whole and in blocks of random sizes.
#include "core/DictionaryScan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using core::FindToken;
using core::LookupKey;

// Three GBK characters: 啊 阿 埃.
const std::string kA = "\xB0\xA1", kB = "\xB0\xA2", kC = "\xB0\xA3";

LookupKey Key(const std::string& two) { return core::KeyFromInput(two); }

struct ScanCase {
    const char* name;
    std::string file;
    LookupKey key;
    std::optional<std::string> expected;
};

std::vector<ScanCase> ScanCases() {
    const std::string run1000(1000, 'x');
    std::string pieceStart = std::string(core::kTokenCap, 'y') + kA + "tail";
    return {
        {"LastTokenWithoutTrailingBreak", kA + "aa\r\n" + kB + "bb", Key(kB), kB + "bb"},
        {"LastTokenFollowedByBreak", kA + "aa\r\n" + kB + "bb\r\n", Key(kB), kB + "bb"},
        {"FirstOfDuplicatesWins", kA + "first\n" + kA + "second", Key(kA), kA + "first"},
        {"BothKeyBytesMustMatch", kB + "q " + kA + "r", Key(kA), kA + "r"},
        {"OneByteKeyMatchesOneByteToken", "!a !", Key("!"), "!"},
        {"OneByteKeyIgnoresLongerTokens", "!a !bc", Key("!"), std::nullopt},
        {"TwoByteKeyIgnoresOneByteToken", "! !a", Key("!a"), "!a"},
        {"EmptyKeyMatchesNothing", std::string("\0\0 \0", 4), Key(""), std::nullopt},
        {"SevenByteToken", kA + "abcde", Key(kA), kA + "abcde"},
        {"EightByteTokenReadWhole", kB + "abcdef\n", Key(kB), kB + "abcdef"},
        {"LongTokenCutAtCap", run1000, Key("xx"), std::string(core::kTokenCap, 'x')},
        {"LongRunContinuesAsNextToken", pieceStart, Key(kA), kA + "tail"},
        {"EmbeddedNulEndsShownText", std::string("!\0x", 3), Key("!"), "!"},
        {"EmptyFile", "", Key(kA), std::nullopt},
        {"OnlyWhiteSpace", " \t\n\v\f\r", Key(kA), std::nullopt},
        {"SeveralTokensPerLine", kA + "a " + kB + "b\t" + kC + "c\n", Key(kC), kC + "c"},
        {"CrLfNotPartOfToken", kA + "aa\r\n" + kB + "bb\r\n" + kC + "cc\r\n", Key(kB), kB + "bb"},
        {"NotPresent", kA + "aa\n" + kB + "bb\n", Key(kC), std::nullopt},
    };
}

void PrintTo(const ScanCase& c, std::ostream* out) { *out << c.name; }

class ScanTest : public testing::TestWithParam<ScanCase> {};

TEST_P(ScanTest, FindsExpectedToken) {
    const ScanCase& c = GetParam();
    EXPECT_EQ(FindToken(c.file, c.key), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Dictionary, ScanTest, testing::ValuesIn(ScanCases()),
                         [](const testing::TestParamInfo<ScanCase>& param) { return param.param.name; });

TEST(ScanTest, EachWhiteSpaceByteSeparates) {
    for (char separator : {' ', '\t', '\n', '\v', '\f', '\r'}) {
        const std::string file = kA + "aa" + separator + kB + "bb";
        EXPECT_EQ(FindToken(file, Key(kA)), kA + "aa") << int(separator);
        EXPECT_EQ(FindToken(file, Key(kB)), kB + "bb") << int(separator);
    }
}

TEST(InputTest, KeyAndRejection) {
    EXPECT_EQ(Key("").first, 0);
    EXPECT_EQ(Key("!").second, 0);
    const LookupKey two = Key(kA + kB);
    EXPECT_EQ(std::string({two.first, two.second}), kA);
    for (char c : {'a', 'z', 'A', 'Z', '0', '9'}) EXPECT_TRUE(core::IsRejectedInput(c)) << c;
    for (char c : {'!', ' ', '@', '[', '`', '{', '\0', '\xB0', '\x80', '\xFF'}) EXPECT_FALSE(core::IsRejectedInput(c)) << int(c);
    EXPECT_STREQ(core::DictionaryFileForEdition(0), "86.dll");
    EXPECT_STREQ(core::DictionaryFileForEdition(1), "98.dll");
    for (int edition : {2, -1, 3}) EXPECT_STREQ(core::DictionaryFileForEdition(edition), "fm.dll");
}

class LookupFileTest : public testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() / ("tarvisk-core-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Write(const std::string& name, const std::string& bytes) {
        const auto path = dir_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
    std::filesystem::path dir_;
};

TEST_F(LookupFileTest, ReadsTheFileAfreshEachTime) {
    const std::string path = Write("86.dll", kA + "bskg\r\n" + kB + "bs\r\n");
    auto result = core::LookupInFile(path, Key(kB));
    EXPECT_EQ(result.status, core::LookupStatus::Found);
    EXPECT_EQ(result.token, kB + "bs");
    EXPECT_EQ(core::LookupInFile(path, Key(kC)).status, core::LookupStatus::NotFound);

    Write("86.dll", kC + "bu");
    result = core::LookupInFile(path, Key(kC));
    EXPECT_EQ(result.status, core::LookupStatus::Found);
    EXPECT_EQ(result.token, kC + "bu");
}

// The file is read in blocks of growing size: matches on either side of the block boundaries, in a file that grows
// to many blocks and shrinks again between lookups.
TEST_F(LookupFileTest, FindsTokensAcrossBlockBoundariesAsTheFileChangesLength) {
    // Sixteen-byte lines "XYabcdefghijkl\r\n" with distinct keys (no NUL byte), so every offset is known.
    auto line = [](unsigned i) {
        return std::string{static_cast<char>(0x81 + i / 190), static_cast<char>(0x40 + i % 190)} + "abcdefghijkl\r\n";
    };
    auto keyOf = [&](unsigned i) { return Key(line(i).substr(0, 2)); };
    std::string big;
    for (unsigned i = 0; i < 20000; ++i) big += line(i);  // 320,000 bytes
    const std::string path = Write("86.dll", big);
    // Tokens on either side of 4096 (the first block) and of 4096 + 16384, lines wholly inside later blocks, the last.
    for (unsigned i : {0u, 255u, 256u, 1279u, 1280u, 10000u, 19999u}) {
        const auto result = core::LookupInFile(path, keyOf(i));
        EXPECT_EQ(result.status, core::LookupStatus::Found) << i;
        EXPECT_EQ(result.token, line(i).substr(0, 14)) << i;
    }
    Write("86.dll", big.substr(0, 4096 + 3));  // ends inside a token, without a break
    EXPECT_EQ(core::LookupInFile(path, keyOf(256)).token, line(256).substr(0, 3));
    EXPECT_EQ(core::LookupInFile(path, keyOf(10000)).status, core::LookupStatus::NotFound);
}

// Files no dictionary should be: each says what is wrong with it, for a character it holds (啊), one it does not
// and an empty box.
TEST_F(LookupFileTest, AFileThatIsNoDictionarySaysWhy) {
    using enum core::LookupStatus;
    std::filesystem::create_directories(dir_ / "folder.dll");
    std::string utf16;
    for (char c : std::string("\xFF\xFE") + kA + "ab cd\r\n") utf16 += std::string{c, '\0'};
    struct Row {
        const char* name;
        std::optional<std::string> bytes;  // nullopt: no file of that name is written
        core::LookupStatus held, absent, emptyBox;
    } rows[] = {
        {"missing", std::nullopt, Missing, Missing, Missing},
        {"folder.dll", std::nullopt, Unreadable, Unreadable, Unreadable},
        {"empty", "", Empty, Empty, Empty},
        {"blanks", std::string(9000, ' ') + "\r\n\t", Empty, Empty, Empty},
        {"binary", std::string("\x7F" "ELF\x02\x01\x01\0\0\0", 10) + kA, NotText, NotText, NotText},
        {"utf16", utf16, NotText, NotText, NotText},
        // Only what a lookup reads counts: a match in the first block is found before a NUL further on is seen.
        {"nul after the first block", kA + "aa\n" + std::string(8000, 'x') + '\0', Found, NotText, NotFound},
    };
    for (const Row& row : rows) {
        const std::string path = row.bytes ? Write(row.name, *row.bytes) : (dir_ / row.name).string();
        EXPECT_EQ(core::LookupInFile(path, Key(kA)).status, row.held) << row.name;
        EXPECT_EQ(core::LookupInFile(path, Key(kB)).status, row.absent) << row.name;
        EXPECT_EQ(core::LookupInFile(path, Key("")).status, row.emptyBox) << row.name;
    }
}

// The reading the scan must reproduce: test for end of file, then read one token with a width-limited "%s", then
// compare the buffer's first two bytes, whatever the read returned.
std::optional<std::string> ReferenceScan(const std::string& bytes, LookupKey key) {
    if (key.first == 0) return std::nullopt;
    std::FILE* file = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
    char format[16];
    std::snprintf(format, sizeof format, "%%%zus", core::kTokenCap);
    char token[core::kTokenCap + 1] = {};
    std::optional<std::string> found;
    while (!std::feof(file)) {
        [[maybe_unused]] int converted = std::fscanf(file, format, token);
        if (token[0] == key.first && token[1] == key.second) {
            found = std::string(token);
            break;
        }
    }
    std::fclose(file);
    return found;
}

// Serves `bytes` in pieces of random size (at most what is asked for), like a file whose reads return short.
core::BlockReader RandomBlocks(const std::string& bytes, std::mt19937& random) {
    auto offset = std::make_shared<std::size_t>(0);
    const std::size_t largest = 1 + random() % 700;
    return [&bytes, &random, offset, largest](char* buffer, std::size_t size) {
        const std::size_t left = bytes.size() - *offset;
        const std::size_t n = std::min({size, left, 1 + random() % largest});
        std::memcpy(buffer, bytes.data() + *offset, n);
        *offset += n;
        return n;
    };
}

TEST(ScanDifferentialTest, AgreesWithFscanfOnRandomFiles) {
    std::mt19937 random(20231);
    // Few distinct bytes, so that keys match often and matches collide with duplicates, NULs and cut runs.
    const std::string alphabet("ab\xB0\xA1\x00 \t\n\v\f\r", 11);
    const std::string runBytes("ab\xB0\xA1\x00", 5);
    const std::string keyBytes("ab\xB0\xA1\x00 ", 6);
    auto pick = [&](const std::string& from) { return from[random() % from.size()]; };
    for (int round = 0; round < 4000; ++round) {
        std::string file;
        const int pieces = static_cast<int>(random() % 40);
        for (int i = 0; i < pieces; ++i) {
            if (random() % 25 == 0) {
                // A run near or beyond the cap, to exercise how an over-long token is cut and continued.
                for (auto n = core::kTokenCap - 2 + random() % 300; n > 0; --n) file += pick(runBytes);
            } else {
                file += pick(alphabet);
            }
        }
        const LookupKey key{pick(keyBytes), pick(keyBytes)};
        const std::optional<std::string> expected = ReferenceScan(file, key);
        ASSERT_EQ(FindToken(file, key), expected)
            << "round " << round << " key " << int(key.first) << "," << int(key.second) << " size " << file.size();
        ASSERT_EQ(core::FindTokenInBlocks(RandomBlocks(file, random), key), expected)
            << "in blocks, round " << round << " key " << int(key.first) << "," << int(key.second);
    }
}

}  // namespace
