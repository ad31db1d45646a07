#include "framework/ToolTip.h"

#include "framework/Text.h"

namespace fw {
namespace {

TOOLINFOW ToolInfo(HWND tool, UINT_PTR id) {
    TOOLINFOW info{};
    // The pre-6.0 record size is accepted by every common-controls version.
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = tool;
    info.uId = id;
    return info;
}

}  // namespace

bool ToolTip::Create(HWND parent, DWORD style) {
    if (hwnd_) return true;
    HWND hwnd = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | style, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    if (!hwnd) return false;
    if (SubclassWindow(hwnd)) return true;
    ::DestroyWindow(hwnd);
    return false;
}

// The handle is forgotten at WM_NCDESTROY, whoever destroys the window.
void ToolTip::Destroy() {
    if (hwnd_) ::DestroyWindow(hwnd_);
}

bool ToolTip::AddTool(HWND tool, UINT_PTR id, const std::string& text, const RECT& rect, bool watchTool) {
    if (!hwnd_) return false;
    std::wstring wide = Widen(text);
    TOOLINFOW info = ToolInfo(tool, id);
    // Relayed or watched, never both: with both the tooltip would see each message twice.
    info.uFlags = watchTool ? TTF_SUBCLASS : 0;
    info.rect = rect;
    info.lpszText = wide.data();
    return ::SendMessageW(hwnd_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) != FALSE;
}

void ToolTip::UpdateTipText(HWND tool, UINT_PTR id, const std::string& text) {
    if (!hwnd_) return;
    std::wstring wide = Widen(text);
    TOOLINFOW info = ToolInfo(tool, id);
    info.lpszText = wide.data();
    ::SendMessageW(hwnd_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

int ToolTip::GetToolCount() const {
    return hwnd_ ? static_cast<int>(::SendMessageW(hwnd_, TTM_GETTOOLCOUNT, 0, 0)) : 0;
}

void ToolTip::Activate(bool active) {
    if (hwnd_) ::SendMessageW(hwnd_, TTM_ACTIVATE, active ? TRUE : FALSE, 0);
}

void ToolTip::SetMaxTipWidth(int width) {
    if (hwnd_) ::SendMessageW(hwnd_, TTM_SETMAXTIPWIDTH, 0, width);
}

void ToolTip::RelayEvent(MSG* message) {
    if (hwnd_) ::SendMessageW(hwnd_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(message));
}

std::string ToolTip::GetText(HWND tool, UINT_PTR id) const {
    if (!hwnd_) return {};
    wchar_t buffer[1024] = {};
    TOOLINFOW info = ToolInfo(tool, id);
    info.lpszText = buffer;
    ::SendMessageW(hwnd_, TTM_GETTEXTW, 0, reinterpret_cast<LPARAM>(&info));
    return Narrow(buffer);
}

}  // namespace fw
