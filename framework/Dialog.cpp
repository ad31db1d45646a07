#include "framework/Dialog.h"

#include <commctrl.h>
#include <uxtheme.h>

#include "framework/Application.h"
#include "framework/Handles.h"
#include "framework/Text.h"

namespace fw {
namespace {

struct Colours {
    bool set = false;
    COLORREF background = 0;
    COLORREF text = 0;
    UniqueBrush brush;
};

Colours& TheColours() {
    static Colours colours;
    return colours;
}

bool IsClass(HWND hwnd, const wchar_t* name) {
    wchar_t className[32] = {};
    GetClassNameW(hwnd, className, 32);
    return lstrcmpiW(className, name) == 0;
}

// With visual styles, check boxes, radio buttons and group boxes may draw their captions in the theme's colour and
// ignore the text colour the dialog sets (a themed group box always does); without a theme they take the dialog's
// colours. The theme is switched off with a class list that names no theme class. The empty list that is usually
// passed for this is rejected under Wine (the names are kept as atoms, and an empty string is no atom), which left
// every control themed.
BOOL CALLBACK UnthemeCaptionedButton(HWND child, LPARAM) {
    if (!IsClass(child, L"Button")) return TRUE;
    switch (GetWindowLongPtrW(child, GWL_STYLE) & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_GROUPBOX: SetWindowTheme(child, L" ", L" "); break;
    default: break;
    }
    return TRUE;
}

// A picture control (a static with SS_BITMAP) named in a template loads its bitmap itself. Windows destroys that bitmap
// with the control; Wine keeps it as long as the process runs, so every About box left one behind. Handed back with
// STM_SETIMAGE, the bitmap is the program's on both systems (Windows then leaves it alone as well), and the dialog lets
// it go once the control is gone. (Common controls 6 would show a copy of a 32-bit bitmap with alpha; the program's
// pictures have 256 colours.)
BOOL CALLBACK TakeTemplatePicture(HWND child, LPARAM pictures) {
    if (!IsClass(child, L"Static") || (GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP) return TRUE;
    if (auto bitmap = reinterpret_cast<HBITMAP>(SendMessageW(child, STM_GETIMAGE, IMAGE_BITMAP, 0))) {
        SendMessageW(child, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
        reinterpret_cast<std::vector<UniqueBitmap>*>(pictures)->emplace_back(bitmap);
    }
    return TRUE;
}

}  // namespace

void SetDialogColours(COLORREF background, COLORREF text) {
    Colours& colours = TheColours();
    colours.set = true;
    colours.background = background;
    colours.text = text;
    colours.brush.reset(CreateSolidBrush(background));
}

bool DialogColoursSet() { return TheColours().set; }
COLORREF DialogBackgroundColour() { return TheColours().background; }
COLORREF DialogTextColour() { return TheColours().text; }
HBRUSH DialogBackgroundBrush() { return TheColours().brush.get(); }

Dialog::Dialog(UINT templateId, Window* parent) : templateId_(templateId), parent_(parent) {}

Dialog::~Dialog() {
    // The handlers that would run now are the base's, on an object whose derived part is gone: stop routing first.
    if (HWND hwnd = UnsubclassWindow()) DestroyWindow(hwnd);
}

HWND Dialog::OwnerForNewWindow() const {
    HWND owner = parent_ ? parent_->GetSafeHwnd() : nullptr;
    if (!owner) {
        if (Application* app = Application::Current(); app && app->mainWindow && app->mainWindow != this)
            owner = app->mainWindow->GetSafeHwnd();
    }
    return owner ? GetAncestor(owner, GA_ROOT) : nullptr;
}

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG) return FALSE;
    auto* self = reinterpret_cast<Dialog*>(lParam);
    self->Attach(hwnd);
    if (!self->StartRouting()) {
        self->Forget();
        return FALSE;
    }
    EnumChildWindows(hwnd, TakeTemplatePicture, reinterpret_cast<LPARAM>(&self->templatePictures_));
    if (DialogColoursSet()) EnumChildWindows(hwnd, UnthemeCaptionedButton, 0);

