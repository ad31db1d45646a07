// The hotkey dialog: two radio buttons (the default Win+Z or the user's own combination) and the system hotkey
// control in which the user's own combination is typed.
#include "windows/HotkeyDialog.h"

#include <commctrl.h>

#include <type_traits>

#include "resources/resource.h"

namespace {

constexpr COLORREF kHotText = RGB(255, 255, 0);
constexpr COLORREF kNormalText = RGB(255, 255, 255);

// The radio group's index is exchanged straight into hotkeyMode.
static_assert(std::is_same_v<std::int32_t, int>);

void SetUpButton(IconButton& button, UINT iconIn, UINT iconOut) {
    button.UseParentBackground(FALSE);
    button.SetSlotColour(IconButton::HotText, kHotText, TRUE);
    button.SetSlotColour(IconButton::NormalText, kNormalText, TRUE);
    button.AssignIcons(iconIn, iconOut);
}

}  // namespace

HotkeyDialog::HotkeyDialog() : fw::Dialog(IDD_HOTKEY) {}

void HotkeyDialog::DoDataExchange(fw::DataExchange& dx) {
    fw::DDX_Control(dx, IDC_HOTKEYCTRL, hotkeyControl_);
    fw::DDX_Radio(dx, IDC_HK_DEFAULT, hotkeyMode);
}

BOOL HotkeyDialog::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    if (okButton_.SubclassDlgItem(IDOK, this)) SetUpButton(okButton_, IDI_OK_HOT, IDI_OK_NORMAL);
    if (cancelButton_.SubclassDlgItem(IDCANCEL, this)) SetUpButton(cancelButton_, IDI_CANCEL_HOT, IDI_CANCEL_NORMAL);
    // The user's own combination is shown even while the default is chosen, so that switching back finds it.
    const WPARAM combination = MAKEWORD(LOBYTE(hotkeyKey), LOBYTE(hotkeyModifiers));
    hotkeyControl_.SendMessage(HKM_SETHOTKEY, combination, 0);
    // A key typed alone or with Shift alone becomes Ctrl+Alt+key as it is typed: registered as it was, it would never
    // again reach any program, and a Wubi typist types letters all day. (The stored combination above is shown as it
    // is; the main window refuses one without Ctrl or Alt.)
    hotkeyControl_.SendMessage(HKM_SETRULES, HKCOMB_NONE | HKCOMB_S, MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
    if (hotkeyMode == 0) EnableHotkeyControl(false);
    return TRUE;
}

bool HotkeyDialog::OnCommand(UINT id, UINT code, HWND control) {
    if (code == BN_CLICKED && (id == IDC_HK_DEFAULT || id == IDC_HK_CUSTOM)) {
        EnableHotkeyControl(id == IDC_HK_CUSTOM);
        return true;
    }
    return fw::Dialog::OnCommand(id, code, control);
}

void HotkeyDialog::OnOK() {
    // Read whichever radio is checked: the combination is kept for a later switch back to the user's own.
    const LRESULT combination = hotkeyControl_.SendMessage(HKM_GETHOTKEY);
    hotkeyKey = LOBYTE(LOWORD(combination));
    hotkeyModifiers = HIBYTE(LOWORD(combination));
    fw::Dialog::OnOK();
}

void HotkeyDialog::EnableHotkeyControl(bool enable) {
    if (hotkeyControl_.GetSafeHwnd()) EnableWindow(hotkeyControl_.GetSafeHwnd(), enable ? TRUE : FALSE);
}
