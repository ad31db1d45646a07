// A dictionary file read once and held in memory, for looking up many characters in a row (the command-line lookup).
// It answers exactly what a scan of the same bytes answers, the first token of each key included.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/DictionaryScan.h"

namespace core {

class DictionaryIndex {
public:
    explicit DictionaryIndex(std::string_view fileBytes);

    // FindToken(fileBytes, key), without the scan.
    std::optional<std::string_view> Find(LookupKey key) const;

    // How many keys have a token.
    std::size_t Size() const { return size_; }

private:
    struct Slot {
        std::uint32_t offset = 0;
        std::uint32_t length = 0;  // 0: no token (a found token always holds its key's first byte)
    };
    static std::size_t SlotOf(LookupKey key);

    std::string tokens_;       // the shown text of every first token, one after the other
    std::vector<Slot> slots_;  // one per possible key: byte 0 and byte 1
    std::size_t size_ = 0;
};

}  // namespace core
