// Dictionary lookup: the token scan over a dictionary file's bytes, whole or as they arrive block by block, and the
// per-lookup read of the file.
#include "core/DictionaryScan.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

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

// The key a token is found by: its byte 0, and its byte 1 or, for a one-byte token, the NUL that ends it in a C buffer.
LookupKey KeyOfToken(const char* start, const char* end) {
    return {start[0], end - start > 1 ? start[1] : '\0'};
}

// What a C string of the token shows: a damaged file's NUL byte ends it.
std::string_view ShownText(const char* start, const char* end) {
    const void* nul = std::memchr(start, '\0', static_cast<std::size_t>(end - start));
    return {start, static_cast<std::size_t>((nul ? static_cast<const char*>(nul) : end) - start)};
}

// Where a scan of a stretch of the file ended.
struct ScanStep {
    enum Outcome { Found, NotFound, NeedMore } outcome;
    const char* tokenStart = nullptr;  // Found: the matching token is [tokenStart, tokenEnd)
    const char* tokenEnd = nullptr;
    const char* resume = nullptr;      // NeedMore: everything before it is decided, and it is a token boundary
};

// Scans [from, end) for the key. `from` is a token boundary (a token start, a break or the end). When `complete` is
// false, more of the file may follow `end`, so a token that reaches `end` is not yet known whole: the scan stops there
// and asks for more.
ScanStep Scan(const char* from, const char* end, LookupKey key, bool complete) {
    // A token never holds a break, so a key starting with one (a blank typed into the box) matches nothing.
    if (key.first == 0 || IsBreak(key.first)) return {ScanStep::NotFound};
    // Jump from one occurrence of the key's first byte to the next instead of walking every token. Throughout, p is a
    // token start, a break or the end, so the token holding an occurrence can be found by looking back no further
    // than p; each byte is looked at a bounded number of times, whatever the file holds.
    const char* p = from;
    while (p != end) {
        const auto* hit = static_cast<const char*>(std::memchr(p, key.first, static_cast<std::size_t>(end - p)));
        if (!hit) break;
        const char* runStart = hit;
        while (runStart != p && !IsBreak(runStart[-1])) --runStart;
        // Within a run longer than the cap, tokens follow each other every kTokenCap bytes.
        const char* const tokenStart = runStart + (hit - runStart) / kTokenCap * kTokenCap;
        const char* const tokenEnd = TokenEnd(tokenStart, end);
        if (!complete && tokenEnd == end && static_cast<std::size_t>(tokenEnd - tokenStart) < kTokenCap)
            return {ScanStep::NeedMore, nullptr, nullptr, tokenStart};
        if (tokenStart == hit && KeyOfToken(tokenStart, tokenEnd).second == key.second)
            return {ScanStep::Found, tokenStart, tokenEnd};
        p = tokenEnd;
    }
    if (complete) return {ScanStep::NotFound};
    // The last token may go on past the end: resume at its start (a multiple of the cap into its run).
    const char* runStart = end;
    while (runStart != p && !IsBreak(runStart[-1])) --runStart;
    return {ScanStep::NeedMore, nullptr, nullptr, runStart + (end - runStart) / kTokenCap * kTokenCap};
}

// Block sizes: the first is small, since the files list the most frequent characters first and most lookups end
// there; each later one is larger, up to the largest, so a scan to the end of a file takes few reads.
constexpr std::size_t kFirstBlock = 4096;
constexpr std::size_t kBlockGrowth = 4;
constexpr std::size_t kLargestBlock = 64 * 1024;

// A file opened for reading with the C runtime's lowest-level calls, so that a lookup that ends in its first block
// costs little more than opening the file: a stream's buffer and bookkeeping added about 0.5 us to the 4-5 us of
// open, read and close (measured natively).
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::string& path) {
#ifdef _WIN32
        fd_ = _open(path.c_str(), _O_RDONLY | _O_BINARY);
#else
        fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC);
