// Dictionary lookup: the token scan over a dictionary file's bytes, and the per-lookup read of the file.
#include "core/DictionaryScan.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace core {
namespace {

// Exactly the bytes the C library's "%s" conversion skips in the "C" locale. The comparison is on bytes, never through
// isspace(), so a locale with its own idea of white space (or a negative char) cannot change where tokens end.
constexpr bool IsBreak(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The end of the token that starts at `start`: the next break, the end of the file, or the cap, in which case the rest
// of the run is the next token (what a width-limited "%s" read does).
const char* TokenEnd(const char* start, const char* end) {
    const char* const limit = static_cast<std::size_t>(end - start) > kTokenCap ? start + kTokenCap : end;
    const char* q = start + 1;
    while (q != limit && !IsBreak(*q)) ++q;
    return q;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// One read of the whole file. The size is taken first so the usual case is a single allocation and a single fread;
// a file that grows meanwhile is still read to its end. The size is only a hint: something that opens like a file but
// reports an absurd length (a directory on some file systems) is found out by the read failing.
bool ReadWholeFile(std::FILE* file, std::string& bytes) {
    constexpr long kLargestHint = 64L << 20;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        const long size = std::ftell(file);
        if (size > 0 && size <= kLargestHint) bytes.resize(static_cast<std::size_t>(size));
        std::rewind(file);
    }
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    char chunk[4096];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;) bytes.append(chunk, got);
    return std::ferror(file) == 0;
}

}  // namespace

LookupKey KeyFromInput(std::string_view inputBytes) {
    LookupKey key;
    if (!inputBytes.empty()) key.first = inputBytes[0];
    if (key.first != 0 && inputBytes.size() > 1) key.second = inputBytes[1];
    return key;
}

std::optional<std::string> FindToken(std::string_view fileBytes, LookupKey key) {
    // A token never holds a break, so a key starting with one (a blank typed into the box) matches nothing.
    if (key.first == 0 || IsBreak(key.first)) return std::nullopt;
    const char* const end = fileBytes.data() + fileBytes.size();
    // Jump from one occurrence of the key's first byte to the next instead of walking every token. Throughout, p is a
    // token start, a break or the end, so the token holding an occurrence can be found by looking back no further
    // than p; each byte is looked at a bounded number of times, whatever the file holds.
    const char* p = fileBytes.data();
    while (p != end) {
        const auto* hit = static_cast<const char*>(std::memchr(p, key.first, static_cast<std::size_t>(end - p)));
        if (!hit) break;
        const char* runStart = hit;
        while (runStart != p && !IsBreak(runStart[-1])) --runStart;
        // Within a run longer than the cap, tokens follow each other every kTokenCap bytes.
        const char* const tokenStart = runStart + (hit - runStart) / kTokenCap * kTokenCap;
        const char* const tokenEnd = TokenEnd(tokenStart, end);
        if (tokenStart == hit && (tokenEnd - hit > 1 ? hit[1] : '\0') == key.second) {
            // What a C string of the token shows: a damaged file's NUL byte ends it.
            const void* nul = std::memchr(hit, '\0', static_cast<std::size_t>(tokenEnd - hit));
            return std::string(hit, nul ? static_cast<const char*>(nul) : tokenEnd);
        }
        p = tokenEnd;
    }
    return std::nullopt;
}

LookupResult LookupInFile(const std::string& path, LookupKey key) {
    FileHandle file(std::fopen(path.c_str(), "rb"));
    std::string bytes;
    if (!file || !ReadWholeFile(file.get(), bytes)) return {LookupStatus::CannotOpen, {}};
    file.reset();
    if (auto token = FindToken(bytes, key)) return {LookupStatus::Found, std::move(*token)};
    return {LookupStatus::NotFound, {}};
}

bool IsRejectedInput(char firstByte) {
    return (firstByte >= 'a' && firstByte <= 'z') || (firstByte >= 'A' && firstByte <= 'Z') ||
           (firstByte >= '0' && firstByte <= '9');
}

const char* DictionaryFileForEdition(int edition) {
    switch (edition) {
        case 1: return "98.dll";
        case 0: return "86.dll";
        default: return "fm.dll";
    }
}

}  // namespace core
