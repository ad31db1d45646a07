// A dictionary file read once and held in memory, for looking up many characters in a row (the command-line lookup).
// It answers exactly what a scan of the same bytes answers, the first token of each key included.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/DictionaryScan.h"

namespace core {

class DictionaryIndex {
public:
    explicit DictionaryIndex(std::string_view fileBytes);

    // FindToken(fileBytes, key), without the scan. The text lies in the index: it lives as long as the index does.
    std::optional<std::string_view> Find(LookupKey key) const;

    // How many keys have a token.
    std::size_t Size() const { return size_; }

private:
    struct Slot {
        std::uint32_t offset = 0;
        std::uint32_t length = 0;  // 0: no token (a found token always holds its key's first byte)
    };
    // The slots of the keys that share a first byte; made when a token has that first byte.
    using Page = std::array<Slot, 256>;

    std::string tokens_;                               // the shown text of every first token, one after the other
    std::array<std::unique_ptr<Page>, 256> pages_{};  // by the key's byte 0, then its byte 1
    std::size_t size_ = 0;
};

}  // namespace core
