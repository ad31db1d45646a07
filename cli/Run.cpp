// tarvisk-lookup's program: the command line, the dictionaries read once each, the text looked up.
#include <cerrno>
#include <memory>
#include <optional>

#include "cli/Options.h"
#include "cli/Platform.h"
#include "cli/Report.h"
#include "core/DictionaryIndex.h"

namespace cli {
namespace {

constexpr const char* kProgram = "tarvisk-lookup";
constexpr std::size_t kOutputChunk = 64 * 1024;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::string Refusal(const std::string& reason) {
    return std::string(kProgram) + "：" + reason + "\n";
}

// One dictionary: the first of `folders` that holds the file. On failure, `error` says which file, and where it was
// looked for or why it could not be read.
std::optional<std::string> ReadDictionary(const char* name, const std::vector<std::string>& folders,
                                          std::string& error) {
    std::string looked;
    for (const std::string& folder : folders) {
        const std::string path = PathInFolder(folder, name);
        std::unique_ptr<std::FILE, FileCloser> file(OpenForReading(path));
        if (!file) {
            if (errno != ENOENT) {
                error = "无法打开 " + path;
                return std::nullopt;
            }
            looked += (looked.empty() ? "" : "、") + (folder == "." ? std::string("当前文件夹") : folder);
            continue;
        }
        std::string bytes;
        char block[64 * 1024];
        for (std::size_t got; (got = std::fread(block, 1, sizeof block, file.get())) > 0;) bytes.append(block, got);
        if (std::ferror(file.get())) {
            error = "无法读取 " + path;
            return std::nullopt;
        }
        return bytes;
    }
    // The window program's words for a dictionary it cannot find.
    error = std::string("找不到 ") + name + "（找过：" + looked + "）";
    return std::nullopt;
}

}  // namespace

int Run(const std::vector<std::string>& arguments) {
    const ParsedCommandLine parsed = ParseCommandLine(arguments);
    const Options& options = parsed.options;
    if (!parsed.error.empty()) {
        WriteError(Refusal(parsed.error + "\n用 " + kProgram + " --help 查看用法。"));
        return 2;
    }
    if (options.help) return WriteOutput(UsageText()) ? 0 : 2;
    if (options.version) return WriteOutput(std::string(kProgram) + " " + TARVISK_VERSION + "\n") ? 0 : 2;

    std::vector<std::string> folders;
    if (options.dataFolder) {
        folders.push_back(*options.dataFolder);
    } else {
        const std::string programFolder = ProgramFolder();
        if (!programFolder.empty()) folders.push_back(programFolder);
        folders.push_back(".");
    }
    std::array<std::unique_ptr<core::DictionaryIndex>, 4> indexes;
    Tables tables{};
    for (const Column column : options.columns) {
        std::string error;
        const std::optional<std::string> bytes = ReadDictionary(Describe(column).file, folders, error);
        if (!bytes) {
            WriteError(Refusal(error));
            return 2;
        }
        auto& index = indexes[static_cast<std::size_t>(column)];
        index = std::make_unique<core::DictionaryIndex>(*bytes);
        tables[static_cast<std::size_t>(column)] = index.get();
    }

    GbkConverter converter;
    Report report(options, tables, converter);
    std::string out;
    bool written = true;
    if (!options.texts.empty()) {
        for (const std::string& text : options.texts) {
            report.Add(text, out);
            if (out.size() < kOutputChunk) continue;
            written = written && WriteOutput(out);
            out.clear();
        }
    } else {
        StandardInput input(options.inputEncoding);
        std::string piece;
        while (written && input.Read(piece)) {
            report.Add(piece, out);
            written = WriteOutput(out);
            out.clear();
        }
        if (input.Failed()) {
            WriteError(Refusal("读取标准输入时出错"));
            return 2;
        }
    }
    report.Finish(out);
    if (!written || !WriteOutput(out)) {
        WriteError(Refusal("无法写出结果"));
        return 2;
    }
    return report.ExitStatus();
}

}  // namespace cli
