// The hyperlink label: colours, underline and transparency through its own colour request, fitting, the click.
#include "controls/LinkLabel.h"

#include <shellapi.h>

#include "framework/Application.h"
#include "framework/Platform.h"
#include "framework/Text.h"

namespace {

constexpr UINT_PTR kToolId = 1;

struct Failure {
    INT_PTR code;
    const char* text;
};

// What each result code of ShellExecute and WinExec means. English on purpose: these are the platform's own words.
constexpr Failure kFailures[] = {
    {0, "The operating system is out\nof memory or resources."},
    {SE_ERR_FNF, "The specified file was not found."},
    {SE_ERR_PNF, "The specified path was not found."},
    {SE_ERR_ACCESSDENIED, "The operating system denied\naccess to the specified file."},
    {SE_ERR_OOM, "There was not enough memory to complete the operation."},
    {ERROR_BAD_FORMAT, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
    {SE_ERR_SHARE, "A sharing violation occurred. "},
    {SE_ERR_ASSOCINCOMPLETE, "The filename association is\nincomplete or invalid."},
    {SE_ERR_DDETIMEOUT, "The DDE transaction could not\nbe completed because the request timed out."},
    {SE_ERR_DDEFAIL, "The DDE transaction failed."},
    {SE_ERR_DDEBUSY,
     "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed."},
    {SE_ERR_NOASSOC, "There is no application associated\nwith the given filename extension."},
    {SE_ERR_DLLNOTFOUND, "The specified dynamic-link library was not found."},
};

std::string OpenFailureText(INT_PTR code) {
    for (const Failure& failure : kFailures)
        if (failure.code == code) return failure.text;
    return "Unknown Error (" + std::to_string(static_cast<int>(code)) + ") occurred.";
}

core::HorizontalFit FitOf(LONG_PTR style) {
    switch (style & SS_TYPEMASK) {
    case SS_CENTER: return core::HorizontalFit::Centre;
    case SS_RIGHT: return core::HorizontalFit::Right;
    default: return core::HorizontalFit::Left;
    }
}

// Replaces the environment references of a REG_EXPAND_SZ value in place (GBK); false when it cannot be expanded.
bool ExpandEnvironment(std::string& value) {
    const std::wstring stored = fw::Widen(value);
    const DWORD needed = ExpandEnvironmentStringsW(stored.c_str(), nullptr, 0);
    if (needed == 0) return false;
    std::wstring expanded(needed, L'\0');
    const DWORD written = ExpandEnvironmentStringsW(stored.c_str(), expanded.data(), needed);
    if (written == 0 || written > needed) return false;
    expanded.resize(written - 1);  // without the terminating zero
    value = fw::Narrow(expanded);
    return true;
}

}  // namespace

LinkLabel::LinkLabel() = default;

LinkLabel::~LinkLabel() {
    // A control that outlives the label gets its own font back before the underlined copy is deleted.
    if (hwnd_ && underlinedFont_ && reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)) == underlinedFont_.get())
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(controlFont_), FALSE);
    tip_.Destroy();
}

void LinkLabel::PreSubclassWindow() {
    ModifyStyle(0, SS_NOTIFY);  // a static reports clicks only with it
    if (target_.empty()) target_ = GetWindowText();
    if (GetWindowText().empty()) SetWindowText(target_);
    FitWindowToText();
    pointerCursor = LoadCursorW(nullptr, IDC_ARROW);
    if (tip_.Create(hwnd_, 0)) {
        RECT client{};
        GetClientRect(hwnd_, &client);
        tip_.AddTool(hwnd_, kToolId, target_, client);
    }
    fw::Window::PreSubclassWindow();
}

void LinkLabel::SetTarget(const std::string& text) {
    target_ = text;
    FitWindowToText();
    tip_.UpdateTipText(hwnd_, kToolId, target_);
}

void LinkLabel::SetVisitedState(BOOL visited) {
    isVisited = visited;
    RedrawWithBackground();
}

bool LinkLabel::SetPointerCursor(UINT cursorId) {
    HCURSOR cursor = LoadCursorW(fw::ResourceModule(), MAKEINTRESOURCEW(cursorId));
    if (!cursor) return false;
    pointerCursor = cursor;
    return true;
}

