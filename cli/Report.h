// The lookup of a text, character by character, written in one of the three output formats. Every character that is
// not white space gives one row: a Chinese character its codes and readings, anything else the reason it has none.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "cli/Options.h"
#include "core/DictionaryIndex.h"

namespace cli {

class GbkConverter;

// The dictionaries in memory, by column; only the columns asked for are needed.
using Tables = std::array<const core::DictionaryIndex*, 4>;

enum class RowStatus {
    Found,       // a Chinese character with an answer in every column
    Missing,     // a Chinese character that some column has no answer for
    NotInGbk,    // a Chinese character that GBK, and so every dictionary, lacks
    NotChinese,  // anything else that is not white space: letters, digits, punctuation, emoji
    Invalid,     // a byte that does not begin a UTF-8 character
};

class Report {
public:
    Report(const Options& options, const Tables& tables, GbkConverter& converter);

    // Each call appends the rows of `utf8Text` to `out`. Pieces must not split a character.
    void Add(std::string_view utf8Text, std::string& out);
    // What closes the output: TSV's header and JSON's brackets even when there was no row.
    void Finish(std::string& out);

    // 0 when every Chinese character was found in every column, 1 when one was not (or the input held bytes that are
    // not UTF-8).
    int ExitStatus() const { return incomplete_ ? 1 : 0; }

private:
    struct Row {
        std::string text;  // the formatted row, without what separates it from the one before
        RowStatus status;
    };
    Row MakeRow(std::string_view character, char32_t codePoint);
    std::string FormatRow(std::string_view shownCharacter, RowStatus status,
                          const std::array<std::optional<std::string>, 4>& values) const;
    void Append(const Row& row, std::string& out);

    const Options& options_;
    const Tables& tables_;
    GbkConverter& converter_;
    std::unordered_map<char32_t, Row> rows_;  // a text repeats its characters: each is looked up and formatted once
    std::size_t rowCount_ = 0;
    bool incomplete_ = false;
};

}  // namespace cli
