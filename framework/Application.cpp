#include "framework/Application.h"

#include <commctrl.h>
#include <objbase.h>
#include <ole2.h>

#include "framework/Dialog.h"
#include "framework/Platform.h"
#include "framework/Text.h"

namespace fw {
namespace {

Application* theApplication = nullptr;

// The full path of an existing file, in GBK; empty when the file is missing or its path has no GBK form.
std::string ExistingFullPath(const std::string& name) {
    const std::wstring wide = Widen(name);
    const DWORD length = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (length == 0) return {};
    std::wstring full(length, L'\0');
    const DWORD copied = GetFullPathNameW(wide.c_str(), length, full.data(), nullptr);
    full.resize(copied < length ? copied : 0);
    const DWORD attributes = full.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(full.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
    std::string gbk;
    return NarrowExact(full, gbk) ? gbk : std::string();
}

std::string ModuleBaseName() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path, length);
    const auto slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    const auto dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos) name.erase(dot);
    return Narrow(name);
}

}  // namespace

Application::Application() : appName_(ModuleBaseName()) { theApplication = this; }

Application::~Application() {
    if (theApplication == this) theApplication = nullptr;
}

Application* Application::Current() { return theApplication; }

BOOL Application::InitInstance() { return TRUE; }

int Application::ExitInstance() { return 0; }

bool Application::OpenHelp(INT_PTR* shellCode) {
    Platform& platform = Sys();
    if (!help.htmlStartPage.empty() && platform.RunsUnderWine()) {
        const std::string page = ExistingFullPath(help.htmlStartPage);
        if (!page.empty() &&
            platform.ShellExecute(nullptr, "open", "winebrowser", "\"" + page + "\"", "", SW_SHOWNORMAL) > 32)
            return true;
    }
    // Relative on purpose: the help lies beside the dictionaries, in the working directory.
    if (help.document.empty()) return false;
    const INT_PTR code = platform.ShellExecute(nullptr, "", help.document, "", "", SW_SHOWNORMAL);
    if (shellCode) *shellCode = code;
    return code > 32;
}

void Application::OnHelp() { OpenHelp(); }

void Application::SetDialogBkColor(COLORREF background, COLORREF text) { SetDialogColours(background, text); }

int Application::Run() {
    if (InitInstance()) {
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return ExitInstance();
}

HINSTANCE ResourceModule() { return GetModuleHandleW(nullptr); }

int AppMessageBox(const std::string& text, UINT type) {
    HWND owner = nullptr;
    if (Application* app = Application::Current(); app && app->mainWindow) owner = app->mainWindow->GetSafeHwnd();
    return AppMessageBox(owner, text, type);
}

int AppMessageBox(HWND owner, const std::string& text, UINT type) {
    const std::string caption = Application::Current() ? Application::Current()->AppName() : std::string();
    return Sys().MessageBox(owner, text, caption, type);
}

int RunApplication() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_HOTKEY_CLASS};
    InitCommonControlsEx(&controls);
    const HRESULT ole = OleInitialize(nullptr);
    int exitCode = 1;
    if (Application* app = Application::Current()) exitCode = app->Run();
    if (SUCCEEDED(ole)) OleUninitialize();
    return exitCode;
}

}  // namespace fw
