// A platform for tests: records every call the program makes through the seam and answers from a script.
//
// Install it for the length of a test with PlatformScope. Message boxes answer from `messageBoxAnswers` (first in,
// first out; IDOK when the script is empty) or show for real, menus from `menuAnswers` (0, "dismissed", when empty);
// shell calls succeed unless told otherwise; hotkey registrations succeed unless their combination is in
// `heldHotkeys`.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "framework/Platform.h"

namespace testing_support {

struct PlatformCall {
    std::string name;               // "MessageBox", "RegisterHotKey", ...
    std::vector<std::string> text;  // the call's texts, GBK, in argument order
    std::vector<long long> numbers; // the call's numbers (styles, ids, flags, keys), in argument order
    HWND window = nullptr;          // the owner or target window, when the call has one
};

class RecordingPlatform : public fw::Platform {
public:
    std::vector<PlatformCall> calls;

    std::deque<int> messageBoxAnswers;
    // Runs instead of answering from the script when set (for a test that wants to act while the box is "open").
    std::function<int(const PlatformCall&)> onMessageBox;
    bool passMessageBoxesToSystem = false;  // show the real box, modal over its owner, and answer what was chosen there
    std::deque<UINT> menuAnswers;
    std::function<UINT(HMENU, HWND)> onTrackPopupMenu;
    INT_PTR shellExecuteResult = 42;
    BOOL shellExecuteExResult = TRUE;
    UINT winExecResult = 33;
    std::vector<std::pair<UINT, UINT>> heldHotkeys;  // (modifiers, key) that "another program" holds
    bool passHotkeysToSystem = false;                 // also register for real, so real WM_HOTKEY arrives
    bool passNotifyIconToSystem = false;
    LONG registryStatus = ERROR_FILE_NOT_FOUND;
    struct RegistryValue {
        std::string subKey;  // root-relative
        std::string value;   // the default value
        DWORD type = REG_SZ;
    };
    std::vector<RegistryValue> registryValues;
    DWORD version = 0x0A280105;  // what GetVersion answers: an XP-like 5.1
    OSVERSIONINFOA versionEx{};
    bool underWine = false;      // what RunsUnderWine answers

    // Calls named `name`, in order.
    std::vector<PlatformCall> CallsNamed(const std::string& name) const;
    int CountOf(const std::string& name) const;
    void Clear() { calls.clear(); }

    int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) override;
    BOOL MessageBeep(UINT type) override;
    INT_PTR ShellExecute(HWND owner, const std::string& verb, const std::string& file, const std::string& parameters,
                         const std::string& directory, int show) override;
    BOOL ShellExecuteEx(ULONG mask, const std::string& verb, const std::string& file, int show) override;
    UINT WinExec(const std::string& commandLine, UINT show) override;
    BOOL ShellNotifyIcon(DWORD message, NOTIFYICONDATAW* data) override;
    BOOL RegisterHotKey(HWND window, int id, UINT modifiers, UINT virtualKey) override;
    BOOL UnregisterHotKey(HWND window, int id) override;
    BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner) override;
    LONG ReadRegistryDefault(HKEY root, const std::string& subKey, REGSAM access, std::string& value,
                             DWORD* type) override;
    DWORD GetVersion() override;
    BOOL GetVersionEx(OSVERSIONINFOA* info) override;
    bool RunsUnderWine() override;
};

// The real menus, tracked by the system, answered from the keyboard: each time the program tracks a menu, `keys`
// (letters and '\r' as typed characters, other keys as key presses) wait in the thread's queue for the menu's own
// loop, and an Escape after them closes a menu they left open.
void AnswerMenusWithKeys(RecordingPlatform& platform, std::vector<WPARAM> keys);

// Installs a platform for one scope and puts the previous one back.
class PlatformScope {
public:
    explicit PlatformScope(fw::Platform& platform) : previous_(fw::SetPlatform(&platform)) {}
    ~PlatformScope() { fw::SetPlatform(previous_ == &fw::RealPlatform() ? nullptr : previous_); }
    PlatformScope(const PlatformScope&) = delete;
    PlatformScope& operator=(const PlatformScope&) = delete;

private:
    fw::Platform* previous_;
};

}  // namespace testing_support
