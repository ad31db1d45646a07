// A result line: a static text control that keeps to one line. A text wider than the control is drawn cut after the
// last comma-separated reading that fits whole (the first character always stays), and ends with "…"; when not even
// the first reading fits, it is cut after the characters that fit. The control's text stays whole, and while the line
// is cut, resting the pointer on it shows all of it in a tooltip.
//
// Attached to a static text control of a dialog with DDX_Control or SubclassDlgItem; it takes the parent's colours
// through the parent's colour request, as the static did.
#pragma once

#include <windows.h>

#include <string>

#include "framework/ToolTip.h"
#include "framework/Window.h"

class FittedLine : public fw::Window {
public:
    ~FittedLine() override;

    // What a line `width` pixels wide shows of `text` in the font selected into `dc`.
    static std::wstring Fit(HDC dc, const std::wstring& text, int width);

protected:
    void PreSubclassWindow() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool DrawItem(DRAWITEMSTRUCT* drawItem) override;

private:
    // The text as the line shows it now (the control's font, its width).
    std::wstring Shown() const;
    // The tooltip carries the whole text while the line is cut, and is silent otherwise.
    void UpdateTip();

    fw::ToolTip tip_;
};
