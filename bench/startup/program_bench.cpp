// Whole-program figures of tarvisk.exe, taken from another process as a user meets the program:
// - start-up: the time from CreateProcess to the program's first visible top-level window, against a program that
//   shows one dialog and nothing else (bare_dialog.exe), started alternately with it, median of each;
// - memory: the working set, GDI objects and windows of tarvisk.exe once its window shows, and again after it has
//   looked up many characters typed into its input box (common and rare ones, all three editions, pinyin on).
// Each program runs in a fresh working folder with the dictionaries copied in, and is ended as a user ends it.
// It prints Markdown table rows (figure | Tarvisk | yardstick | ratio | goal); bench/run.sh adds the header.
//
//   tarvisk_program_bench --tarvisk=PATH/tarvisk.exe --bare=PATH/bare_dialog.exe --data=PATH/data
//                         [--runs=N (15)] [--lookups=N (10000)]
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "core/DictionaryScan.h"
#include "framework/Text.h"
#include "resources/resource.h"
#include "tests/support/AppTestKit.h"
#include "tests/support/RemoteProgram.h"
#include "tests/support/UiObjectCounts.h"

namespace {

using namespace testing_support;

constexpr DWORD kWaitMs = 30000;

double NowMs() {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency);
}

// A working folder holding a copy of the dictionaries, as the program runs from its release folder.
class DataFolder {
public:
    explicit DataFolder(const std::wstring& data) {
        for (const wchar_t* name : {L"86.dll", L"98.dll", L"fm.dll", L"py.dll"})
            CopyFileW((data + L"\\" + name).c_str(), folder_.File(name).c_str(), FALSE);
    }
    const std::wstring& Path() const { return folder_.Path(); }

private:
    TempWorkFolder folder_;
};

HWND WaitForVisibleWindow(const RemoteProgram& program, DWORD pollMs) {
    const double deadline = NowMs() + kWaitMs;
    for (;;) {
        if (HWND window = program.VisibleWindow()) return window;
        if (NowMs() > deadline) return nullptr;
        Sleep(pollMs);
    }
}

// Presses a button of the program's window as a click does (posted: it may end the program or open a dialog).
void Press(HWND window, int id) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

struct StartUp {
    double visibleMs = -1;  // from CreateProcess to a visible top-level window
    double readyMs = -1;    // and until the program, its window painted, first waits for input
};

// One start, then the program is ended by its own command; both times stay -1 if it fails.
StartUp TimeStartUp(const std::wstring& program, const std::wstring& folder, int exitCommand) {
    const double start = NowMs();
    RemoteProgram run(program, folder);
    if (!run.Started()) return {};
    HWND window = WaitForVisibleWindow(run, 1);
    if (!window) return {};
    StartUp times{NowMs() - start};
    while (WaitForInputIdle(run.Process(), 0) != 0 && NowMs() - start < kWaitMs) Sleep(1);
    times.readyMs = NowMs() - start;
    Press(window, exitCommand);
    return run.WaitForExit(kWaitMs) ? times : StartUp{};
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Footprint {
    double workingSetMb = -1;
    UiObjectCounts ui;
};

Footprint FootprintOf(HANDLE process) {
    Footprint footprint;
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(process, &counters, sizeof counters))
        footprint.workingSetMb = static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
    footprint.ui = CountUiObjects(process);
    return footprint;
}

// Characters to type, as UTF-16: the commonest and the rarest of the 86 table (the files are ordered by how often
// people look a character up) and some from the middle of the rare-character table.
std::vector<std::wstring> CharactersToType(const std::wstring& data) {
    auto keysOf = [&](const wchar_t* name) {
        const auto bytes = ReadFileBytes(data + L"\\" + name);
        std::vector<std::wstring> keys;
        core::ForEachToken(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                           [&](core::LookupKey key, std::string_view) {
                               if (static_cast<unsigned char>(key.first) >= 0x81 && key.second != '\0')
                                   keys.push_back(fw::Widen(std::string{key.first, key.second}));
                           });
        return keys;
    };
    const auto common = keysOf(L"86.dll");
    const auto rare = keysOf(L"fm.dll");
    constexpr std::size_t kEach = 40;
    std::vector<std::wstring> characters;
    if (common.size() < kEach || rare.size() < kEach) return characters;
    characters.insert(characters.end(), common.begin(), common.begin() + kEach);
    characters.insert(characters.end(), common.end() - kEach, common.end());
    const auto middle = rare.begin() + static_cast<std::ptrdiff_t>((rare.size() - kEach) / 2);
    characters.insert(characters.end(), middle, middle + kEach);
    return characters;
}

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, nullptr) != 0;
}

// Types `count` characters into the running program, switching the edition every 100; false if it stops answering.
bool TypeCharacters(HWND main, const std::vector<std::wstring>& characters, int count) {
    const HWND input = GetDlgItem(main, IDC_INPUT);
    const int editions[] = {IDC_ED86, IDC_ED98, IDC_EDRARE};
    for (int i = 0; i < count; ++i) {
        if (i % 100 == 0 && !Send(GetDlgItem(main, editions[(i / 100) % 3]), BM_CLICK, 0, 0)) return false;
        const std::wstring& character = characters[static_cast<std::size_t>(i) % characters.size()];
        if (!Send(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(character.c_str()))) return false;
    }
    // The last lookup shows its character.
    const std::wstring code = RemoteText(GetDlgItem(main, IDC_CODE));
    return !code.empty() && code[0] == characters[static_cast<std::size_t>(count - 1) % characters.size()][0];
}

std::string Fixed(double value, int digits, const char* sign = "") {
    char text[32];
    std::snprintf(text, sizeof text, sign[0] ? "%+.*f" : "%.*f", digits, value);
    return text;
}

