#include "app/CharacterLookup.h"

#include <string_view>

#include "framework/Text.h"
#include "framework/Window.h"

namespace {

// The first character of the text: one UTF-16 unit, or two when it is a surrogate pair.
std::wstring_view FirstCharacter(std::wstring_view text) {
    if (text.size() >= 2 && IS_HIGH_SURROGATE(text[0]) && IS_LOW_SURROGATE(text[1])) return text.substr(0, 2);
    return text.substr(0, 1);
}

}  // namespace

TypedCharacter::TypedCharacter(HWND inputBox) : inputBox_(inputBox) {
    const std::wstring text = fw::WindowTextW(inputBox);
    std::string firstBytes;
    isGbk_ = fw::NarrowExact(FirstCharacter(text), firstBytes);
    // The first two bytes of the text, as a 3-byte buffer would hold them: one GBK character, or up to two one-byte
    // characters.
    key_ = core::KeyFromInput(fw::Narrow(text));
}

void TypedCharacter::EmptyBox() const {
    SelectWholeInput(inputBox_);
    ::SendMessageW(inputBox_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
}

std::string TypedCharacter::ResultLine(const std::string& file, const std::string& notListed) const {
    if (!isGbk_) return "不是GBK汉字";
    const core::LookupResult result = core::LookupInFile(file, key_);
    switch (result.status) {
    case core::LookupStatus::Found: return result.token;
    case core::LookupStatus::NotFound: return notListed;
    default: return DictionaryProblemText(result.status, file);
    }
}

std::string DictionaryProblemText(core::LookupStatus status, const std::string& file) {
    switch (status) {
    case core::LookupStatus::Missing: return "找不到 " + file;
    case core::LookupStatus::Unreadable: return "无法读取 " + file;
    case core::LookupStatus::Empty: return file + " 是空的";
    case core::LookupStatus::NotText: return file + " 不是GBK文本";
    case core::LookupStatus::Found:
    case core::LookupStatus::NotFound: break;
    }
    return {};
}

void SelectWholeInput(HWND inputBox) {
    ::SendMessageW(inputBox, EM_SETSEL, 0, -1);
    ::SendMessageW(inputBox, EM_SCROLLCARET, 0, 0);
}
