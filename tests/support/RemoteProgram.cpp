#include "tests/support/RemoteProgram.h"

#include <cwchar>

namespace testing_support {
namespace {

struct Search {
    DWORD process;
    const wchar_t* className;
    const std::wstring* caption;  // nullptr: any
    HWND window;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || !IsWindowVisible(window)) return TRUE;
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (search->className && std::wcscmp(className, search->className) != 0) return TRUE;
    if (search->caption && *search->caption != RemoteText(window)) return TRUE;
    search->window = window;
    return FALSE;
}

}  // namespace

std::wstring WindowsPath(const std::string& path) {
    std::wstring wide(path.begin(), path.end());
    for (wchar_t& c : wide)
        if (c == L'/') c = L'\\';
    return !wide.empty() && wide[0] == L'\\' ? L"Z:" + wide : wide;
}

std::wstring RemoteText(HWND window) {
    wchar_t text[512] = {};
    SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

RemoteProgram::RemoteProgram(const std::wstring& program, const std::wstring& folder) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + program + L"\"";
    started_ = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              folder.c_str(), &startup, &process_);
}

RemoteProgram::~RemoteProgram() {
    if (!started_) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 10000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

HWND RemoteProgram::WaitForWindow(const wchar_t* className, const std::wstring& caption, DWORD limitMs) const {
    const ULONGLONG deadline = GetTickCount64() + limitMs;
    do {
        Search search{process_.dwProcessId, className, &caption, nullptr};
        EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
        if (search.window) return search.window;
        Sleep(30);
    } while (GetTickCount64() < deadline);
    return nullptr;
}

HWND RemoteProgram::VisibleWindow() const {
    Search search{process_.dwProcessId, nullptr, nullptr, nullptr};
    EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.window;
}

bool RemoteProgram::WaitForExit(DWORD limitMs) const {
    return WaitForSingleObject(process_.hProcess, limitMs) == WAIT_OBJECT_0;
}

}  // namespace testing_support
