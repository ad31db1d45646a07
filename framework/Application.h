// The application object: one per process, constructed statically by the program, run by WinMain.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

class Window;

// The standard Help command. A dialog sends it to itself when the user asks for help (F1); unless the dialog
// handles it, it ends in the application's OnHelp.
inline constexpr UINT kHelpCommand = 57670;

// The program's help, named relative to the working directory: the compiled help document, and the start page of a
// copy of its pages as plain HTML (empty: none).
struct HelpFiles {
    std::string document;
    std::string htmlStartPage;
};

class Application {
public:
    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The program's start: return FALSE to end without running a message loop of the application's own.
    virtual BOOL InitInstance();
    // The process exit code.
    virtual int ExitInstance();

    // Every dialog of the program paints `background` and draws its static texts, check boxes, radio buttons and
    // group boxes in `text`; edit boxes and message boxes keep the system colours.
    void SetDialogBkColor(COLORREF background, COLORREF text);

    // Opens the help: the compiled document through the shell. Under Wine, whose help viewer shows the contents but
    // no page, the HTML copy opens in the host's web browser instead (through winebrowser), when there is one.
    // False when nothing could be opened, with the shell's code for the document in `shellCode`.
    bool OpenHelp(INT_PTR* shellCode = nullptr);
    // The user asked for help: OpenHelp, and nothing more when it fails.
    virtual void OnHelp();

    // The window that owns dialogs created without a parent, and message boxes of the application.
    Window* mainWindow = nullptr;

    HelpFiles help;

    // The executable's file name without its extension (GBK): the caption of the application's message boxes.
    const std::string& AppName() const { return appName_; }

    static Application* Current();

    // InitInstance, the message loop when it returned TRUE, then ExitInstance.
    int Run();

private:
    std::string appName_;
};

// The module that holds the program's resources.
HINSTANCE ResourceModule();

// A message box owned by the main window, captioned with the application name.
int AppMessageBox(const std::string& text, UINT type);
// The same, owned by `owner`: the window the user acted in, which the box must disable while it is up.
int AppMessageBox(HWND owner, const std::string& text, UINT type);

// WinMain's whole body.
int RunApplication();

}  // namespace fw
