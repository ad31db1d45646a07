#include "tests/support/UiObjectCounts.h"

#include <windows.h>
#include <winternl.h>

#include <cstdlib>
#include <vector>

namespace testing_support {
namespace {

// Wine's GDI handle table (PEB field at 0xF8 on x64): 64K entries of 24 bytes, the object's type byte at offset 14,
// zero for a free entry. Read as another process's memory, so it serves any process.
long CountWineGdiEntries(HANDLE process) {
    using QueryProcess = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<QueryProcess>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic{};
    if (!query || query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) return -1;
    const unsigned char* table = nullptr;
    const auto* peb = reinterpret_cast<const unsigned char*>(basic.PebBaseAddress);
    if (!ReadProcessMemory(process, peb + 0xF8, &table, sizeof table, nullptr) || !table) return -1;
    std::vector<unsigned char> entries(0x10000 * 24);
    if (!ReadProcessMemory(process, table, entries.data(), entries.size(), nullptr)) return -1;
    long live = 0;
    for (std::size_t i = 0; i < 0x10000; ++i)
        if (entries[i * 24 + 14] != 0) ++live;
    return live;
}

// Wine's USER handles are 0x20, 0x22, ... 0xFFEE, generation bits above; a handle without them names the entry.
long CountWineMenusAndIcons() {
    long live = 0;
    for (ULONG_PTR value = 0x20; value <= 0xFFEE; value += 2) {
        ICONINFO info{};
        if (IsMenu(reinterpret_cast<HMENU>(value))) {
            ++live;
        } else if (GetIconInfo(reinterpret_cast<HICON>(value), &info)) {
            ++live;
            DeleteObject(info.hbmMask);
            if (info.hbmColor) DeleteObject(info.hbmColor);
        }
    }
    return live;
}

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<long*>(count);
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM count) {
    ++*reinterpret_cast<long*>(count);
    EnumChildWindows(window, CountChild, count);
    return TRUE;
}

struct ProcessWindows {
    DWORD process;
    long count;
};

BOOL CALLBACK CountTopLevelOfProcess(HWND window, LPARAM lParam) {
    auto* windows = reinterpret_cast<ProcessWindows*>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == windows->process) CountTopLevel(window, reinterpret_cast<LPARAM>(&windows->count));
    return TRUE;
}

bool UnderWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

}  // namespace

std::string UiObjectCounts::Describe() const {
    return "GDI objects " + std::to_string(gdiObjects) + ", windows " + std::to_string(windows) + ", USER objects " +
           std::to_string(userObjects);
}

UiObjectCounts CountUiObjects() {
    UiObjectCounts counts;
    EnumThreadWindows(GetCurrentThreadId(), CountTopLevel, reinterpret_cast<LPARAM>(&counts.windows));
    if (UnderWine()) {
        counts.gdiObjects = CountWineGdiEntries(GetCurrentProcess());
        counts.userObjects = counts.windows + CountWineMenusAndIcons();
    } else {
        counts.gdiObjects = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
        counts.userObjects = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
    }
    return counts;
}

UiObjectCounts CountUiObjects(HANDLE process) {
    UiObjectCounts counts;
    ProcessWindows windows{GetProcessId(process), 0};
    EnumWindows(CountTopLevelOfProcess, reinterpret_cast<LPARAM>(&windows));
    counts.windows = windows.count;
    if (UnderWine()) {
        counts.gdiObjects = CountWineGdiEntries(process);
    } else {
        counts.gdiObjects = static_cast<long>(GetGuiResources(process, GR_GDIOBJECTS));
        counts.userObjects = static_cast<long>(GetGuiResources(process, GR_USEROBJECTS));
    }
    return counts;
}

int RoundsFromEnvironment(const char* variable, int testCommandRounds) {
    const char* value = std::getenv(variable);
    return value && *value ? std::atoi(value) : testCommandRounds;
}

}  // namespace testing_support
