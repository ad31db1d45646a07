// Dictionary lookup: finding a character's entry in the code tables ("86.dll", "98.dll", "fm.dll") and the pinyin
// table ("py.dll") that lie in the working directory. The files are GBK text: white-space separated tokens whose
// first two bytes are the character and whose remaining bytes are its code letters or its reading.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace core {

// Tokens longer than this are cut here (damaged files only). A longer run of non-blank bytes is taken as successive
// tokens of at most this many bytes, which is what a width-limited "%s" read of the same file yields.
inline constexpr std::size_t kTokenCap = 256;

// The lookup key: the first two bytes of the input text as read through a 3-byte buffer (second byte is '\0' when the
// text is a single one-byte character; first is '\0' for an empty box).
struct LookupKey {
    char first = 0;
    char second = 0;
};

// Takes at most the first 2 bytes; a NUL ends the text as it would in the C buffer the key is read into.
LookupKey KeyFromInput(std::string_view inputBytes);

// Scans in-memory file bytes. Tokens are maximal runs of bytes that are not fscanf-%s white space (space, \t, \n, \v,
// \f, \r). Returns the first token whose byte 0 and byte 1 equal the key's (a one-byte token's byte 1 is its
// terminating NUL, as in a C buffer); an empty key (first == 0) matches nothing. The token comes back as the text a
// C string of it shows: up to its first NUL byte, if a damaged file holds one.
std::optional<std::string> FindToken(std::string_view fileBytes, LookupKey key);

// Fills up to `size` bytes at `buffer` with the next bytes of a file and returns how many it wrote; 0 is the end.
using BlockReader = std::function<std::size_t(char* buffer, std::size_t size)>;

// The same scan over a file that arrives in blocks: a small first block, then larger ones, each scanned as it arrives,
// stopping at the first match, so a character near the start of the file costs one small read. The result is
// FindToken's on all the bytes read, wherever the block boundaries fall.
std::optional<std::string> FindTokenInBlocks(const BlockReader& read, LookupKey key);

// Every token of the file in file order, divided as FindToken divides it, with its key (byte 0, and byte 1 or '\0' for
// a one-byte token) and the text a match on it shows. A token that no key can find (one starting with a NUL byte) is
// left out. FindToken's answer for a key is the first token visited with that key.
void ForEachToken(std::string_view fileBytes, const std::function<void(LookupKey key, std::string_view shown)>& visit);

enum class LookupStatus {
    Found,
    NotFound,
    Missing,     // there is no such file
    Unreadable,  // it exists but cannot be opened or read (a folder, no permission, locked by another program)
    Empty,       // it holds no token at all: no bytes, or only white space
    NotText,     // a NUL byte among the bytes read: binary data or UTF-16 text, not a GBK dictionary
};

struct LookupResult {
    LookupStatus status;
    std::string token;  // empty unless status is Found
};

// Opens the file afresh (binary; no cache) and scans it as it reads it, in blocks, up to the first match. A file that
// cannot be used says why (the statuses after NotFound); the next call tries again, so a dictionary may be replaced
// while the program runs.
LookupResult LookupInFile(const std::string& path, LookupKey key);

// The input box takes Chinese characters only: an ASCII letter or digit as the first byte is refused. Bytes of 0x80
// and above (every GBK lead byte), punctuation and blanks are looked up like anything else.
bool IsRejectedInput(char firstByte);

// 1 -> "98.dll", 0 -> "86.dll", anything else (2, or -1 when no edition is checked) -> "fm.dll".
const char* DictionaryFileForEdition(int edition);

inline constexpr const char* kPinyinFile = "py.dll";

}  // namespace core
