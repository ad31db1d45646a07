// The mini window: a small captionless window that stays above the others and stands in for the main window while
// that one is hidden. A character typed into its box shows at once with its code from one dictionary, chosen when the
// window opened. Escape, or "返回(&R)" in its right-click menu, brings the main window back; "隐藏(&H)" leaves only
// the tray icon.
#pragma once

#include <windows.h>

#include <string>

#include "controls/FittedLine.h"
#include "framework/Dialog.h"

class MiniDialog : public fw::Dialog {
public:
    MiniDialog();  // template 100, no parent: owned by the main window

    // Looks the first character of the box up in `dictionaryFile` and shows the whole token, or nothing when the
    // dictionary does not list it.
    void LookUpTyped();

    std::string dictionaryFile;  // set before the window runs
    fw::Window inputBox;
    FittedLine resultLabel;
    std::string resultText;

protected:
    void DoDataExchange(fw::DataExchange& dx) override;
    // Escape: back to the main window, then closed as by OK.
    void OnCancel() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    // The window's menu: hide, or return to the main window.
    void OnRButtonDown(UINT flags, POINT point) override;

private:
    // Shows the owner, the main window, in front and counts it as shown again.
    void ReturnToMainWindow();
};
