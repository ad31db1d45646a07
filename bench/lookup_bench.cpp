// Lookup benchmark: what one keystroke costs. For each dictionary it looks up the character at the start, in the
// middle and at the end of the file, one that is absent (a full scan), and a stream of characters drawn as often as
// people look them up (the weights the dictionary builder orders the files by, bench/weights.txt), two ways: the
// shipped per-lookup read and scan (LookupInFile) and the token-by-token fscanf reading it replaces. After the runs
// it prints, for every case, the shipped lookup's time as a share of the reference's and how many times faster it is.
//
// Dictionaries: the files named by $TARVISK_BENCH_DICT (a colon-separated list) if set, else the repository's
// data/86.dll, 98.dll, fm.dll and py.dll. Weights: $TARVISK_BENCH_WEIGHTS, else bench/weights.txt; characters it does
// not list weigh nothing.
#include "core/DictionaryScan.h"

#include <benchmark/benchmark.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

using Key = std::pair<char, char>;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The reading the lookup replaces: text mode, end-of-file test, then one "%s" token at a time. The buffer is far
// larger than any dictionary token, so the reference is measured without the overflow it would risk on damaged files.
std::optional<std::string> FscanfLookup(const char* path, core::LookupKey key) {
    std::FILE* file = std::fopen(path, "r");
    if (!file) return std::nullopt;
    char token[1024] = {};
    std::optional<std::string> found;
    while (!std::feof(file)) {
        [[maybe_unused]] int converted = std::fscanf(file, "%1023s", token);
        if (token[0] == key.first && token[1] == key.second) {
            found = std::string(token);
            break;
        }
    }
    std::fclose(file);
    return found;
}

std::optional<std::string> ShippedLookup(const std::string& path, core::LookupKey key) {
    core::LookupResult result = core::LookupInFile(path, key);
    if (result.status == core::LookupStatus::Found) return std::move(result.token);
    return std::nullopt;
}

// Each character's weight: lines of two GBK bytes, a space and a decimal weight.
std::map<Key, double> ReadWeights(const fs::path& path) {
    std::map<Key, double> weights;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);)
        if (line.size() > 3 && line[2] == ' ') weights[{line[0], line[1]}] = std::strtod(line.c_str() + 3, nullptr);
    return weights;
}

struct Case {
    std::string name;                    // "86.dll/start" ...
    std::vector<core::LookupKey> keys;   // looked up in turn, one per iteration
};

std::vector<std::pair<std::size_t, std::size_t>> Tokens(const std::string& bytes) {
    std::vector<std::pair<std::size_t, std::size_t>> tokens;  // [begin, end)
    for (std::size_t i = 0; i < bytes.size();) {
        while (i < bytes.size() && std::isspace(static_cast<unsigned char>(bytes[i]))) ++i;
        const std::size_t begin = i;
        while (i < bytes.size() && !std::isspace(static_cast<unsigned char>(bytes[i]))) ++i;
        if (i > begin) tokens.emplace_back(begin, i);
    }
    return tokens;
}

std::vector<Case> CasesFor(const std::string& file, const std::string& bytes, const std::map<Key, double>& weights) {
    const auto tokens = Tokens(bytes);
    std::vector<Case> cases;
    if (tokens.empty()) return cases;
    auto keyAt = [&](std::size_t index) {
        return core::KeyFromInput(std::string_view(bytes).substr(tokens[index].first, 2));
    };
    cases.push_back({file + "/start", {keyAt(0)}});
    cases.push_back({file + "/middle", {keyAt(tokens.size() / 2)}});
    cases.push_back({file + "/end", {keyAt(tokens.size() - 1)}});
    // A character the file does not list (the first such one of the weights, else a blank-free byte pair), so the
    // scan runs to the end.
    std::set<Key> listed;
    for (std::size_t i = 0; i < tokens.size(); ++i) listed.insert({keyAt(i).first, keyAt(i).second});
    core::LookupKey absent{'~', '~'};
    for (const auto& [key, weight] : weights)
        if (!listed.count(key)) {
            absent = {key.first, key.second};
            break;
        }
    cases.push_back({file + "/absent", {absent}});
    // Characters drawn by weight, with a fixed seed: every run and every reading looks up the same stream.
    std::vector<core::LookupKey> present;
    std::vector<double> chances;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const auto found = weights.find({keyAt(i).first, keyAt(i).second});
        present.push_back(keyAt(i));
        chances.push_back(found == weights.end() ? 0.0 : found->second);
    }
    std::mt19937 random(86);
    std::discrete_distribution<std::size_t> draw(chances.begin(), chances.end());
    Case weighted{file + "/weighted", {}};
    for (int i = 0; i < 4096; ++i) weighted.keys.push_back(present[draw(random)]);
    cases.push_back(std::move(weighted));
    return cases;
}

