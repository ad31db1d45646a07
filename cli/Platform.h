// What tarvisk-lookup needs from the system it runs on, one implementation per platform: Linux (PlatformPosix.cpp:
// iconv, UTF-8 terminals) and Windows (PlatformWindows.cpp: code page 936, the console's wide text functions).
// Everything crosses this line as UTF-8; the dictionaries' GBK is met only through GbkConverter.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Options.h"

namespace cli {

// The platform's own converter between Unicode and GBK (code page 936).
class GbkConverter {
public:
    GbkConverter();
    ~GbkConverter();
    GbkConverter(const GbkConverter&) = delete;
    GbkConverter& operator=(const GbkConverter&) = delete;

    // The GBK bytes of one character given as UTF-8, or nothing when GBK does not hold it.
    std::optional<std::string> ToGbk(std::string_view utf8Character);
    // GBK text as UTF-8. Bytes that are not GBK (a damaged file) come out as U+FFFD, one per byte.
    std::string ToUtf8(std::string_view gbk);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Standard input as UTF-8, a piece at a time; every piece ends at a line end or at the end of the input, so no
// character is ever split between two pieces, and a person typing gets each line's answer at once.
class StandardInput {
public:
    explicit StandardInput(std::optional<InputEncoding> encoding);
    ~StandardInput();
    StandardInput(const StandardInput&) = delete;
    StandardInput& operator=(const StandardInput&) = delete;

    // False at the end of the input, and when reading failed (Failed() then says so).
    bool Read(std::string& utf8Piece);
    bool Failed() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Both return false when the text could not be written.
bool WriteOutput(std::string_view utf8);
bool WriteError(std::string_view utf8);

// The folder that holds the running program (empty when the system cannot tell), and how a file in a folder is named.
std::string ProgramFolder();
std::string PathInFolder(const std::string& folder, const std::string& name);
// fopen(path, "rb") for a UTF-8 path; errno tells why it failed.
std::FILE* OpenForReading(const std::string& path);

// The platform-free program: the command line in, the exit status out (0 all found, 1 some not found, 2 refused).
int Run(const std::vector<std::string>& arguments);

}  // namespace cli
