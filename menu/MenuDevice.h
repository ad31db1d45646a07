// The window whose DC the icon menu measures text and prepares pictures on: the application's main window, or the
// desktop window before there is one.
#pragma once

#include <windows.h>

#include "framework/Application.h"
#include "framework/Window.h"

inline HWND MenuReferenceWindow() {
    const fw::Application* app = fw::Application::Current();
    if (app && app->mainWindow && app->mainWindow->GetSafeHwnd()) return app->mainWindow->GetSafeHwnd();
    return GetDesktopWindow();
}
