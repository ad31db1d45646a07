// A static text of a dialog turned into a hyperlink: drawn in a link colour, underlined, on the dialog's own
// background, with a pointer cursor and a tooltip naming its target. A click opens the target (a web or "mailto:"
// address) through the shell; when the shell cannot, through the browser registered for web pages; when that fails
// too, it beeps and says why. A successful open turns the text to the visited colour.
//
// It is attached to an existing static control with SubclassDlgItem or DDX_Control. The owner then gives it its
// target (SetTarget) and its pointer cursor; the control keeps the text of its template as what it shows.
#pragma once

#include <windows.h>

#include <string>

#include "core/LinkRules.h"
#include "framework/Handles.h"
#include "framework/ToolTip.h"
#include "framework/Window.h"

class LinkLabel : public fw::Window {
public:
    LinkLabel();
    ~LinkLabel() override;

    // What a click opens and the tooltip shows; with autoFit the control is fitted to its text again.
    void SetTarget(const std::string& text);
    const std::string& Target() const { return target_; }
    // Sets isVisited and redraws the label in the matching colour.
    void SetVisitedState(BOOL visited);
    // The pointer cursor from the program's cursor resource `cursorId`; false (cursor unchanged) when it is missing.
    bool SetPointerCursor(UINT cursorId);
    // Sizes the control to its window text (when autoFit is set), keeping the edge its alignment names.
    void FitWindowToText();

    // Opens `target` with the shell, else with the registered web browser's command line. Returns the shell's or the
    // browser start's result code; OpenSucceeded tells success.
    static INT_PTR OpenTarget(const std::string& target, int show);
    static bool OpenSucceeded(INT_PTR code) { return code > 32; }
    // Shows (without a beep) the English explanation of an open's result code in the application's message box,
    // owned by the label's own top-level window.
    void ShowOpenFailure(INT_PTR code) const;
    // Reads the default value of root\subKey into `out`: ERROR_SUCCESS, or the registry's error code. A REG_EXPAND_SZ
    // value is expanded first. A value longer than a MAX_PATH read buffer holds (expanded) counts as a failed read, so
    // the key is treated as missing.
    static LONG QueryClassDefault(HKEY root, const std::string& subKey, core::CommandBuffer& out);

    COLORREF unvisitedTextColour = RGB(255, 255, 0);
    COLORREF visitedTextColour = RGB(255, 173, 91);
    BOOL isVisited = FALSE;
    BOOL drawUnderlined = TRUE;
    BOOL autoFit = TRUE;
    // Shown over the label: the arrow until the owner chooses another. Cursors from LoadCursor are shared and are
    // never destroyed.
    HCURSOR pointerCursor = nullptr;

    const fw::ToolTip& Tooltip() const { return tip_; }
    HFONT UnderlinedFont() const { return underlinedFont_.get(); }

    BOOL PreTranslateMessage(MSG* message) override;

protected:
    void PreSubclassWindow() override;
    bool OnReflectedCommand(UINT code) override;
    HBRUSH OnReflectedCtlColor(HDC dc, UINT message) override;
    BOOL OnSetCursor(HWND window, UINT hitTest, UINT mouseMessage) override;

private:
    void RedrawWithBackground() const;

    std::string target_;
    fw::UniqueFont underlinedFont_;  // made at the first paint from the control's font, then kept
    HFONT controlFont_ = nullptr;    // the dialog's font the control had before: not ours
    fw::ToolTip tip_;
};
