// A tooltip window owned by one control, with the calls the program's controls make on it.
//
// The tooltip is a popup owned by the control's top-level window, so the system destroys it together with that
// window, possibly before the control's object goes away. The object follows its window (it is routed through the
// framework like any window) and forgets the handle when the window is destroyed, so it never destroys, or sends to,
// a handle that is gone. Mouse messages reach it through RelayEvent, unless a tool is added watching its window (for a
// window whose messages the owner does not see, such as the parent of a static that lets the mouse through).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/Window.h"

namespace fw {

class ToolTip : public Window {
public:
    ToolTip() = default;
    ~ToolTip() override { Destroy(); }

    bool Create(HWND parent, DWORD style = 0);
    void Destroy();
    explicit operator bool() const { return hwnd_ != nullptr; }

    // Tool `id` of window `tool`, with a GBK text, over `rect` (client coordinates of `tool`). With `watchTool` the
    // tooltip watches the tool window's mouse messages itself; the caller must then not relay them too.
    bool AddTool(HWND tool, UINT_PTR id, const std::string& text, const RECT& rect, bool watchTool = false);
    void UpdateTipText(HWND tool, UINT_PTR id, const std::string& text);
    int GetToolCount() const;
    void Activate(bool active);
    void SetMaxTipWidth(int width);
    void RelayEvent(MSG* message);
    // The text of tool `id` of window `tool` (GBK), for callers that show or check it.
    std::string GetText(HWND tool, UINT_PTR id) const;
};

}  // namespace fw
