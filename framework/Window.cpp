#include "framework/Window.h"

#include <unordered_map>

#include "framework/Menu.h"
#include "framework/Text.h"

namespace fw {
namespace {

// All window objects live on the user-interface thread; the maps are only touched there.
std::unordered_map<HWND, Window*>& Objects() {
    static std::unordered_map<HWND, Window*> objects;
    return objects;
}

// The window procedure each routed window had before its messages were routed to its object: what Default() runs.
// Kept until the window is destroyed: a subclass installed above ours afterwards (a tooltip watching the control)
// cannot be cut out of the chain, so a window whose object let go passes its messages on through ours.
// Routing replaces the window procedure and finds the object here rather than through the common controls'
// SetWindowSubclass, which looks its data up as a window property on every message: under Wine each such lookup is
// a request to the server, two or three per message, most of the requests of a keystroke's lookup.
std::unordered_map<HWND, WNDPROC>& PreviousProcedures() {
    static std::unordered_map<HWND, WNDPROC> procedures;
    return procedures;
}

// Signed client coordinates: a point left of or above a window is negative.
POINT PointFrom(LPARAM lParam) {
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

// WM_CTLCOLORMSGBOX ... WM_CTLCOLORSTATIC: the colour requests a parent receives about its children.
bool IsColourRequest(UINT message) { return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC; }

HWND NotifyingChild(HWND parent, UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsColourRequest(message)) return reinterpret_cast<HWND>(lParam);
    switch (message) {
    case WM_COMMAND: return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY: return lParam ? reinterpret_cast<NMHDR*>(lParam)->hwndFrom : nullptr;
    case WM_DRAWITEM: {
        auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        return draw && draw->CtlType != ODT_MENU ? draw->hwndItem : nullptr;
    }
    case WM_MEASUREITEM: {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        return measure && measure->CtlType != ODT_MENU ? ::GetDlgItem(parent, static_cast<int>(measure->CtlID))
                                                       : nullptr;
    }
    default: (void)wParam; return nullptr;
    }
}

}  // namespace

bool ReflectToChild(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    HWND child = NotifyingChild(parent, message, wParam, lParam);
    if (!child || child == parent) return false;
    Window* object = Window::FromHandle(child);
    return object && object->OnChildNotify(message, wParam, lParam, result);
}

std::wstring WindowTextW(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

Window::~Window() { Forget(); }

Window* Window::FromHandle(HWND hwnd) {
    if (!hwnd) return nullptr;
    auto& objects = Objects();
    auto found = objects.find(hwnd);
    return found == objects.end() ? nullptr : found->second;
}

void Window::Attach(HWND hwnd) {
    hwnd_ = hwnd;
    Objects()[hwnd] = this;
}

bool Window::StartRouting() {
    auto& previous = PreviousProcedures();
    if (previous.find(hwnd_) == previous.end()) {
        const auto procedure = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::RoutingProc)));
        if (!procedure) return false;
        previous[hwnd_] = procedure;
    }
    subclassed_ = true;
    return true;
}

void Window::Forget() {
    if (!hwnd_) return;
    if (subclassed_) {
        auto& previous = PreviousProcedures();
        const auto found = previous.find(hwnd_);
        if (found != previous.end() &&
            GetWindowLongPtrW(hwnd_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&Window::RoutingProc)) {
            SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(found->second));
            previous.erase(found);
        }
    }
    subclassed_ = false;
    auto& objects = Objects();
    auto found = objects.find(hwnd_);
    if (found != objects.end() && found->second == this) objects.erase(found);
    hwnd_ = nullptr;
}

bool Window::SubclassDlgItem(UINT id, Window* parent) {
    if (!parent || !parent->hwnd_) return false;
    HWND control = ::GetDlgItem(parent->hwnd_, static_cast<int>(id));
    return control && SubclassWindow(control);
}

bool Window::SubclassWindow(HWND hwnd) {
    if (hwnd_ || !hwnd || FromHandle(hwnd)) return false;
    Attach(hwnd);
    PreSubclassWindow();
    if (!StartRouting()) {
        Forget();
        return false;
    }
    return true;
}

