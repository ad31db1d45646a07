// The application object: sets the colours of every dialog, lets only one copy of the program run, and runs the
// main window modally for the whole life of the program.
#pragma once

#include <windows.h>

#include "framework/Application.h"
#include "framework/Handles.h"

class LookupApp : public fw::Application {
public:
    LookupApp();  // names the help: "tarvisk.chm" and its HTML copy "tarvisk-help\index.htm"

    BOOL InitInstance() override;
    int ExitInstance() override;
    // Opens the help, and says so when there is none to open.
    void OnHelp() override;

    // The named mutex that marks a running copy: opened when another copy runs, created (and owned) otherwise.
    // Held until the process ends, so the name disappears only then.
    fw::UniqueKernelHandle instanceMutex;
};
