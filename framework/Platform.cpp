#include "framework/Platform.h"

#include "framework/Handles.h"
#include "framework/Text.h"

namespace fw {
namespace {

class Win32Platform final : public Platform {
public:
    int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) override {
        return ::MessageBoxW(owner, Widen(text).c_str(), Widen(caption).c_str(), type);
    }

    BOOL MessageBeep(UINT type) override { return ::MessageBeep(type); }

    INT_PTR ShellExecute(HWND owner, const std::string& verb, const std::string& file, const std::string& parameters,
                         const std::string& directory, int show) override {
        const std::wstring wideVerb = Widen(verb), wideFile = Widen(file), wideParameters = Widen(parameters),
                           wideDirectory = Widen(directory);
        HINSTANCE result = ::ShellExecuteW(owner, verb.empty() ? nullptr : wideVerb.c_str(), wideFile.c_str(),
                                         parameters.empty() ? nullptr : wideParameters.c_str(),
                                         directory.empty() ? nullptr : wideDirectory.c_str(), show);
        return reinterpret_cast<INT_PTR>(result);
    }

    BOOL ShellExecuteEx(ULONG mask, const std::string& verb, const std::string& file, int show) override {
        const std::wstring wideVerb = Widen(verb), wideFile = Widen(file);
        SHELLEXECUTEINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = mask;
        info.lpVerb = verb.empty() ? nullptr : wideVerb.c_str();
        info.lpFile = wideFile.c_str();
        info.nShow = show;
        return ::ShellExecuteExW(&info);
    }

    UINT WinExec(const std::string& commandLine, UINT show) override {
        // WinExec has no wide form; CreateProcessW with the same show command gives its result codes.
        std::wstring command = Widen(commandLine);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(show);
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process)) {
            switch (GetLastError()) {
            case ERROR_FILE_NOT_FOUND: return ERROR_FILE_NOT_FOUND;
            case ERROR_PATH_NOT_FOUND: return ERROR_PATH_NOT_FOUND;
            case ERROR_BAD_EXE_FORMAT: return ERROR_BAD_FORMAT;
            default: return 0;
            }
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return 33;
    }

    BOOL ShellNotifyIcon(DWORD message, NOTIFYICONDATAW* data) override { return Shell_NotifyIconW(message, data); }

    BOOL RegisterHotKey(HWND window, int id, UINT modifiers, UINT virtualKey) override {
        return ::RegisterHotKey(window, id, modifiers, virtualKey);
    }

    BOOL UnregisterHotKey(HWND window, int id) override { return ::UnregisterHotKey(window, id); }

    BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner) override {
        return ::TrackPopupMenu(menu, flags, x, y, 0, owner, nullptr);
    }

    LONG ReadRegistryDefault(HKEY root, const std::string& subKey, REGSAM access, std::string& value,
                             DWORD* valueType) override {
        value.clear();
        HKEY raw = nullptr;
        LONG status = RegOpenKeyExW(root, Widen(subKey).c_str(), 0, access, &raw);
        if (status != ERROR_SUCCESS) return status;
        UniqueRegKey key(raw);
        wchar_t buffer[MAX_PATH] = {};
        DWORD type = REG_SZ;
        DWORD size = sizeof buffer - sizeof(wchar_t);
        status = RegQueryValueExW(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
        if (status != ERROR_SUCCESS) return status;
        if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_INVALID_DATA;
        value = Narrow(std::wstring_view(buffer, wcsnlen(buffer, MAX_PATH)));
        if (valueType) *valueType = type;
        return ERROR_SUCCESS;
    }

    DWORD GetVersion() override {
        OSVERSIONINFOA info{};
        info.dwOSVersionInfoSize = sizeof info;
        // GetVersion's own packing (major in the low byte, minor in the next, NT family with the high bit clear),
        // built from GetVersionExA so that the compiler's deprecation of GetVersion does not matter.
        if (!::GetVersionExA(&info)) return 0;
        DWORD packed = (info.dwMinorVersion & 0xFF) << 8 | (info.dwMajorVersion & 0xFF);
        packed |= (info.dwBuildNumber & 0x7FFF) << 16;
        if (info.dwPlatformId != VER_PLATFORM_WIN32_NT) packed |= 0x80000000u;
        return packed;
    }

    BOOL GetVersionEx(OSVERSIONINFOA* info) override { return ::GetVersionExA(info); }

    bool RunsUnderWine() override {
        HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
    }
};

Win32Platform& Real() {
    static Win32Platform platform;
    return platform;
}

Platform* current = nullptr;

}  // namespace

Platform& Sys() { return current ? *current : Real(); }

Platform& RealPlatform() { return Real(); }

Platform* SetPlatform(Platform* platform) {
    Platform* previous = &Sys();
    current = platform;
    return previous;
}

}  // namespace fw