HWND Window::UnsubclassWindow() {
    HWND hwnd = hwnd_;
    Forget();
    return hwnd;
}

LRESULT CALLBACK Window::RoutingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    Window* self = FromHandle(hwnd);
    if (self && self->subclassed_) {
        result = self->Dispatch(message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            self->Forget();
            self->PostNcDestroy();
        }
    } else {
        const auto& previous = PreviousProcedures();
        const auto found = previous.find(hwnd);
        result = found != previous.end() ? CallWindowProcW(found->second, hwnd, message, wParam, lParam)
                                         : ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) PreviousProcedures().erase(hwnd);
    return result;
}

LRESULT Window::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    const CurrentMessage saved = current_;
    current_ = {message, wParam, lParam};
    const LRESULT result = WindowProc(message, wParam, lParam);
    current_ = saved;
    return result;
}

LRESULT Window::Default() { return DefWindowProc(current_.message, current_.wParam, current_.lParam); }

void Window::DragByCaption(POINT clientPoint) const {
    PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(clientPoint.x, clientPoint.y));
}

LRESULT Window::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (subclassed_) {
        const auto& previous = PreviousProcedures();
        if (const auto found = previous.find(hwnd_); found != previous.end())
            return CallWindowProcW(found->second, hwnd_, message, wParam, lParam);
    }
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

BOOL Window::PreTranslateMessage(MSG*) { return FALSE; }
bool Window::DrawItem(DRAWITEMSTRUCT*) { return false; }
bool Window::MeasureItem(MEASUREITEMSTRUCT*) { return false; }
void Window::PreSubclassWindow() {}
void Window::PostNcDestroy() {}

bool Window::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT Window::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (OnMessage(message, wParam, lParam, result)) return result;
    if (IsColourRequest(message)) {
        if (ReflectToChild(hwnd_, message, wParam, lParam, result)) return result;
        if (HBRUSH brush = OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), message))
            return reinterpret_cast<LRESULT>(brush);
        return Default();
    }

    switch (message) {
    case WM_COMMAND: {
        HWND control = reinterpret_cast<HWND>(lParam);
        if (control && ReflectToChild(hwnd_, message, wParam, lParam, result)) return result;
        if (OnCommand(LOWORD(wParam), HIWORD(wParam), control)) return 0;
        return Default();
    }
    case WM_NOTIFY:
        if (ReflectToChild(hwnd_, message, wParam, lParam, result)) return result;
        return OnNotify(static_cast<int>(wParam), reinterpret_cast<NMHDR*>(lParam));
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
        if (ReflectToChild(hwnd_, message, wParam, lParam, result)) return result;
        // Items of a popup menu this window tracks: their menu's object draws them.
        if (Menu::RouteOwnerDraw(message, lParam)) return TRUE;
        return Default();
    case WM_MENUCHAR:
        if (Menu::RouteMenuChar(wParam, lParam, result)) return result;
        return Default();
    case WM_PAINT: OnPaint(); return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(static_cast<UINT>(wParam), PointFrom(lParam)); return 0;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(static_cast<UINT>(wParam), PointFrom(lParam)); return 0;
    case WM_RBUTTONDOWN: OnRButtonDown(static_cast<UINT>(wParam), PointFrom(lParam)); return 0;
    case WM_MOUSEMOVE: OnMouseMove(static_cast<UINT>(wParam), PointFrom(lParam)); return 0;
    case WM_MOUSELEAVE: OnMouseLeave(); return 0;
    case WM_SETCURSOR:
        return OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam));
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_TIMER: OnTimer(static_cast<UINT_PTR>(wParam)); return 0;
    case WM_HOTKEY: OnHotKey(static_cast<int>(wParam), LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_ENABLE: OnEnable(static_cast<BOOL>(wParam)); return 0;
    case WM_KILLFOCUS: OnKillFocus(reinterpret_cast<HWND>(wParam)); return 0;
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam), reinterpret_cast<HWND>(lParam), static_cast<BOOL>(HIWORD(wParam)));
        return 0;
    case WM_CANCELMODE: OnCancelMode(); return 0;
    case WM_GETDLGCODE: return OnGetDlgCode();
    case WM_SYSCOLORCHANGE: OnSysColorChange(); return 0;
    case WM_QUERYDRAGICON: return reinterpret_cast<LRESULT>(OnQueryDragIcon());
    case WM_HELP: return OnHelpInfo(reinterpret_cast<HELPINFO*>(lParam));
    default: return Default();
    }
}

