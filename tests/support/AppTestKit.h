// Helpers for tests of the main window and the whole program: a fresh working folder with small dictionaries,
// file bytes, a message pump with a deadline, and a driver for windows that open modally inside a handler.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// A new empty folder under the temporary folder, made the current directory for the object's life; removed with
// everything in it afterwards, and the previous current directory restored.
class TempWorkFolder {
public:
    TempWorkFolder();
    ~TempWorkFolder();
    TempWorkFolder(const TempWorkFolder&) = delete;
    TempWorkFolder& operator=(const TempWorkFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring previous_;
    std::wstring path_;
};

// GBK bytes of a UTF-16 text (the dictionaries and the program's own strings are GBK).
std::string Gbk(const std::wstring& text);

bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
// Empty when the file cannot be read.
std::vector<std::uint8_t> ReadFileBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);
// Removes a file or an empty folder.
void RemovePath(const std::wstring& path);
// Removes a folder and everything below it.
void RemoveTree(const std::wstring& path);

// Dispatches this thread's messages until `done` answers true or the time is up; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, DWORD limitMs = 5000);

// Window text through the wide API.
std::wstring TextOf(HWND window);

// Once a visible top-level window of this thread with the given caption exists, runs `action` on it (from a thread
// timer, so it also runs inside the modal loop of a dialog that a handler opened). If the window is still there
// `closeAfterMs` later, it is sent IDCANCEL so a failing test ends instead of hanging. One driver at a time.
class WindowDriver {
public:
    WindowDriver(std::wstring caption, std::function<void(HWND)> action,
                 DWORD closeAfterMs = 5000);
    // The same for a window without a caption: `find` answers the window once it is there (nullptr until then).
    WindowDriver(std::function<HWND()> find, std::function<void(HWND)> action, DWORD closeAfterMs = 5000);
    ~WindowDriver();
    WindowDriver(const WindowDriver&) = delete;
    WindowDriver& operator=(const WindowDriver&) = delete;

    bool Ran() const { return ran_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void Poll();

    std::function<HWND()> find_;
    std::function<void(HWND)> action_;
    ULONGLONG started_;
    ULONGLONG ranAt_ = 0;
    DWORD closeAfterMs_;
    UINT_PTR timer_ = 0;
    bool ran_ = false;
};

}  // namespace testing_support