void LinkLabel::RedrawWithBackground() const {
    if (!hwnd_) return;
    // The label paints no background of its own: repainting it alone would draw the new colour over the old text,
    // whose smoothed edges would still show. The parent paints its background under the label first.
    HWND parent = GetParent();
    if (!parent) {
        Invalidate(TRUE);
        return;
    }
    RECT area{};
    GetWindowRect(hwnd_, &area);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
    RedrawWindow(parent, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void LinkLabel::FitWindowToText() {
    if (!autoFit || !hwnd_) return;
    RECT rect{};
    GetWindowRect(hwnd_, &rect);
    if (HWND parent = GetParent()) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);

    // Measured whole, blanks included, in the font the control draws with. (The DC's own font, the system font, is
    // narrower than the dialogs' font: a label fitted to it wraps its address onto a line that is cut off.)
    const std::wstring text = fw::Widen(GetWindowText());
    SIZE size{};
    {
        fw::ClientDc dc(hwnd_);
        if (!dc) return;
        fw::ScopedSelect font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT)));
        GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    }
    const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
    const core::Box fitted = core::FitToText(core::Box{rect.left, rect.top, rect.right, rect.bottom}, FitOf(style),
                                             (style & SS_CENTERIMAGE) != 0, size.cx, size.cy);
    SetWindowPos(hwnd_, nullptr, fitted.left, fitted.top, fitted.Width(), fitted.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL LinkLabel::PreTranslateMessage(MSG* message) {
    tip_.RelayEvent(message);
    return fw::Window::PreTranslateMessage(message);
}

HBRUSH LinkLabel::OnReflectedCtlColor(HDC dc, UINT) {
    SetTextColor(dc, isVisited ? visitedTextColour : unvisitedTextColour);
    if (drawUnderlined) {
        if (!underlinedFont_) {
            controlFont_ = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
            LOGFONTW description{};
            if (GetObjectW(controlFont_ ? controlFont_ : GetStockObject(SYSTEM_FONT), sizeof description,
                           &description)) {
                description.lfUnderline = TRUE;
                underlinedFont_.reset(CreateFontIndirectW(&description));
                // A static control may select its own font after asking for its colours (Wine's does), which
                // would undo the selection below: the copy becomes the control's font as well.
                if (underlinedFont_) SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(underlinedFont_.get()), FALSE);
            }
        }
        if (underlinedFont_) SelectObject(dc, underlinedFont_.get());
    }
    SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

BOOL LinkLabel::OnSetCursor(HWND, UINT, UINT) {
    SetCursor(pointerCursor);
    return TRUE;
}

bool LinkLabel::OnReflectedCommand(UINT code) {
    if (code != STN_CLICKED) return false;
    const INT_PTR result = OpenTarget(target_, SW_SHOW);
    const bool opened = OpenSucceeded(result);
    if (!opened) fw::Sys().MessageBeep(MB_ICONEXCLAMATION);
    // Redrawn either way, so a label that was visited before a failed open does not go on looking visited.
    SetVisitedState(opened ? TRUE : FALSE);
    if (!opened) ShowOpenFailure(result);
    return true;
}

INT_PTR LinkLabel::OpenTarget(const std::string& target, int show) {
    const INT_PTR shellResult = fw::Sys().ShellExecute(nullptr, "open", target, "", "", show);
    if (OpenSucceeded(shellResult)) return shellResult;

    // The browser registered for web pages: its open command, cut at its placeholder, followed by the target.
    // Any failure on this way is the shell's failure.
    core::CommandBuffer command;
    if (QueryClassDefault(HKEY_CLASSES_ROOT, ".htm", command) != ERROR_SUCCESS) return shellResult;
    if (!command.Append("\\shell\\open\\command")) return shellResult;
    if (QueryClassDefault(HKEY_CLASSES_ROOT, std::string(command.View()), command) != ERROR_SUCCESS)
        return shellResult;
    if (!core::AppendTarget(command, target)) return shellResult;
    return static_cast<INT_PTR>(fw::Sys().WinExec(command.CStr(), static_cast<UINT>(show)));
}

LONG LinkLabel::QueryClassDefault(HKEY root, const std::string& subKey, core::CommandBuffer& out) {
    std::string value;
    DWORD type = REG_SZ;
    const LONG status = fw::Sys().ReadRegistryDefault(root, subKey, KEY_QUERY_VALUE, value, &type);
    if (status != ERROR_SUCCESS) return status;
    // A browser registered under "%ProgramFiles%" and the like: the command is run as it expands, so the limits hold
    // for the expanded text.
    if (type == REG_EXPAND_SZ && !ExpandEnvironment(value)) return ERROR_MORE_DATA;
    if (value.size() > core::kClassValueLimit || !out.Assign(value)) return ERROR_MORE_DATA;
    return ERROR_SUCCESS;
}

void LinkLabel::ShowOpenFailure(INT_PTR code) const {
    // Owned by the label's own window: in the About box the main window is disabled, and a box it owned would leave
    // the About box usable (and closable) underneath.
    fw::AppMessageBox(GetAncestor(hwnd_, GA_ROOT), "Unable to open hyperlink:\n\n" + OpenFailureText(code),
                      MB_ICONEXCLAMATION | MB_OK);
}
