#include "app/LookupApp.h"

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

int LookupApp::ExitInstance() {
    // In a second copy the handle came from OpenMutexW and is not owned; that release fails harmlessly.
    if (instanceMutex) ReleaseMutex(instanceMutex.get());
    return fw::Application::ExitInstance();
}
