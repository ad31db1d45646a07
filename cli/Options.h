// The command line of tarvisk-lookup: which dictionaries to answer from (its columns), the output format, where the
// dictionaries lie, and the text to look up. Arguments arrive as UTF-8 on every platform.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

enum class Column { Code86, Code98, Rare, Pinyin };

struct ColumnInfo {
    Column column;
    const char* name;   // on the command line, as the TSV header and as the JSON key
    const char* label;  // the text format's header: the window's own names for the tables
    const char* file;   // the dictionary it is answered from
};

const ColumnInfo& Describe(Column column);

enum class Format { Text, Tsv, Json };

// How text piped or redirected into standard input is encoded, when the command line says so. Unsaid, it is UTF-8 on
// Linux, and on Windows the console's input code page (UTF-8 when the input starts with a UTF-8 byte-order mark).
enum class InputEncoding { Utf8, Gbk };

struct Options {
    std::vector<Column> columns{Column::Code86, Column::Code98, Column::Pinyin};
    Format format = Format::Text;
    std::optional<std::string> dataFolder;
    std::optional<InputEncoding> inputEncoding;
    std::vector<std::string> texts;  // none: the text comes from standard input
    bool help = false;
    bool version = false;
};

struct ParsedCommandLine {
    Options options;
    std::string error;  // not empty: the command line was refused, and this says why
};

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

std::string UsageText();

}  // namespace cli
