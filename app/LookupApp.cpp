#include "app/LookupApp.h"

#include <shellapi.h>

#include <string>

#include "app/MainDialog.h"

namespace {

constexpr const wchar_t* kInstanceMutexName = L"TarviskInstance";

}  // namespace

LookupApp::LookupApp() { help = {"tarvisk.chm", "tarvisk-help\\index.htm"}; }

BOOL LookupApp::InitInstance() {
    SetDialogBkColor(RGB(49, 106, 197), RGB(255, 255, 255));

    // Open, then create: two copies started in the same instant can both run; nothing more is needed here.
    instanceMutex.reset(OpenMutexW(MUTEX_ALL_ACCESS, FALSE, kInstanceMutexName));
    if (instanceMutex) {
        fw::AppMessageBox("已经有一个Tarvisk在运行了！", MB_ICONEXCLAMATION);
        return FALSE;
    }
    instanceMutex.reset(CreateMutexW(nullptr, TRUE, kInstanceMutexName));

    MainDialog mainDialog;
    mainWindow = &mainDialog;
    mainDialog.DoModal();
    mainWindow = nullptr;
    return FALSE;
}

void LookupApp::OnHelp() {
    INT_PTR code = 0;
    if (OpenHelp(&code)) return;
    const std::string& document = help.document;
    if (code == SE_ERR_FNF || code == SE_ERR_PNF)
        fw::AppMessageBox("找不到帮助文件 " + document + "。它应当和 86.dll 等词典文件放在同一个文件夹里。",
                          MB_ICONEXCLAMATION);
    else
        fw::AppMessageBox("无法打开帮助文件 " + document + "（错误 " + std::to_string(code) + "）。",
                          MB_ICONEXCLAMATION);
}

int LookupApp::ExitInstance() {
    // In a second copy the handle came from OpenMutexW and is not owned; that release fails harmlessly.
    if (instanceMutex) ReleaseMutex(instanceMutex.get());
    return fw::Application::ExitInstance();
}
