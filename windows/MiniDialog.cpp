#include "windows/MiniDialog.h"

#include "app/CharacterLookup.h"
#include "app/MainDialog.h"
#include "app/ProgramMenu.h"
#include "menu/GlyphMenu.h"
#include "resources/resource.h"

MiniDialog::MiniDialog() : fw::Dialog(IDD_MINI) {}

void MiniDialog::DoDataExchange(fw::DataExchange& dx) {
    fw::DDX_Control(dx, IDC_INPUT, inputBox);
    fw::DDX_Control(dx, IDC_CODE, resultLabel);
    fw::DDX_Text(dx, IDC_CODE, resultText);
}

void MiniDialog::LookUpTyped() {
    const TypedCharacter typed(GetDlgItem(IDC_INPUT));
    if (typed.Refused()) {
        typed.EmptyBox();
        return;
    }
    UpdateData(TRUE);
    resultText = typed.ResultLine(dictionaryFile, "");
    UpdateData(FALSE);
}

bool MiniDialog::OnCommand(UINT id, UINT code, HWND control) {
    switch (id) {
    case IDC_INPUT:
        if (code != EN_CHANGE) return false;
        LookUpTyped();
        return true;
    case IDC_ENTER:
        if (code != BN_CLICKED) return false;
        LookUpTyped();
        SelectWholeInput(GetDlgItem(IDC_INPUT));
        return true;
    default: return fw::Dialog::OnCommand(id, code, control);
    }
}

void MiniDialog::OnCancel() {
    ReturnToMainWindow();
    OnOK();
}

void MiniDialog::OnLButtonDown(UINT, POINT point) {
    Default();
    DragByCaption(point);
}

void MiniDialog::OnRButtonDown(UINT, POINT) {
    GlyphMenu menu;
    const UINT command = TrackMenuAtPointer(menu, IDR_MINIMENU, *this);
    if (command == ID_SHOW) {  // "隐藏(&H)": the main window stays hidden
        OnOK();
    } else if (command == ID_EXIT) {  // "返回(&R)"
        ReturnToMainWindow();
        OnOK();
    }
    if (fw::Menu* popup = menu.GetSubMenu(0)) popup->DestroyMenu();
    PostMessage(WM_NULL);
    Default();
}

void MiniDialog::ReturnToMainWindow() {
    if (auto* main = dynamic_cast<MainDialog*>(fw::Window::FromHandle(GetWindow(hwnd_, GW_OWNER)))) main->ShowInFront();
}
