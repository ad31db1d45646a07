// tarvisk-lookup on Windows. The command line arrives as UTF-16 (wmain), so it never depends on a code page. Standard
// input typed at a console is read as UTF-16 (ReadConsoleW); piped or redirected input is text in the console's input
// code page (what chcp sets; the ANSI code page when there is no console), unless it starts with a UTF-8 byte-order
// mark or the command line names its encoding. Output to a console is written as UTF-16 (WriteConsoleW), so Chinese
// shows whatever the console's code page; output to a file or a pipe is UTF-8, the same bytes the Linux build writes.
// GBK is code page 936.
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "cli/Platform.h"

namespace cli {
namespace {

constexpr UINT kGbk = 936;

std::wstring Widen(std::string_view text, UINT codePage, DWORD flags = 0) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, flags, text.data(), size, wide.data(), length);
    return wide;
}

std::string Narrow(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
    return text;
}

bool IsConsole(HANDLE handle) {
    DWORD mode;
    return handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode);
}

bool Write(DWORD which, std::string_view utf8) {
    const HANDLE handle = GetStdHandle(which);
    if (IsConsole(handle)) {
        const std::wstring wide = Widen(utf8, CP_UTF8);
        for (std::size_t at = 0; at < wide.size();) {
            DWORD written = 0;
            const DWORD count = static_cast<DWORD>(std::min<std::size_t>(wide.size() - at, 8192));
            if (!WriteConsoleW(handle, wide.data() + at, count, &written, nullptr) || written == 0) return false;
            at += written;
        }
        return true;
    }
    while (!utf8.empty()) {
        DWORD written = 0;
        const DWORD count = static_cast<DWORD>(std::min<std::size_t>(utf8.size(), 1u << 20));
        if (!WriteFile(handle, utf8.data(), count, &written, nullptr) || written == 0) return false;
        utf8.remove_prefix(written);
    }
    return true;
}

}  // namespace

struct GbkConverter::State {};

GbkConverter::GbkConverter() = default;
GbkConverter::~GbkConverter() = default;

std::optional<std::string> GbkConverter::ToGbk(std::string_view utf8Character) {
    const std::wstring wide = Widen(utf8Character, CP_UTF8, MB_ERR_INVALID_CHARS);
    if (wide.empty()) return std::nullopt;
    char gbk[8];
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                           gbk, sizeof gbk, nullptr, &usedDefault);
    if (length <= 0 || usedDefault) return std::nullopt;
    return std::string(gbk, static_cast<std::size_t>(length));
}

std::string GbkConverter::ToUtf8(std::string_view gbk) {
    std::wstring wide = Widen(gbk, kGbk, MB_ERR_INVALID_CHARS);
    if (wide.empty() && !gbk.empty()) {
        // A damaged file: one character at a time, U+FFFD for each byte that begins none.
        for (std::size_t i = 0; i < gbk.size();) {
            const bool lead = static_cast<unsigned char>(gbk[i]) >= 0x81 && i + 1 < gbk.size();
            std::wstring one = lead ? Widen(gbk.substr(i, 2), kGbk, MB_ERR_INVALID_CHARS) : std::wstring();
            std::size_t used = 2;
            if (one.empty()) one = Widen(gbk.substr(i, 1), kGbk, MB_ERR_INVALID_CHARS), used = 1;
            wide += one.empty() ? std::wstring(1, L'\xFFFD') : one;
            i += used;
        }
    }
    return Narrow(wide);
}

struct StandardInput::State {
    HANDLE handle = GetStdHandle(STD_INPUT_HANDLE);
    bool console = IsConsole(handle);
    UINT codePage = 0;         // of piped input: from the command line, or decided on its first bytes
    std::string pending;       // piped input after the last line end so far
    wchar_t highSurrogate = 0;  // typed input: the first half of a pair that a full buffer cut
    bool ended = false;
    bool failed = false;
};

StandardInput::StandardInput(std::optional<InputEncoding> encoding) : state_(std::make_unique<State>()) {
    if (encoding) state_->codePage = *encoding == InputEncoding::Utf8 ? CP_UTF8 : kGbk;
}
StandardInput::~StandardInput() = default;

bool StandardInput::Read(std::string& utf8Piece) {
    State& s = *state_;
    if (s.ended) return false;
    if (s.console) {
        wchar_t buffer[4096];
        buffer[0] = s.highSurrogate;
        const DWORD kept = s.highSurrogate ? 1 : 0;
        DWORD got = 0;
        if (!ReadConsoleW(s.handle, buffer + kept, 4096 - kept, &got, nullptr)) s.failed = true;
        // Nothing read, or Ctrl+Z at the start of a line: the end of the input.
        if (s.failed || got == 0 || buffer[kept] == L'\x1A') {
            s.ended = true;
            return false;
        }
        DWORD length = kept + got;
        s.highSurrogate = 0;
        if (buffer[length - 1] >= 0xD800 && buffer[length - 1] <= 0xDBFF) s.highSurrogate = buffer[--length];
        utf8Piece = Narrow(std::wstring_view(buffer, length));
        return true;
    }
    for (;;) {
        char block[64 * 1024];
        DWORD got = 0;
        if (!ReadFile(s.handle, block, sizeof block, &got, nullptr)) {
            // A pipe whose writer has closed it ends this way; anything else is a failed read.
            if (GetLastError() != ERROR_BROKEN_PIPE) s.failed = true;
            got = 0;
        }
        if (got == 0) {
            s.ended = true;
            if (s.failed || s.pending.empty()) return false;
            break;
        }
        s.pending.append(block, got);
        if (s.codePage == 0) {
            const bool utf8Mark = s.pending.starts_with("\xEF\xBB\xBF");
            s.codePage = utf8Mark ? CP_UTF8 : GetConsoleCP();
            if (s.codePage == 0) s.codePage = GetACP();
        }
        if (s.pending.find('\n') != std::string::npos) break;
    }
    // Every code page that can be read here keeps '\n' out of its multi-byte characters.
    const std::size_t cut = s.ended ? s.pending.size() : s.pending.rfind('\n') + 1;
    const std::string_view text(s.pending.data(), cut);
    // UTF-8 goes through as it is, so the report can point at bytes that are not UTF-8.
    utf8Piece = s.codePage == CP_UTF8 ? std::string(text) : Narrow(Widen(text, s.codePage));
    s.pending.erase(0, cut);
    return true;
}

bool StandardInput::Failed() const {
    return state_->failed;
}

bool WriteOutput(std::string_view utf8) {
    return Write(STD_OUTPUT_HANDLE, utf8);
}

bool WriteError(std::string_view utf8) {
    return Write(STD_ERROR_HANDLE, utf8);
}

std::string ProgramFolder() {
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) return {};
    path.resize(length);
    const std::size_t separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos) return {};
    return Narrow(std::wstring_view(path).substr(0, separator));
}

std::string PathInFolder(const std::string& folder, const std::string& name) {
    if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) return folder + name;
    return folder + '\\' + name;
}

std::FILE* OpenForReading(const std::string& path) {
    return _wfopen(Widen(path, CP_UTF8).c_str(), L"rb");
}

}  // namespace cli

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.push_back(cli::Narrow(argv[i]));
    return cli::Run(arguments);
}
