#include "framework/Text.h"

#include <windows.h>

namespace fw {

std::wstring Widen(std::string_view gbk) {
    if (gbk.empty()) return {};
    const int size = static_cast<int>(gbk.size());
    const int needed = MultiByteToWideChar(kGbkCodePage, 0, gbk.data(), size, nullptr, 0);
    if (needed <= 0) return {};
    std::wstring out(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(kGbkCodePage, 0, gbk.data(), size, out.data(), needed);
    return out;
}

bool NarrowExact(std::wstring_view text, std::string& out) {
    out.clear();
    if (text.empty()) return true;
    const int size = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    const int needed = WideCharToMultiByte(kGbkCodePage, 0, text.data(), size, nullptr, 0, nullptr, &usedDefault);
    if (needed <= 0) return false;
    out.assign(static_cast<std::size_t>(needed), '\0');
    usedDefault = FALSE;
    WideCharToMultiByte(kGbkCodePage, 0, text.data(), size, out.data(), needed, nullptr, &usedDefault);
    return !usedDefault;
}

std::string Narrow(std::wstring_view text) {
    std::string out;
    NarrowExact(text, out);
    return out;
}

}  // namespace fw
