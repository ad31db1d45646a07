// A dictionary file held in memory: one slot per two-byte key, filled from the file's tokens, first token first.
#include "core/DictionaryIndex.h"

namespace core {

std::size_t DictionaryIndex::SlotOf(LookupKey key) {
    return static_cast<std::size_t>(static_cast<unsigned char>(key.first)) << 8 |
           static_cast<unsigned char>(key.second);
}

DictionaryIndex::DictionaryIndex(std::string_view fileBytes) : slots_(1u << 16) {
    tokens_.reserve(fileBytes.size());
    ForEachToken(fileBytes, [this](LookupKey key, std::string_view shown) {
        Slot& slot = slots_[SlotOf(key)];
        if (slot.length != 0) return;  // a later token of a key is never found
        slot = {static_cast<std::uint32_t>(tokens_.size()), static_cast<std::uint32_t>(shown.size())};
        tokens_.append(shown);
        ++size_;
    });
}

std::optional<std::string_view> DictionaryIndex::Find(LookupKey key) const {
    const Slot& slot = slots_[SlotOf(key)];
    if (slot.length == 0) return std::nullopt;
    return std::string_view(tokens_).substr(slot.offset, slot.length);
}

}  // namespace core
