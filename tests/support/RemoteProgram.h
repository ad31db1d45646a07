// Another Windows program started and watched from this process, as the whole-program tests and the start-up
// benchmark drive tarvisk.exe: started in a working folder, its windows found by process, class and caption, its
// controls read across the process boundary.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

// Wine maps the Unix root to drive Z:, so a path given by the build works as Z:\path.
std::wstring WindowsPath(const std::string& path);

// A control's text in another process (plain GetWindowText cannot read another process's controls).
std::wstring RemoteText(HWND window);

// One run of a program; ended by force if it is still running when the object goes.
class RemoteProgram {
public:
    RemoteProgram(const std::wstring& program, const std::wstring& folder);
    ~RemoteProgram();
    RemoteProgram(const RemoteProgram&) = delete;
    RemoteProgram& operator=(const RemoteProgram&) = delete;

    bool Started() const { return started_ != FALSE; }
    HANDLE Process() const { return process_.hProcess; }

    // A visible top-level window of this process: of that class (nullptr: any) and with that caption, waited for.
    HWND WaitForWindow(const wchar_t* className, const std::wstring& caption, DWORD limitMs = 10000) const;
    // Its first visible top-level window, if it has one now (asks the window nothing, so it never waits).
    HWND VisibleWindow() const;

    bool WaitForExit(DWORD limitMs = 10000) const;

private:
    PROCESS_INFORMATION process_{};
    BOOL started_ = FALSE;
};

}  // namespace testing_support
