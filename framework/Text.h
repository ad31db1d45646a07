// GBK text at the platform boundary.
//
// The program keeps its strings as GBK bytes (code page 936): dictionary tokens, window texts, messages. The platform
// is always called through its wide API, and every conversion names code page 936 explicitly, so Chinese text is
// shown and looked up correctly whatever the system's ANSI code page is.
#pragma once

#include <string>
#include <string_view>

// The program's narrow string literals are GBK too: its Windows code is compiled with -fexec-charset=GBK, so a
// message written in the source reaches the platform as the GBK bytes every other string uses.
static_assert(sizeof("\u6c49") == 3, "compile Windows code with -fexec-charset=GBK: narrow literals must be GBK");

namespace fw {

inline constexpr unsigned kGbkCodePage = 936;

std::wstring Widen(std::string_view gbk);
std::string Narrow(std::wstring_view text);

// Like Narrow, but tells whether every character had a GBK form; characters without one become '?'.
bool NarrowExact(std::wstring_view text, std::string& out);

}  // namespace fw
