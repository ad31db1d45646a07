// The lookup of a text and its three output formats.
#include "cli/Report.h"

#include <cstdio>

#include "cli/Platform.h"

namespace cli {
namespace {

constexpr char32_t kNotUtf8 = 0x110000;  // past Unicode: row keys of bytes that begin no UTF-8 character

// The length of the UTF-8 character at the start of `text` (with its code point), or 0 when the bytes there are not
// one: a stray continuation byte, a cut sequence, an overlong form, a surrogate, or past U+10FFFF.
std::size_t DecodeUtf8(std::string_view text, char32_t& codePoint) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byte(0);
    std::size_t length;
    char32_t minimum;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, minimum = 0x80, codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, minimum = 0x800, codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, minimum = 0x10000, codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        codePoint = codePoint << 6 | (byte(i) & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return 0;
    return length;
}

// What separates characters: no row. The ideographic space indents Chinese paragraphs; U+FEFF is a byte-order mark.
bool IsBlank(char32_t c) {
    return c == ' ' || (c >= '\t' && c <= '\r') || c == 0x3000 || c == 0xFEFF;
}

// The ideographs: the unified blocks with their extensions, the compatibility ideographs, and the ideographic zero.
bool IsChinese(char32_t c) {
    return c == 0x3007 || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x3FFFF);
}

bool IsWide(char32_t c) {
    static constexpr char32_t kWide[][2] = {
        {0x1100, 0x115F}, {0x2E80, 0x303E}, {0x3041, 0x33FF}, {0x3400, 0x4DBF}, {0x4E00, 0x9FFF},
        {0xA000, 0xA4CF}, {0xAC00, 0xD7A3}, {0xF900, 0xFAFF}, {0xFE30, 0xFE4F}, {0xFF00, 0xFF60},
        {0xFFE0, 0xFFE6}, {0x1F300, 0x1F64F}, {0x1F900, 0x1F9FF}, {0x20000, 0x3FFFD}};
    for (const auto& range : kWide)
        if (c >= range[0] && c <= range[1]) return true;
    return false;
}

// Columns a terminal gives the text, for lining up the text format.
std::size_t DisplayWidth(std::string_view utf8) {
    std::size_t width = 0;
    char32_t c;
    for (std::size_t i = 0, length; i < utf8.size(); i += length) {
        length = DecodeUtf8(utf8.substr(i), c);
        if (length == 0) length = 1, c = '?';
        width += IsWide(c) ? 2 : 1;
    }
    return width;
}

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

// Text and TSV: control characters (a damaged file's, or the input's) are shown as escapes, never sent to a terminal.
std::string Printable(std::string_view utf8) {
    std::string shown;
    char32_t c;
    for (std::size_t i = 0, length; i < utf8.size(); i += length) {
        length = DecodeUtf8(utf8.substr(i), c);
        if (length == 0) length = 1, c = 0xFFFD;
        if (c < 0x20 || (c >= 0x7F && c < 0xA0)) shown += "\\x" + Hex(c, 2);
        else shown.append(utf8.substr(i, length));
    }
    return shown;
}

std::string JsonString(std::string_view utf8) {
    std::string json = "\"";
    for (const char ch : utf8) {
        const auto byte = static_cast<unsigned char>(ch);
        if (ch == '"' || ch == '\\') json += {'\\', ch};
        else if (byte < 0x20 || byte == 0x7F) json += "\\u" + Hex(byte, 4);
        else json += ch;
    }
    return json + '"';
}

const char* StatusName(RowStatus status) {
    switch (status) {
        case RowStatus::Found: return "found";
        case RowStatus::Missing: return "missing";
        case RowStatus::NotInGbk: return "not-gbk";
        case RowStatus::NotChinese: return "not-chinese";
        case RowStatus::Invalid: return "invalid";
    }
    return "";
}

const char* StatusReason(RowStatus status) {
    switch (status) {
        case RowStatus::NotInGbk: return "（GBK 里没有这个字，词典里查不到）";
        case RowStatus::NotChinese: return "（不是汉字）";
        case RowStatus::Invalid: return "（这个字节不是 UTF-8 文字）";
        default: return "";
    }
}

constexpr const char* kNone = "无";  // the window's word for "no entry"
constexpr std::size_t kCharacterWidth = 2;
constexpr std::size_t kGap = 2;

std::size_t TextColumnWidth(Column column) {
    const std::size_t width = DisplayWidth(Describe(column).label) + kGap;
    return width < 6 ? 6 : width;
}

// A cell and the spaces that line the next one up; a cell too wide for its column still gets the gap.
void Pad(std::string& line, std::string_view cell, std::size_t width) {
    line += cell;
    const std::size_t cellWidth = DisplayWidth(cell);
    line.append(cellWidth + kGap > width ? kGap : width - cellWidth, ' ');
}

std::string TextHeader(const std::vector<Column>& columns) {
    std::string line;
    Pad(line, "字", kCharacterWidth + kGap);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i + 1 < columns.size()) Pad(line, Describe(columns[i]).label, TextColumnWidth(columns[i]));
        else line += Describe(columns[i]).label;
    }
    return line;
}

