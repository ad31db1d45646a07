// The platform seam: the calls that wait for a person or reach outside the process.
//
// Message boxes, beeps, the shell, the notification area, global hotkeys, popup-menu tracking, registry reads, the
// version queries and the question whether the program runs under Wine all go through Sys(). The real implementation calls Win32; a test installs a recording fake that
// answers from a script, so a test never blocks on a message box or launches a program, and can check exactly what
// the program asked of the platform. Everything else is called directly.
//
// Texts cross the seam as GBK bytes, like every other string of the program.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace fw {

class Platform {
public:
    virtual ~Platform() = default;

    virtual int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) = 0;
    virtual BOOL MessageBeep(UINT type) = 0;

    // ShellExecute's result code: above 32 is success.
    virtual INT_PTR ShellExecute(HWND owner, const std::string& verb, const std::string& file,
                                 const std::string& parameters, const std::string& directory, int show) = 0;
    // ShellExecuteEx with a zeroed record: mask, verb, file and show command; no owner window.
    virtual BOOL ShellExecuteEx(ULONG mask, const std::string& verb, const std::string& file, int show) = 0;
    virtual UINT WinExec(const std::string& commandLine, UINT show) = 0;

    virtual BOOL ShellNotifyIcon(DWORD message, NOTIFYICONDATAW* data) = 0;

    virtual BOOL RegisterHotKey(HWND window, int id, UINT modifiers, UINT virtualKey) = 0;
    virtual BOOL UnregisterHotKey(HWND window, int id) = 0;

    // TrackPopupMenu; with TPM_RETURNCMD the chosen command id (0 when dismissed).
    virtual BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner) = 0;

    // Reads the default (unnamed) value of root\subKey opened with `access`; ERROR_SUCCESS or a registry error code.
    // A string value only (REG_SZ, or REG_EXPAND_SZ as stored, unexpanded); its type goes to `type` unless null.
    virtual LONG ReadRegistryDefault(HKEY root, const std::string& subKey, REGSAM access, std::string& value,
                                     DWORD* type) = 0;

    virtual DWORD GetVersion() = 0;
    virtual BOOL GetVersionEx(OSVERSIONINFOA* info) = 0;

    // True when the program runs under Wine (ntdll exports wine_get_version there).
    virtual bool RunsUnderWine() = 0;
};

// The platform in force: the real one unless a test has installed another.
Platform& Sys();

// Installs `platform` (nullptr puts the real one back) and returns the one that was in force.
Platform* SetPlatform(Platform* platform);

// The real platform, for fakes that pass some calls through.
Platform& RealPlatform();

}  // namespace fw
