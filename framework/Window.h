// Window objects: one C++ object per window the program handles itself.
//
// A window object is attached to a real window either by creating a dialog from its template or by subclassing an
// existing control (SubclassDlgItem). Every message then arrives at WindowProc, which runs one switch and calls the
// typed handlers below; a handler that wants the system's behaviour calls Default(). Notifications that a parent
// receives about a child (WM_COMMAND codes, WM_NOTIFY, WM_CTLCOLOR*, WM_DRAWITEM, WM_MEASUREITEM) are first offered
// to the child's own object, so a control can handle its own clicks and drawing.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND GetSafeHwnd() const { return hwnd_; }
    HWND hwnd() const { return hwnd_; }

    // The object attached to `hwnd`, or nullptr when the program has none for it.
    static Window* FromHandle(HWND hwnd);

    // Attaches this object to control `id` of `parent` and routes the control's messages here.
    bool SubclassDlgItem(UINT id, Window* parent);
    bool SubclassWindow(HWND hwnd);
    // Stops routing and forgets the window (the window itself lives on).
    HWND UnsubclassWindow();

    // Messages the message loop is about to dispatch to this window or one of its children; true eats the message.
    virtual BOOL PreTranslateMessage(MSG* message);

    // The system's processing of a message (for a subclassed control: the control's own window procedure).
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Owner-drawn controls: called through reflection; true when handled.
    virtual bool DrawItem(DRAWITEMSTRUCT* drawItem);
    virtual bool MeasureItem(MEASUREITEMSTRUCT* measureItem);

    // Convenience wrappers of common calls on this window.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    HWND GetDlgItem(int id) const;
    std::string GetWindowText() const;  // GBK
    void SetWindowText(const std::string& gbk) const;
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0) const;
    void Invalidate(BOOL erase = TRUE) const;
    BOOL ShowWindow(int command) const;
    HWND GetParent() const;

protected:
    // Runs the system's processing of the message being handled.
    LRESULT Default();
    // A left-button press at `clientPoint` drags the window: the system moves it with the mouse as if its caption
    // had been grabbed there (the press handlers of captionless and freely movable windows call it).
    void DragByCaption(POINT clientPoint) const;

    // Called with the window handle already set, before messages are routed here.
    virtual void PreSubclassWindow();
    // Called after WM_NCDESTROY, when the handle has been forgotten.
    virtual void PostNcDestroy();

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Seen first for every message; true means handled, with `result` as the answer.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // A notification about this control that its parent received; true means handled (the parent then does not
    // handle it itself), with `result` as the parent's answer.
    virtual bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Typed forms of OnChildNotify's default: a command code (BN_CLICKED, STN_CLICKED, EN_CHANGE ...), the colour
    // request (nullptr = not handled), a WM_NOTIFY.
    virtual bool OnReflectedCommand(UINT code);
    virtual HBRUSH OnReflectedCtlColor(HDC dc, UINT message);
    virtual bool OnReflectedNotify(NMHDR* header, LRESULT& result);

    // Typed handlers; each default runs Default().
    virtual bool OnCommand(UINT id, UINT code, HWND control);  // true when handled
    virtual LRESULT OnNotify(int id, NMHDR* header);
    virtual void OnPaint();
    virtual void OnLButtonDown(UINT flags, POINT point);
    virtual void OnLButtonDblClk(UINT flags, POINT point);
    virtual void OnRButtonDown(UINT flags, POINT point);
    virtual void OnMouseMove(UINT flags, POINT point);
    virtual void OnMouseLeave();
    virtual BOOL OnSetCursor(HWND window, UINT hitTest, UINT mouseMessage);
    virtual void OnDestroy();
    virtual void OnTimer(UINT_PTR id);
    virtual void OnHotKey(int id, UINT modifiers, UINT virtualKey);
    virtual void OnEnable(BOOL enabled);
    virtual void OnKillFocus(HWND newFocus);
    virtual void OnActivate(UINT state, HWND other, BOOL minimized);
    virtual void OnCancelMode();
    virtual UINT OnGetDlgCode();
    virtual void OnSysColorChange();
    virtual HCURSOR OnQueryDragIcon();
    // WM_HELP: the user asked for help (F1) in this window or, passed up by default, in one of its children.
    virtual BOOL OnHelpInfo(HELPINFO* info);
    // WM_CTLCOLOR* that no child handled; nullptr runs Default().
    virtual HBRUSH OnCtlColor(HDC dc, HWND control, UINT message);

    HWND hwnd_ = nullptr;

private:
    friend class Dialog;
    friend bool ReflectToChild(HWND, UINT, WPARAM, LPARAM, LRESULT&);
    static LRESULT CALLBACK RoutingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void Attach(HWND hwnd);
    // Routes the attached window's messages to this object; false if the window procedure could not be replaced.
    bool StartRouting();
    void Forget();

    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    CurrentMessage current_{};
    bool subclassed_ = false;
};

// Offers a notification that `parent` received to the object of the child it is about.
bool ReflectToChild(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

// The whole text of a window, read through the wide API (empty when it has none or the handle is gone).
std::wstring WindowTextW(HWND hwnd);

}  // namespace fw