std::string TsvHeader(const std::vector<Column>& columns) {
    std::string line = "char\tstatus";
    for (const Column column : columns) line += std::string("\t") + Describe(column).name;
    return line;
}

}  // namespace

Report::Report(const Options& options, const Tables& tables, GbkConverter& converter)
    : options_(options), tables_(tables), converter_(converter) {}

void Report::Add(std::string_view utf8Text, std::string& out) {
    char32_t c;
    for (std::size_t i = 0, length; i < utf8Text.size(); i += length) {
        length = DecodeUtf8(utf8Text.substr(i), c);
        if (length == 0) length = 1, c = kNotUtf8 + static_cast<unsigned char>(utf8Text[i]);
        if (IsBlank(c)) continue;
        auto row = rows_.find(c);
        if (row == rows_.end()) row = rows_.emplace(c, MakeRow(utf8Text.substr(i, length), c)).first;
        Append(row->second, out);
    }
}

Report::Row Report::MakeRow(std::string_view character, char32_t codePoint) {
    std::array<std::optional<std::string>, 4> values;
    if (codePoint >= kNotUtf8) {
        const std::string escaped = "\\x" + Hex(static_cast<unsigned>(codePoint - kNotUtf8), 2);
        return {FormatRow(escaped, RowStatus::Invalid, values), RowStatus::Invalid};
    }
    if (!IsChinese(codePoint)) return {FormatRow(character, RowStatus::NotChinese, values), RowStatus::NotChinese};
    const std::optional<std::string> gbk = converter_.ToGbk(character);
    if (!gbk || gbk->size() != 2) return {FormatRow(character, RowStatus::NotInGbk, values), RowStatus::NotInGbk};

    const core::LookupKey key = core::KeyFromInput(*gbk);
    RowStatus status = RowStatus::Found;
    for (const Column column : options_.columns) {
        const std::optional<std::string_view> token = tables_[static_cast<std::size_t>(column)]->Find(key);
        // The token begins with the character; what follows is the code or the reading.
        if (token) values[static_cast<std::size_t>(column)] = converter_.ToUtf8(token->substr(gbk->size()));
        else status = RowStatus::Missing;
    }
    return {FormatRow(character, status, values), status};
}

std::string Report::FormatRow(std::string_view shownCharacter, RowStatus status,
                              const std::array<std::optional<std::string>, 4>& values) const {
    const bool lookedUp = status == RowStatus::Found || status == RowStatus::Missing;
    std::string line;
    switch (options_.format) {
        case Format::Text: {
            Pad(line, Printable(shownCharacter), kCharacterWidth + kGap);
            if (!lookedUp) return line + StatusReason(status);
            const std::vector<Column>& columns = options_.columns;
            for (std::size_t i = 0; i < columns.size(); ++i) {
                const auto& value = values[static_cast<std::size_t>(columns[i])];
                const std::string cell = value ? Printable(*value) : kNone;
                if (i + 1 < columns.size()) Pad(line, cell, TextColumnWidth(columns[i]));
                else line += cell;
            }
            return line;
        }
        case Format::Tsv:
            line = Printable(shownCharacter) + '\t' + StatusName(status);
            for (const Column column : options_.columns) {
                const auto& value = values[static_cast<std::size_t>(column)];
                line += '\t' + (value ? Printable(*value) : std::string());
            }
            return line;
        case Format::Json:
            line = "  {\"char\": " + JsonString(shownCharacter) + ", \"status\": \"" + StatusName(status) + '"';
            for (const Column column : options_.columns) {
                const auto& value = values[static_cast<std::size_t>(column)];
                line += ", \"" + std::string(Describe(column).name) + "\": ";
                if (!value) {
                    line += "null";
                } else if (column == Column::Pinyin) {
                    // py.dll lists a character's readings separated by commas, the most common first.
                    line += '[';
                    for (std::size_t start = 0;;) {
                        const std::size_t comma = value->find(',', start);
                        line += JsonString(std::string_view(*value).substr(start, comma - start));
                        if (comma == std::string::npos) break;
                        line += ", ";
                        start = comma + 1;
                    }
                    line += ']';
                } else {
                    line += JsonString(*value);
                }
            }
            return line + '}';
    }
    return line;
}

void Report::Append(const Row& row, std::string& out) {
    if (row.status != RowStatus::Found && row.status != RowStatus::NotChinese) incomplete_ = true;
    switch (options_.format) {
        case Format::Text:
            if (rowCount_ == 0) out += TextHeader(options_.columns) + '\n';
            out += row.text + '\n';
            break;
        case Format::Tsv:
            if (rowCount_ == 0) out += TsvHeader(options_.columns) + '\n';
            out += row.text + '\n';
            break;
        case Format::Json:
            out += rowCount_ == 0 ? "[\n" : ",\n";
            out += row.text;
            break;
    }
    ++rowCount_;
}

void Report::Finish(std::string& out) {
    if (options_.format == Format::Tsv && rowCount_ == 0) out += TsvHeader(options_.columns) + '\n';
    if (options_.format == Format::Json) out += rowCount_ == 0 ? "[]\n" : "\n]\n";
}

}  // namespace cli
