// A dictionary file held in memory: one slot per two-byte key, filled from the file's tokens, first token first.
// The slots come in pages by first byte, so a table of GBK characters takes the 126 pages of its lead bytes.
#include "core/DictionaryIndex.h"

namespace core {

DictionaryIndex::DictionaryIndex(std::string_view fileBytes) {
    tokens_.reserve(fileBytes.size());
    ForEachToken(fileBytes, [this](LookupKey key, std::string_view shown) {
        auto& page = pages_[static_cast<unsigned char>(key.first)];
        if (!page) page = std::make_unique<Page>();
        Slot& slot = (*page)[static_cast<unsigned char>(key.second)];
        if (slot.length != 0) return;  // a later token of a key is never found
        slot = {static_cast<std::uint32_t>(tokens_.size()), static_cast<std::uint32_t>(shown.size())};
        tokens_.append(shown);
        ++size_;
    });
}

std::optional<std::string_view> DictionaryIndex::Find(LookupKey key) const {
    const auto& page = pages_[static_cast<unsigned char>(key.first)];
    if (!page) return std::nullopt;
    const Slot& slot = (*page)[static_cast<unsigned char>(key.second)];
    if (slot.length == 0) return std::nullopt;
    return std::string_view(tokens_).substr(slot.offset, slot.length);
}

}  // namespace core
