// Lookup benchmark: what one keystroke costs. Looks up the character at the start, in the middle and at the end of a
// 20,923-entry dictionary, and one that is absent (a full scan), three ways: the in-memory scan alone (FindToken),
// the whole per-lookup read and scan (LookupInFile), and the token-by-token fscanf reading the lookup replaces.
//
// Dictionary: the file named by $TARVISK_BENCH_DICT if set, else the repository's data/86.dll, else (or when
// TARVISK_BENCH_DICT=generate) an equivalent file generated in a temporary directory: 20,923 GBK double-byte
// characters in code order, each with a 4-letter code, CRLF lines.
#include "core/DictionaryScan.h"

#include <benchmark/benchmark.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kEntries = 20923;

// GBK's double-byte Chinese characters in code order: the extension block below GB2312 (lead bytes 0x81-0xA0), then
// the lead bytes 0xAA-0xFE with GB2312's characters (trail 0xA1-0xFE) and the second extension block (trail
// 0x40-0xA0) interleaved, exactly as their codes sort.
bool IsGbkHanzi(unsigned lead, unsigned trail) {
    if (trail == 0x7F || trail < 0x40 || trail > 0xFE) return false;
    if (lead >= 0x81 && lead <= 0xA0) return true;
    if (lead >= 0xAA && lead <= 0xFE && trail <= 0xA0) return true;
    if (lead >= 0xB0 && lead <= 0xF7 && trail >= 0xA1) return !(lead == 0xD7 && trail >= 0xFA);
    return false;
}

std::string GenerateDictionary() {
    std::string text;
    std::uint32_t state = 86;
    for (unsigned lead = 0x81; lead <= 0xFE && text.size() < kEntries * 8; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE && text.size() < kEntries * 8; ++trail) {
            if (!IsGbkHanzi(lead, trail)) continue;
            text += static_cast<char>(lead);
            text += static_cast<char>(trail);
            for (int i = 0; i < 4; ++i) {
                state = state * 1664525u + 1013904223u;
                text += static_cast<char>('a' + (state >> 16) % 25);  // Wubi codes use a to y
            }
            text += "\r\n";
        }
    }
    return text;
}

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

struct Probe {
    const char* where;
    core::LookupKey key;
    std::size_t scannedBytes;  // bytes up to the end of the first matching token, or the whole file
};

std::vector<Probe> ChooseProbes(const std::string& bytes) {
    std::vector<std::pair<std::size_t, std::size_t>> tokens;  // [begin, end)
    for (std::size_t i = 0; i < bytes.size();) {
        while (i < bytes.size() && std::isspace(static_cast<unsigned char>(bytes[i]))) ++i;
        const std::size_t begin = i;
        while (i < bytes.size() && !std::isspace(static_cast<unsigned char>(bytes[i]))) ++i;
        if (i > begin) tokens.emplace_back(begin, i);
    }
    std::vector<Probe> probes;
    if (tokens.empty()) return probes;
    auto keyAt = [&](std::size_t begin) { return core::KeyFromInput(std::string_view(bytes).substr(begin, 2)); };
    auto probeAt = [&](const char* where, std::size_t index) {
        const core::LookupKey key = keyAt(tokens[index].first);
        // A character listed twice is found at its first entry, so measure up to there.
        for (const auto& [begin, end] : tokens) {
            const core::LookupKey other = keyAt(begin);
            if (other.first == key.first && other.second == key.second) return probes.push_back({where, key, end});
        }
    };
    probeAt("start", 0);
    probeAt("middle", tokens.size() / 2);
    probeAt("end", tokens.size() - 1);
    // A character the file does not list (the first such one in code order), so the scan runs to the end.
    std::set<std::pair<char, char>> listed;
    for (const auto& token : tokens) listed.insert({keyAt(token.first).first, keyAt(token.first).second});
    core::LookupKey absent{'~', '~'};
    for (unsigned code = 0x8140; code <= 0xFEFE && absent.first == '~'; ++code) {
        const char lead = static_cast<char>(code >> 8), trail = static_cast<char>(code & 0xFF);
        if (IsGbkHanzi(code >> 8, code & 0xFF) && !listed.count({lead, trail})) absent = {lead, trail};
    }
    probes.push_back({"absent", absent, bytes.size()});
    return probes;
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);

    fs::path dictionary;
    fs::path scratch;
    const char* chosen = std::getenv("TARVISK_BENCH_DICT");
    if (chosen && std::string_view(chosen) != "generate") {
        dictionary = chosen;
        if (!fs::is_regular_file(dictionary)) {
            std::fprintf(stderr, "TARVISK_BENCH_DICT names no readable file: %s\n", chosen);
            return 1;
        }
    } else if (!chosen && fs::exists(TARVISK_REPO_DATA_DIR "/86.dll")) {
        dictionary = TARVISK_REPO_DATA_DIR "/86.dll";
    } else {
        scratch = fs::temp_directory_path() / ("tarvisk-bench-" + std::to_string(::getpid()));
        fs::create_directories(scratch);
        dictionary = scratch / "86.dll";
        std::ofstream(dictionary, std::ios::binary) << GenerateDictionary();
    }
    const std::string bytes = ReadAll(dictionary);
    const std::string path = dictionary.string();
    const std::vector<Probe> probes = ChooseProbes(bytes);
    benchmark::AddCustomContext("dictionary", path + (scratch.empty() ? "" : " (generated)"));
    benchmark::AddCustomContext("dictionary bytes", std::to_string(bytes.size()));

    for (const Probe& probe : probes) {
        benchmark::RegisterBenchmark(("FindToken/" + std::string(probe.where)).c_str(),
                                     [&bytes, probe](benchmark::State& state) {
                                         for (auto _ : state) benchmark::DoNotOptimize(core::FindToken(bytes, probe.key));
                                         state.SetBytesProcessed(state.iterations() * probe.scannedBytes);
                                     });
        benchmark::RegisterBenchmark(("LookupInFile/" + std::string(probe.where)).c_str(),
                                     [&path, probe](benchmark::State& state) {
                                         for (auto _ : state) benchmark::DoNotOptimize(core::LookupInFile(path, probe.key));
                                     });
        benchmark::RegisterBenchmark(("FscanfReference/" + std::string(probe.where)).c_str(),
                                     [&path, probe](benchmark::State& state) {
                                         for (auto _ : state) benchmark::DoNotOptimize(FscanfLookup(path.c_str(), probe.key));
                                     });
    }
    // The two readings must agree before their speeds mean anything.
    for (const Probe& probe : probes) {
        if (core::FindToken(bytes, probe.key) != FscanfLookup(path.c_str(), probe.key)) {
            std::fprintf(stderr, "FindToken and the fscanf reading disagree on the %s probe\n", probe.where);
            return 1;
        }
    }

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!scratch.empty()) fs::remove_all(scratch);
    return 0;
}
