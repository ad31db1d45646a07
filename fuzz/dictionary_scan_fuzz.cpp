// Fuzz target of the dictionary scan: any file bytes, any key. The shipped scan jumps from one occurrence of the key's
// first byte to the next and, in blocks, resumes in the middle of the file; here it must agree with the plainest
// reading there is (walk every token from the start, cut at the cap, compare two bytes), over the whole buffer and
// over the same bytes served in short reads of fuzzer-chosen sizes; so must the in-memory index of the whole file. It
// must also stop reading once the answer is known, and never read again after the end.
//
// Input: byte 0 chooses how the key is taken (bit 0: from the file at a position, else bytes 1 and 2 as given) and
// seeds the sizes of the short reads; bytes 1 and 2 are the key or the position; the rest is the file.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "core/DictionaryIndex.h"
#include "core/DictionaryScan.h"

namespace {

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

bool IsBreak(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

struct Match {
    std::string shown;
    std::size_t end;       // offset just past the token
    bool needsNextByte;    // the token is known whole only once the byte at `end` (or the end of the file) is seen
};

// Token by token from the start: skip breaks, take up to kTokenCap non-break bytes, compare byte 0 and byte 1 (the
// terminating NUL for a one-byte token), show up to the first NUL.
std::optional<Match> Reference(std::string_view file, core::LookupKey key) {
    if (key.first == 0) return std::nullopt;
    std::size_t i = 0;
    for (;;) {
        while (i < file.size() && IsBreak(file[i])) ++i;
        if (i == file.size()) return std::nullopt;
        const std::size_t start = i;
        while (i < file.size() && i - start < core::kTokenCap && !IsBreak(file[i])) ++i;
        const std::string_view token = file.substr(start, i - start);
        const char second = token.size() > 1 ? token[1] : '\0';
        if (token[0] == key.first && second == key.second)
            return Match{std::string(token.substr(0, token.find('\0'))), i, token.size() < core::kTokenCap};
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const auto* bytes = reinterpret_cast<const char*>(data);
    const std::string_view file(bytes + 3, size - 3);
    core::LookupKey key{bytes[1], bytes[2]};
    if ((data[0] & 1) && !file.empty()) {
        // A key that occurs in the file, so that matches (and near misses) are common.
        const std::size_t at = (std::size_t{data[1]} << 8 | data[2]) % file.size();
        key = core::KeyFromInput(file.substr(at, 2));
    }

    const std::optional<Match> expected = Reference(file, key);
    const std::optional<std::string> expectedShown = expected ? std::optional(expected->shown) : std::nullopt;
    Require(core::FindToken(file, key) == expectedShown);
    // The command-line lookup's index of the whole file answers the same.
    const core::DictionaryIndex index(file);
    const std::optional<std::string_view> indexed = index.Find(key);
    Require(indexed.has_value() == expected.has_value() && (!indexed || *indexed == expected->shown));

    // The same bytes in short reads: sizes from a small generator seeded by the input, at most what is asked for.
    std::uint32_t state = data[0] * 2654435761u + 1;
    std::size_t served = 0, reads = 0, lastAsked = 0;
    bool ended = false;
    const auto read = [&](char* buffer, std::size_t asked) -> std::size_t {
        Require(!ended && asked > 0);
        // Once the match is known whole, there must be no further read.
        if (expected) Require(served < expected->end + (expected->needsNextByte ? 1 : 0));
        ++reads;
        lastAsked = asked;
        state = state * 1103515245u + 12345u;
        const std::size_t piece = (state >> 16) % 3 == 0 ? asked : 1 + (state >> 8) % std::min<std::size_t>(asked, 300);
        const std::size_t n = std::min(piece, file.size() - served);
        std::memcpy(buffer, file.data() + served, n);
        served += n;
        ended = n == 0;
        return n;
    };
    Require(core::FindTokenInBlocks(read, key) == expectedShown);
    // A key that can match nothing (empty, or a break) may end the scan at once; any other miss reads the whole file,
    // up to the read that returns 0.
    if (!expected && key.first != 0 && !IsBreak(key.first)) Require(ended && served == file.size());
    Require(reads > 0 && lastAsked <= 64 * 1024);
    return 0;
}
