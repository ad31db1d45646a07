#include "tests/support/RecordingPlatform.h"

#include <algorithm>

#include "framework/Text.h"

namespace testing_support {

std::vector<PlatformCall> RecordingPlatform::CallsNamed(const std::string& name) const {
    std::vector<PlatformCall> found;
    for (const PlatformCall& call : calls)
        if (call.name == name) found.push_back(call);
    return found;
}

int RecordingPlatform::CountOf(const std::string& name) const {
    return static_cast<int>(std::count_if(calls.begin(), calls.end(),
                                          [&](const PlatformCall& call) { return call.name == name; }));
}

int RecordingPlatform::MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) {
    calls.push_back({"MessageBox", {text, caption}, {static_cast<long long>(type)}, owner});
    if (onMessageBox) return onMessageBox(calls.back());
    if (passMessageBoxesToSystem) return fw::RealPlatform().MessageBox(owner, text, caption, type);
    if (messageBoxAnswers.empty()) return IDOK;
    const int answer = messageBoxAnswers.front();
    messageBoxAnswers.pop_front();
    return answer;
}

BOOL RecordingPlatform::MessageBeep(UINT type) {
    calls.push_back({"MessageBeep", {}, {static_cast<long long>(type)}, nullptr});
    return TRUE;
}

INT_PTR RecordingPlatform::ShellExecute(HWND owner, const std::string& verb, const std::string& file,
                                        const std::string& parameters, const std::string& directory, int show) {
    calls.push_back({"ShellExecute", {verb, file, parameters, directory}, {show}, owner});
    return shellExecuteResult;
}

BOOL RecordingPlatform::ShellExecuteEx(ULONG mask, const std::string& verb, const std::string& file, int show) {
    calls.push_back({"ShellExecuteEx", {verb, file}, {static_cast<long long>(mask), show}, nullptr});
    return shellExecuteExResult;
}

UINT RecordingPlatform::WinExec(const std::string& commandLine, UINT show) {
    calls.push_back({"WinExec", {commandLine}, {static_cast<long long>(show)}, nullptr});
    return winExecResult;
}

BOOL RecordingPlatform::ShellNotifyIcon(DWORD message, NOTIFYICONDATAW* data) {
    PlatformCall call{"ShellNotifyIcon", {}, {static_cast<long long>(message)}, data ? data->hWnd : nullptr};
    if (data) {
        call.text.push_back(fw::Narrow(data->szTip));
        call.numbers.push_back(data->uID);
        call.numbers.push_back(data->uFlags);
        call.numbers.push_back(data->uCallbackMessage);
        call.numbers.push_back(data->cbSize);
        call.numbers.push_back(reinterpret_cast<long long>(data->hIcon));
    }
    calls.push_back(call);
    if (passNotifyIconToSystem) return fw::RealPlatform().ShellNotifyIcon(message, data);
    return TRUE;
}

BOOL RecordingPlatform::RegisterHotKey(HWND window, int id, UINT modifiers, UINT virtualKey) {
    calls.push_back({"RegisterHotKey", {}, {id, static_cast<long long>(modifiers), static_cast<long long>(virtualKey)},
                     window});
    for (const auto& [heldModifiers, heldKey] : heldHotkeys)
        if (heldModifiers == modifiers && heldKey == virtualKey) return FALSE;
    if (passHotkeysToSystem) return fw::RealPlatform().RegisterHotKey(window, id, modifiers, virtualKey);
    return TRUE;
}

BOOL RecordingPlatform::UnregisterHotKey(HWND window, int id) {
    calls.push_back({"UnregisterHotKey", {}, {id}, window});
    if (passHotkeysToSystem) return fw::RealPlatform().UnregisterHotKey(window, id);
    return TRUE;
}

BOOL RecordingPlatform::TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner) {
    calls.push_back({"TrackPopupMenu", {}, {static_cast<long long>(flags), x, y}, owner});
    if (onTrackPopupMenu) return static_cast<BOOL>(onTrackPopupMenu(menu, owner));
    if (menuAnswers.empty()) return 0;
    const UINT answer = menuAnswers.front();
    menuAnswers.pop_front();
    return static_cast<BOOL>(answer);
}

LONG RecordingPlatform::ReadRegistryDefault(HKEY, const std::string& subKey, REGSAM access, std::string& value,
                                            DWORD* type) {
    calls.push_back({"ReadRegistryDefault", {subKey}, {static_cast<long long>(access)}, nullptr});
    for (const RegistryValue& stored : registryValues) {
        if (stored.subKey == subKey) {
            value = stored.value;
            if (type) *type = stored.type;
            return ERROR_SUCCESS;
        }
    }
    value.clear();
    return registryStatus;
}

DWORD RecordingPlatform::GetVersion() {
    calls.push_back({"GetVersion", {}, {}, nullptr});
    return version;
}

BOOL RecordingPlatform::GetVersionEx(OSVERSIONINFOA* info) {
    calls.push_back({"GetVersionEx", {}, {}, nullptr});
    if (!info) return FALSE;
    const DWORD size = info->dwOSVersionInfoSize;
    *info = versionEx;
    info->dwOSVersionInfoSize = size;
    return TRUE;
}

bool RecordingPlatform::RunsUnderWine() {
    calls.push_back({"RunsUnderWine", {}, {}, nullptr});
    return underWine;
}

void AnswerMenusWithKeys(RecordingPlatform& platform, std::vector<WPARAM> keys) {
    platform.onTrackPopupMenu = [keys = std::move(keys)](HMENU menu, HWND owner) {
        for (WPARAM key : keys) {
            const bool typed = (key >= 'a' && key <= 'z') || key == '\r';
            PostThreadMessageW(GetCurrentThreadId(), typed ? WM_CHAR : WM_KEYDOWN, key, 0);
        }
        PostThreadMessageW(GetCurrentThreadId(), WM_KEYDOWN, VK_ESCAPE, 0);
        const UINT chosen = fw::RealPlatform().TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RETURNCMD, 120, 120, owner);
        MSG left;  // the Escape a chosen command did not need
        while (PeekMessageW(&left, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
        }
        return chosen;
    };
}

}  // namespace testing_support