#endif
        openError_ = fd_ < 0 ? errno : 0;
    }
    ~ReadOnlyFile() {
#ifdef _WIN32
        if (fd_ >= 0) _close(fd_);
#else
        if (fd_ >= 0) close(fd_);
#endif
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    // There is no file of that name (rather than one that cannot be opened).
    bool IsMissing() const { return openError_ == ENOENT || openError_ == ENOTDIR; }
    // Bytes read into `buffer` (0 at the end), or -1 when the read failed.
    long Read(char* buffer, std::size_t size) const {
        for (;;) {
#ifdef _WIN32
            const long got = _read(fd_, buffer, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
#else
            const long got = static_cast<long>(read(fd_, buffer, size));
#endif
            if (got >= 0 || errno != EINTR) return got;
        }
    }

private:
    int fd_ = -1;
    int openError_ = 0;
};

}  // namespace

LookupKey KeyFromInput(std::string_view inputBytes) {
    LookupKey key;
    if (!inputBytes.empty()) key.first = inputBytes[0];
    if (key.first != 0 && inputBytes.size() > 1) key.second = inputBytes[1];
    return key;
}

std::optional<std::string> FindToken(std::string_view fileBytes, LookupKey key) {
    const char* const begin = fileBytes.data();
    const ScanStep step = Scan(begin, begin + fileBytes.size(), key, true);
    if (step.outcome != ScanStep::Found) return std::nullopt;
    return std::string(ShownText(step.tokenStart, step.tokenEnd));
}

std::optional<std::string> FindTokenInBlocks(const BlockReader& read, LookupKey key) {
    // The buffer holds the undecided tail of the last block (less than one token) and then the new block. The first
    // block goes on the stack: most lookups end there, and then they allocate nothing.
    char firstBlock[kFirstBlock];
    std::unique_ptr<char[]> larger;
    char* buffer = firstBlock;
    std::size_t capacity = sizeof firstBlock, kept = 0, block = kFirstBlock;
    for (;;) {
        if (capacity < kept + block) {
            auto grown = std::make_unique_for_overwrite<char[]>(kept + block);
            std::memcpy(grown.get(), buffer, kept);
            larger = std::move(grown);
            buffer = larger.get();
            capacity = kept + block;
        }
        const std::size_t got = read(buffer + kept, block);
        const char* const end = buffer + kept + got;
        const ScanStep step = Scan(buffer, end, key, got == 0);
        if (step.outcome == ScanStep::Found) return std::string(ShownText(step.tokenStart, step.tokenEnd));
        if (step.outcome == ScanStep::NotFound) return std::nullopt;
        kept = static_cast<std::size_t>(end - step.resume);
        std::memmove(buffer, step.resume, kept);
        block = std::min(block * kBlockGrowth, kLargestBlock);
    }
}

void ForEachToken(std::string_view fileBytes, const std::function<void(LookupKey key, std::string_view shown)>& visit) {
    const char* p = fileBytes.data();
    const char* const end = p + fileBytes.size();
    for (;;) {
        while (p != end && IsBreak(*p)) ++p;
        if (p == end) return;
        const char* const tokenEnd = TokenEnd(p, end);
        // The scan never matches a key whose first byte is NUL (that is an empty input box).
        if (*p != '\0') visit(KeyOfToken(p, tokenEnd), ShownText(p, tokenEnd));
        p = tokenEnd;
    }
}

LookupResult LookupInFile(const std::string& path, LookupKey key) {
    const ReadOnlyFile file(path);
    if (!file.IsOpen()) return {file.IsMissing() ? LookupStatus::Missing : LookupStatus::Unreadable, {}};
    bool failed = false, sawText = false, sawNul = false;
    std::optional<std::string> token = FindTokenInBlocks(
        [&](char* buffer, std::size_t size) -> std::size_t {
            const long got = file.Read(buffer, size);
            failed = got < 0;
            if (failed) return 0;
            const auto n = static_cast<std::size_t>(got);
            sawNul = sawNul || std::memchr(buffer, '\0', n) != nullptr;
            sawText = sawText || std::find_if_not(buffer, buffer + n, IsBreak) != buffer + n;
            return n;
        },
        key);
    if (failed) return {LookupStatus::Unreadable, {}};
    if (sawNul) return {LookupStatus::NotText, {}};
    if (token) return {LookupStatus::Found, std::move(*token)};
    // A miss reads the whole file, unless the key can match nothing; then only the first block tells.
    return {sawText ? LookupStatus::NotFound : LookupStatus::Empty, {}};
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
