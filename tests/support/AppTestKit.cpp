#include "tests/support/AppTestKit.h"


#include "framework/Handles.h"
#include "framework/Text.h"
#include "framework/Window.h"

namespace testing_support {

TempWorkFolder::TempWorkFolder() {
    wchar_t buffer[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, buffer);
    previous_ = buffer;
    GetTempPathW(MAX_PATH, buffer);
    std::wstring base = buffer;
    for (unsigned attempt = 0;; ++attempt) {
        path_ = base + L"tarvisk-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(attempt);
        if (CreateDirectoryW(path_.c_str(), nullptr)) break;
    }
    SetCurrentDirectoryW(path_.c_str());
}

TempWorkFolder::~TempWorkFolder() {
    SetCurrentDirectoryW(previous_.c_str());
    RemoveTree(path_);
}

std::string Gbk(const std::wstring& text) { return fw::Narrow(text); }

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    fw::UniqueFile file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

std::vector<std::uint8_t> ReadFileBytes(const std::wstring& path) {
    fw::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    std::vector<std::uint8_t> bytes(GetFileSize(file.get(), nullptr));
    DWORD read = 0;
    if (!bytes.empty() && !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return {};
    bytes.resize(read);
    return bytes;
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void RemovePath(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveDirectoryW(path.c_str());
    else
        DeleteFileW(path.c_str());
}

void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW entry{};
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileW(child.c_str());
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

bool PumpUntil(const std::function<bool()>& done, DWORD limitMs) {
    const ULONGLONG deadline = GetTickCount64() + limitMs;
    while (!done()) {
        if (GetTickCount64() >= deadline) return false;
        MSG message;
        bool any = false;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            any = true;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (!any) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

std::wstring TextOf(HWND window) { return fw::WindowTextW(window); }

namespace {

WindowDriver* activeDriver = nullptr;

struct Search {
    const std::wstring* caption;
    HWND found;
};

BOOL CALLBACK MatchCaption(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    if (IsWindowVisible(window) && TextOf(window) == *search->caption) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

WindowDriver::WindowDriver(std::wstring caption, std::function<void(HWND)> action,
                           DWORD closeAfterMs)
    : WindowDriver(
          [caption = std::move(caption)] {
              Search search{&caption, nullptr};
              EnumThreadWindows(GetCurrentThreadId(), MatchCaption, reinterpret_cast<LPARAM>(&search));
              return search.found;
          },
          std::move(action), closeAfterMs) {}

WindowDriver::WindowDriver(std::function<HWND()> find, std::function<void(HWND)> action, DWORD closeAfterMs)
    : find_(std::move(find)), action_(std::move(action)), started_(GetTickCount64()), closeAfterMs_(closeAfterMs) {
    activeDriver = this;
    timer_ = SetTimer(nullptr, 0, 20, &WindowDriver::Tick);
}

WindowDriver::~WindowDriver() {
    if (timer_) KillTimer(nullptr, timer_);
    if (activeDriver == this) activeDriver = nullptr;
}

void CALLBACK WindowDriver::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (activeDriver) activeDriver->Poll();
}

void WindowDriver::Poll() {
    const HWND found = find_();
    const ULONGLONG now = GetTickCount64();
    if (!ran_) {
        if (found) {
            ran_ = true;
            ranAt_ = now;
            action_(found);
        } else if (now - started_ > closeAfterMs_) {
            KillTimer(nullptr, timer_);
            timer_ = 0;
        }
        return;
    }
    if (!found) {
        KillTimer(nullptr, timer_);
        timer_ = 0;
    } else if (now - ranAt_ > closeAfterMs_) {
        PostMessageW(found, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        ranAt_ = now;
    }
}

}  // namespace testing_support