bool Window::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (IsColourRequest(message)) {
        HBRUSH brush = OnReflectedCtlColor(reinterpret_cast<HDC>(wParam), message);
        if (brush) result = reinterpret_cast<LRESULT>(brush);
        return brush != nullptr;
    }
    switch (message) {
    case WM_COMMAND:
        if (!OnReflectedCommand(HIWORD(wParam))) return false;
        result = 0;
        return true;
    case WM_NOTIFY: return OnReflectedNotify(reinterpret_cast<NMHDR*>(lParam), result);
    case WM_DRAWITEM:
        if (!DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam))) return false;
        result = TRUE;
        return true;
    case WM_MEASUREITEM:
        if (!MeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam))) return false;
        result = TRUE;
        return true;
    default: return false;
    }
}

bool Window::OnReflectedCommand(UINT) { return false; }
HBRUSH Window::OnReflectedCtlColor(HDC, UINT) { return nullptr; }
bool Window::OnReflectedNotify(NMHDR*, LRESULT&) { return false; }

bool Window::OnCommand(UINT, UINT, HWND) { return false; }
LRESULT Window::OnNotify(int, NMHDR*) { return Default(); }
void Window::OnPaint() { Default(); }
void Window::OnLButtonDown(UINT, POINT) { Default(); }
void Window::OnLButtonDblClk(UINT, POINT) { Default(); }
void Window::OnRButtonDown(UINT, POINT) { Default(); }
void Window::OnMouseMove(UINT, POINT) { Default(); }
void Window::OnMouseLeave() { Default(); }
BOOL Window::OnSetCursor(HWND, UINT, UINT) { return static_cast<BOOL>(Default()); }
void Window::OnDestroy() { Default(); }
void Window::OnTimer(UINT_PTR) { Default(); }
void Window::OnHotKey(int, UINT, UINT) { Default(); }
void Window::OnEnable(BOOL) { Default(); }
void Window::OnKillFocus(HWND) { Default(); }
void Window::OnActivate(UINT, HWND, BOOL) { Default(); }
void Window::OnCancelMode() { Default(); }
UINT Window::OnGetDlgCode() { return static_cast<UINT>(Default()); }
void Window::OnSysColorChange() { Default(); }
HCURSOR Window::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
BOOL Window::OnHelpInfo(HELPINFO*) { return static_cast<BOOL>(Default()); }
HBRUSH Window::OnCtlColor(HDC, HWND, UINT) { return nullptr; }

LRESULT Window::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageW(hwnd_, message, wParam, lParam);
}

BOOL Window::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::PostMessageW(hwnd_, message, wParam, lParam);
}

HWND Window::GetDlgItem(int id) const { return ::GetDlgItem(hwnd_, id); }

std::string Window::GetWindowText() const { return Narrow(WindowTextW(hwnd_)); }

void Window::SetWindowText(const std::string& gbk) const { ::SetWindowTextW(hwnd_, Widen(gbk).c_str()); }

BOOL Window::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) const {
    const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
    const LONG_PTR changed = (style & ~static_cast<LONG_PTR>(remove)) | static_cast<LONG_PTR>(add);
    if (changed == style) return FALSE;
    SetWindowLongPtrW(hwnd_, GWL_STYLE, changed);
    if (swpFlags)
        SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
    return TRUE;
}

void Window::Invalidate(BOOL erase) const { InvalidateRect(hwnd_, nullptr, erase); }
BOOL Window::ShowWindow(int command) const { return ::ShowWindow(hwnd_, command); }
HWND Window::GetParent() const { return ::GetParent(hwnd_); }

}  // namespace fw