// Console output as usual, and each case's CPU time per lookup (the median of its repetitions, or its one run) kept
// by name for the table of ratios. CPU time (the process's own, the kernel's work for its reads included) rather than
// wall time, because on a shared machine the wall time mostly measures the other processes.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (median || (run.run_type == Run::RT_Iteration && run.repetitions <= 1))
                nanoseconds[run.run_name.function_name] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> nanoseconds;
};

}  // namespace

int main(int argc, char** argv) {
    // Several repetitions, interleaved in a random order, so that a slow moment of the machine does not fall on one
    // reading only; flags given on the command line come later and win.
    std::vector<char*> args{argv[0]};
    std::string defaults[] = {"--benchmark_repetitions=5", "--benchmark_enable_random_interleaving=true",
                              "--benchmark_min_time=0.1", "--benchmark_report_aggregates_only=true"};
    for (std::string& flag : defaults) args.push_back(flag.data());
    args.insert(args.end(), argv + 1, argv + argc);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());

    std::vector<fs::path> files;
    if (const char* chosen = std::getenv("TARVISK_BENCH_DICT")) {
        for (std::string_view list = chosen; !list.empty();) {
            const std::size_t colon = list.find(':');
            files.emplace_back(std::string(list.substr(0, colon)));
            list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
        }
    } else {
        for (const char* name : {"86.dll", "98.dll", "fm.dll", "py.dll"})
            files.push_back(fs::path(TARVISK_REPO_DIR) / "data" / name);
    }
    const char* weightsFile = std::getenv("TARVISK_BENCH_WEIGHTS");
    const auto weights = ReadWeights(weightsFile ? fs::path(weightsFile) : fs::path(TARVISK_REPO_DIR) / "bench/weights.txt");
    if (weights.empty()) {
        std::fprintf(stderr, "no character weights found (bench/weights.txt or $TARVISK_BENCH_WEIGHTS)\n");
        return 1;
    }

    std::vector<std::pair<std::string, Case>> all;  // (path, case)
    for (const fs::path& file : files) {
        if (!fs::is_regular_file(file)) {
            std::fprintf(stderr, "no dictionary at %s\n", file.string().c_str());
            return 1;
        }
        for (Case& c : CasesFor(file.filename().string(), ReadAll(file), weights))
            all.emplace_back(file.string(), std::move(c));
    }
    // The two readings must agree before their speeds mean anything.
    for (const auto& [path, c] : all)
        for (std::size_t i = 0; i < c.keys.size(); i += 7)
            if (ShippedLookup(path, c.keys[i]) != FscanfLookup(path.c_str(), c.keys[i])) {
                std::fprintf(stderr, "the shipped lookup and the fscanf reading disagree in %s\n", c.name.c_str());
                return 1;
            }

    for (const auto& [path, c] : all) {
        const std::string& file = path;
        const std::vector<core::LookupKey>& keys = c.keys;
        benchmark::RegisterBenchmark(("LookupInFile/" + c.name).c_str(), [&file, &keys](benchmark::State& state) {
            std::size_t i = 0;
            for (auto _ : state) benchmark::DoNotOptimize(core::LookupInFile(file, keys[i++ % keys.size()]));
        });
        benchmark::RegisterBenchmark(("FscanfReference/" + c.name).c_str(), [&file, &keys](benchmark::State& state) {
            std::size_t i = 0;
            for (auto _ : state) benchmark::DoNotOptimize(FscanfLookup(file.c_str(), keys[i++ % keys.size()]));
        });
    }

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nCPU time per lookup, median of the repetitions\n");
    std::printf("%-20s %14s %14s %8s %8s\n", "case", "shipped (us)", "fscanf (us)", "share", "faster");
    for (const auto& [path, c] : all) {
        const double shipped = reporter.nanoseconds["LookupInFile/" + c.name];
        const double reference = reporter.nanoseconds["FscanfReference/" + c.name];
        if (shipped <= 0 || reference <= 0) continue;
        std::printf("%-20s %14.2f %14.2f %8.2f %7.1fx\n", c.name.c_str(), shipped / 1000, reference / 1000,
                    shipped / reference, reference / shipped);
    }
    return 0;
}