void Row(const std::string& figure, const std::string& tarvisk, const std::string& yardstick = "",
         const std::string& ratio = "", const std::string& goal = "") {
    std::printf("| %s | %s | %s | %s | %s |\n", figure.c_str(), tarvisk.c_str(), yardstick.c_str(), ratio.c_str(),
                goal.c_str());
}

// The table is UTF-8, while this tree compiles narrow literals as GBK.
std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

std::string Counts(const UiObjectCounts& counts) {
    return std::to_string(counts.gdiObjects) + " / " + std::to_string(counts.windows);
}

}  // namespace

int main(int argc, char** argv) {
    std::wstring tarvisk, bare, data;
    int runs = 15, lookups = 10000;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.rfind("--tarvisk=", 0) == 0) tarvisk = WindowsPath(argument.substr(10));
        if (argument.rfind("--bare=", 0) == 0) bare = WindowsPath(argument.substr(7));
        if (argument.rfind("--data=", 0) == 0) data = WindowsPath(argument.substr(7));
        if (argument.rfind("--runs=", 0) == 0) runs = std::max(1, std::atoi(argument.c_str() + 7));
        if (argument.rfind("--lookups=", 0) == 0) lookups = std::max(1, std::atoi(argument.c_str() + 10));
    }
    if (tarvisk.empty() || bare.empty() || data.empty()) {
        std::fprintf(stderr,
                     "usage: tarvisk_program_bench --tarvisk=EXE --bare=EXE --data=DIR [--runs=N] [--lookups=N]\n");
        return 2;
    }
    const std::vector<std::wstring> characters = CharactersToType(data);
    if (characters.empty()) {
        std::fprintf(stderr, "no dictionaries to type characters from in --data\n");
        return 2;
    }

    // Start-up: one unmeasured start of each (the system's files come into the cache), then both in turn, the order
    // swapped every round.
    std::vector<double> visible[2], ready[2];  // [0] tarvisk.exe, [1] bare_dialog.exe
    {
        DataFolder folder(data);
        for (int round = -1; round < runs; ++round) {
            for (int k = 0; k < 2; ++k) {
                const int which = (k + round + 2) % 2;
                const StartUp times = which == 0 ? TimeStartUp(tarvisk, folder.Path(), IDC_EXITBTN)
                                                 : TimeStartUp(bare, folder.Path(), IDCANCEL);
                if (times.readyMs < 0) {
                    std::fprintf(stderr, "%s did not show a window and end when asked\n",
                                 which == 0 ? "tarvisk.exe" : "bare_dialog.exe");
                    return 1;
                }
                if (round < 0) continue;
                visible[which].push_back(times.visibleMs);
                ready[which].push_back(times.readyMs);
            }
        }
    }

    // Memory: after start-up, after every character has been typed once (each glyph drawn for the first time),
    // after all the lookups.
    DataFolder folder(data);
    RemoteProgram run(tarvisk, folder.Path());
    HWND main = run.Started() ? WaitForVisibleWindow(run, 30) : nullptr;
    if (!main) {
        std::fprintf(stderr, "tarvisk.exe did not show its window\n");
        return 1;
    }
    WaitForInputIdle(run.Process(), kWaitMs);
    Sleep(500);
    const Footprint started = FootprintOf(run.Process());
    const int firstPass = std::min(lookups, static_cast<int>(characters.size()));
    bool answered =
        Send(GetDlgItem(main, IDC_SHOWPINYIN), BM_CLICK, 0, 0) && TypeCharacters(main, characters, firstPass);
    Sleep(500);
    const Footprint warm = FootprintOf(run.Process());
    const double lookupStart = NowMs();
    answered = answered && TypeCharacters(main, characters, lookups);
    const double lookupMs = NowMs() - lookupStart;
    Sleep(500);
    const Footprint after = FootprintOf(run.Process());
    if (!answered) {
        std::fprintf(stderr, "tarvisk.exe stopped answering the lookups\n");
        return 1;
    }
    Press(main, IDC_EXITBTN);
    run.WaitForExit(kWaitMs);

    const std::string n = std::to_string(lookups), distinct = std::to_string(firstPass);
    const std::string median = "median of " + std::to_string(runs) + " (ms)";
    for (const auto& [what, times] : {std::pair{"start-up to the visible window, ", visible},
                                      std::pair{"start-up until painted and waiting for input, ", ready}}) {
        const double ours = Median(times[0]), yardstick = Median(times[1]);
        Row(what + median + Utf8(u8", Tarvisk ÷ bare"), Fixed(ours, 0), Fixed(yardstick, 0) + " (bare dialog)",
            Fixed(ours / yardstick, 2), times == visible ? Utf8(u8"≤ 1.3") : "");
    }
    Row("working set after start-up (MB)", Fixed(started.workingSetMb, 1));
    Row("working set after typing each of " + distinct + " characters once (MB)", Fixed(warm.workingSetMb, 1), "",
        Fixed(warm.workingSetMb - started.workingSetMb, 2, "+"));
    Row("working set after " + n + " more lookups (MB)", Fixed(after.workingSetMb, 1), "",
        Fixed(after.workingSetMb - warm.workingSetMb, 2, "+") + " (" +
            Fixed(after.workingSetMb - started.workingSetMb, 2, "+") + " since start-up)",
        Utf8(u8"≤ +1"));
    Row("GDI objects / windows: after start-up, once warm, at the end", Counts(started.ui) + ", " + Counts(warm.ui) +
        ", " + Counts(after.ui));
    Row("one lookup typed from another process, round trip (ms)", Fixed(lookupMs / lookups, 2));
    return 0;
}
