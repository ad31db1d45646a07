// The command line of tarvisk-lookup.
#include "cli/Options.h"

#include <algorithm>
#include <array>

#include "core/DictionaryScan.h"

namespace cli {
namespace {

// The table files are named where the window program names them.
const std::array<ColumnInfo, 4> kColumns{{
    {Column::Code86, "86", "86", core::DictionaryFileForEdition(0)},
    {Column::Code98, "98", "98", core::DictionaryFileForEdition(1)},
    {Column::Rare, "rare", "罕见字", core::DictionaryFileForEdition(2)},
    {Column::Pinyin, "pinyin", "拼音", core::kPinyinFile},
}};

std::optional<Column> ColumnNamed(std::string_view name) {
    for (const ColumnInfo& info : kColumns)
        if (name == info.name) return info.column;
    return std::nullopt;
}

// "86,98,pinyin": each name once, at least one.
std::string ParseColumns(std::string_view list, std::vector<Column>& columns) {
    columns.clear();
    for (;;) {
        const std::size_t comma = list.find(',');
        const std::string_view name = list.substr(0, comma);
        const std::optional<Column> column = ColumnNamed(name);
        if (!column) return "不认识的列 \"" + std::string(name) + "\"（可用：86、98、rare、pinyin）";
        if (std::find(columns.begin(), columns.end(), *column) != columns.end())
            return "列 " + std::string(name) + " 写了两次";
        columns.push_back(*column);
        if (comma == std::string_view::npos) return {};
        list.remove_prefix(comma + 1);
    }
}

std::string ParseFormat(std::string_view name, Format& format) {
    if (name == "text") format = Format::Text;
    else if (name == "tsv") format = Format::Tsv;
    else if (name == "json") format = Format::Json;
    else return "不认识的格式 \"" + std::string(name) + "\"（可用：text、tsv、json）";
    return {};
}

std::string ParseEncoding(std::string name, std::optional<InputEncoding>& encoding) {
    for (char& c : name) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (name == "utf-8" || name == "utf8") encoding = InputEncoding::Utf8;
    else if (name == "gbk" || name == "cp936") encoding = InputEncoding::Gbk;
    else return "不认识的编码 \"" + name + "\"（可用：utf-8、gbk）";
    return {};
}

}  // namespace

const ColumnInfo& Describe(Column column) {
    return kColumns[static_cast<std::size_t>(column)];
}

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    ParsedCommandLine parsed;
    Options& options = parsed.options;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size() && parsed.error.empty(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            options.texts.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "-h" || argument == "--help") {
            options.help = true;
            continue;
        }
        if (argument == "--version") {
            options.version = true;
            continue;
        }
        // Options with a value: "--name=value", "--name value" or "-x value".
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, argument.rfind("--", 0) == 0 ? equals : std::string::npos);
        const bool takesValue = name == "-c" || name == "--columns" || name == "-f" || name == "--format" ||
                                name == "-d" || name == "--data" || name == "-e" || name == "--encoding";
        if (!takesValue) {
            parsed.error = "不认识的选项 " + argument;
            break;
        }
        std::string value;
        if (name.size() < argument.size()) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            parsed.error = "选项 " + name + " 后面缺少值";
            break;
        }
        if (name == "-c" || name == "--columns") parsed.error = ParseColumns(value, options.columns);
        else if (name == "-f" || name == "--format") parsed.error = ParseFormat(value, options.format);
        else if (name == "-e" || name == "--encoding") parsed.error = ParseEncoding(value, options.inputEncoding);
        else if (value.empty()) parsed.error = "选项 " + name + " 的文件夹是空的";
        else options.dataFolder = value;
    }
    return parsed;
}

std::string UsageText() {
    return "用法：tarvisk-lookup [选项] [文字 ...]\n"
           "查出文字中每个汉字的五笔编码和拼音，一个字一行。没有给出文字时，从标准输入读取。\n"
           "\n"
           "  -c, --columns 列表   显示哪些列，用逗号分开：86、98、rare（罕见字）、pinyin（拼音）\n"
           "                       默认 86,98,pinyin\n"
           "  -f, --format 格式    text（默认，对齐的表格）、tsv（制表符分隔，第一行是列名）、json\n"
           "  -d, --data 文件夹    词典文件 86.dll、98.dll、fm.dll、py.dll 所在的文件夹；\n"
           "                       默认先找程序所在的文件夹，再找当前文件夹\n"
           "  -e, --encoding 编码  从管道或文件读入的标准输入的编码：utf-8 或 gbk。默认在 Linux 上\n"
           "                       是 utf-8；在 Windows 上是控制台的代码页（chcp），以 UTF-8 BOM\n"
           "                       开头的输入按 utf-8 读\n"
           "  -h, --help           显示这段说明\n"
           "      --version        显示版本\n"
           "  --                   后面的参数都是要查的文字\n"
           "\n"
           "不是汉字的字符、GBK 里没有的字符也各占一行，注明原因。\n"
           "退出状态：0 每个汉字都查到了；1 有汉字没有查到；2 用法不对或缺少词典文件。\n";
}

}  // namespace cli