    RECT before{};
    GetWindowRect(hwnd, &before);
    const BOOL result = self->OnInitDialog();
    RECT after{};
    if (self->hwnd_ && !self->ended_ && GetWindowRect(hwnd, &after) && EqualRect(&before, &after) &&
        !(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD))
        self->CenterWindow();
    return result;
}

INT_PTR Dialog::DoModal() {
    HWND owner = OwnerForNewWindow();
    const bool disableOwner = owner && IsWindowEnabled(owner);
    if (disableOwner) EnableWindow(owner, FALSE);

    modal_ = true;
    ended_ = false;
    result_ = -1;
    HWND hwnd = CreateDialogParamW(ResourceModule(), MAKEINTRESOURCEW(templateId_), owner, &Dialog::DialogProc,
                                   reinterpret_cast<LPARAM>(this));
    if (hwnd && hwnd_ == hwnd) {
        if (!ended_ && !IsWindowVisible(hwnd)) ::ShowWindow(hwnd, SW_SHOWNORMAL);
        RunModalLoop();
        if (hwnd_)
            SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                         SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    }
    if (disableOwner) EnableWindow(owner, TRUE);
    if (owner && hwnd && GetActiveWindow() == hwnd) SetActiveWindow(owner);
    if (hwnd_) DestroyWindow(hwnd_);
    modal_ = false;
    return result_;
}

void Dialog::RunModalLoop() {
    MSG message;
    while (!ended_ && hwnd_) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            // A quit message ends every modal loop it passes through, innermost first.
            PostQuitMessage(static_cast<int>(message.wParam));
            result_ = -1;
            break;
        }
        if (PreTranslateForTree(message)) continue;
        if (hwnd_ && IsDialogMessageW(hwnd_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Offers the message to the objects of its window and of that window's parents, up to the top-level window.
bool Dialog::PreTranslateForTree(MSG& message) {
    for (HWND hwnd = message.hwnd; hwnd;) {
        if (Window* object = Window::FromHandle(hwnd); object && object->PreTranslateMessage(&message)) return true;
        if (hwnd == hwnd_ || !(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD)) break;
        hwnd = ::GetParent(hwnd);
    }
    return false;
}

BOOL Dialog::Create(UINT templateId, Window* parent) {
    if (hwnd_) return FALSE;
    if (templateId) templateId_ = templateId;
    if (parent) parent_ = parent;
    modal_ = false;
    ended_ = false;
    HWND hwnd = CreateDialogParamW(ResourceModule(), MAKEINTRESOURCEW(templateId_), OwnerForNewWindow(),
                                   &Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
    return hwnd != nullptr && hwnd == hwnd_;
}

void Dialog::EndDialog(INT_PTR result) {
    result_ = result;
    ended_ = true;
    if (!hwnd_) return;
    if (modal_)
        ::PostMessageW(hwnd_, WM_NULL, 0, 0);  // wakes the modal loop if it is waiting
    else
        ::ShowWindow(hwnd_, SW_HIDE);
}

BOOL Dialog::UpdateData(BOOL saveAndValidate) {
    if (!hwnd_) return FALSE;
    DataExchange dx(*this, saveAndValidate != FALSE);
    DoDataExchange(dx);
    return TRUE;
}

void Dialog::CenterWindow(HWND alternateOwner) {
    if (!hwnd_) return;
    HWND owner = alternateOwner ? alternateOwner : GetWindow(hwnd_, GW_OWNER);
    RECT window{};
    GetWindowRect(hwnd_, &window);
    RECT area{};
    if (owner && IsWindowVisible(owner) && !IsIconic(owner)) {
        GetWindowRect(owner, &area);
    } else {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
        area = monitor.rcWork;
    }
    const int width = window.right - window.left, height = window.bottom - window.top;
    int left = area.left + (area.right - area.left - width) / 2;
    int top = area.top + (area.bottom - area.top - height) / 2;
    // Keep the whole window on the work area.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    if (left + width > work.right) left = work.right - width;
    if (top + height > work.bottom) top = work.bottom - height;
    if (left < work.left) left = work.left;
    if (top < work.top) top = work.top;
    SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL Dialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void Dialog::OnOK() {
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void Dialog::OnCancel() { EndDialog(IDCANCEL); }

void Dialog::DoDataExchange(DataExchange&) {}

void Dialog::PostNcDestroy() { templatePictures_.clear(); }

bool Dialog::OnCommand(UINT id, UINT code, HWND control) {
    if (id == kHelpCommand && !control) {
        if (Application* app = Application::Current()) app->OnHelp();
        return true;
    }
    if (code != BN_CLICKED) return false;
    switch (id) {
    case IDOK: OnOK(); return true;
    case IDCANCEL: OnCancel(); return true;
    default: return false;
    }
}

BOOL Dialog::OnHelpInfo(HELPINFO*) {
    SendMessage(WM_COMMAND, MAKEWPARAM(kHelpCommand, 0), 0);
    return TRUE;
}

HBRUSH Dialog::OnCtlColor(HDC dc, HWND control, UINT message) {
    if (!DialogColoursSet()) return nullptr;
    switch (message) {
    case WM_CTLCOLORDLG: return DialogBackgroundBrush();
    case WM_CTLCOLORSTATIC:
        // A read-only or disabled edit box asks as a static; edit boxes keep the system colours.
        if (IsClass(control, L"Edit")) return nullptr;
        [[fallthrough]];
    case WM_CTLCOLORBTN:
        SetTextColor(dc, DialogTextColour());
        SetBkColor(dc, DialogBackgroundColour());
        return DialogBackgroundBrush();
    default: return nullptr;
    }
}

void DDX_Control(DataExchange& dx, int id, Window& control) {
    if (!control.GetSafeHwnd()) control.SubclassDlgItem(static_cast<UINT>(id), &dx.dialog);
}

void DDX_Text(DataExchange& dx, int id, std::string& value) {
    HWND control = dx.Control(id);
    if (!control) return;
    if (dx.saveAndValidate) {
        value = Narrow(WindowTextW(control));
    } else {
        SetWindowTextW(control, Widen(value).c_str());
    }
}

namespace {

// Checking a radio button walks its group and restyles it, even when nothing changes: under Wine that is some fifty
// requests to the server on every exchange. A button already in the state is left alone.
void SetCheck(HWND button, WPARAM state) {
    if (static_cast<WPARAM>(SendMessageW(button, BM_GETCHECK, 0, 0)) != state)
        SendMessageW(button, BM_SETCHECK, state, 0);
}

}  // namespace

void DDX_Radio(DataExchange& dx, int id, int& index) {
    HWND button = dx.Control(id);
    if (!button) return;
    if (dx.saveAndValidate) index = -1;
    int position = 0;
    do {
        if (SendMessageW(button, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
            if (dx.saveAndValidate) {
                if (SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED) index = position;
            } else {
                SetCheck(button, position == index ? BST_CHECKED : BST_UNCHECKED);
            }
            ++position;
        }
        button = GetWindow(button, GW_HWNDNEXT);
    } while (button && !(GetWindowLongPtrW(button, GWL_STYLE) & WS_GROUP));
}

void DDX_Check(DataExchange& dx, int id, int& value) {
    HWND control = dx.Control(id);
    if (!control) return;
    if (dx.saveAndValidate)
        value = static_cast<int>(SendMessageW(control, BM_GETCHECK, 0, 0));
    else
        SetCheck(control, static_cast<WPARAM>(value));
}

}  // namespace fw
