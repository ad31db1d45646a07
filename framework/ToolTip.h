// A tooltip window owned by one control, with the calls the program's controls make on it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace fw {

class ToolTip {
public:
    ToolTip() = default;
    ~ToolTip() { Destroy(); }
    ToolTip(const ToolTip&) = delete;
    ToolTip& operator=(const ToolTip&) = delete;

    bool Create(HWND parent, DWORD style = 0);
    void Destroy();
    HWND GetSafeHwnd() const { return hwnd_; }
    explicit operator bool() const { return hwnd_ != nullptr; }

    // Tool `id` of window `tool`, with a GBK text, over `rect` (client coordinates of `tool`).
    bool AddTool(HWND tool, UINT_PTR id, const std::string& text, const RECT& rect);
    void UpdateTipText(HWND tool, UINT_PTR id, const std::string& text);
    int GetToolCount() const;
    void Activate(bool active);
    void SetMaxTipWidth(int width);
    void RelayEvent(MSG* message);
    // The text of tool `id` of window `tool` (GBK), for callers that show or check it.
    std::string GetText(HWND tool, UINT_PTR id) const;

private:
    HWND hwnd_ = nullptr;
};

}  // namespace fw
