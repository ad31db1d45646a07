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

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// One read of the whole file. The size is taken first so the usual case is a single allocation and a single fread;
// a file that grows meanwhile is still read to its end. The size is only a hint: some things that open like a file
// (a directory on some file systems) report an absurd end, and are then found out by the read failing.
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
    if (key.first == 0) return std::nullopt;
    const char* p = fileBytes.data();
    const char* const end = p + fileBytes.size();
    while (p != end) {
        if (IsBreak(*p)) {
            ++p;
            continue;
        }
        // [p, q) is one token: it ends at a break, at the end of the file, or at the cap, in which case the rest of the
        // run starts the next token.
        const char* const limit = static_cast<std::size_t>(end - p) > kTokenCap ? p + kTokenCap : end;
        const char* q = p + 1;
        while (q != limit && !IsBreak(*q)) ++q;
        const char second = q - p > 1 ? p[1] : '\0';
        if (p[0] == key.first && second == key.second) {
            const void* nul = std::memchr(p, '\0', static_cast<std::size_t>(q - p));
            return std::string(p, nul ? static_cast<const char*>(nul) : q);
        }
        p = q;
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
