// Dialogs built from the program's dialog templates, run modally (DoModal) or modelessly (Create).
//
// The dialog window is subclassed as soon as it exists, so it is handled by the same typed handlers as every other
// window; its dialog procedure only hands WM_INITDIALOG to OnInitDialog. Data exchange (UpdateData and the DDX_
// functions) moves values between controls and members in both directions.
#pragma once

#include <windows.h>

#include <string>
#include <type_traits>
#include <vector>

#include "framework/Handles.h"
#include "framework/Window.h"

namespace fw {

class DataExchange;

// The colours every dialog of the program uses (set once by the application before any window exists).
void SetDialogColours(COLORREF background, COLORREF text);
bool DialogColoursSet();
COLORREF DialogBackgroundColour();
COLORREF DialogTextColour();
HBRUSH DialogBackgroundBrush();

class Dialog : public Window {
public:
    explicit Dialog(UINT templateId, Window* parent = nullptr);
    // Destroys a window that is still open. By then the derived part is gone, so this is only a last resort that
    // keeps the window from outliving its object: a dialog that can be open when its object goes is held as
    // Modeless<T>, which destroys the window while T's handlers still exist.
    ~Dialog() override;

    // Runs the dialog modally: the owner is disabled, the dialog's own message loop runs until EndDialog, the
    // window is destroyed and the result returned (-1 when the template could not be loaded, or when a quit message
    // ended the loop, in which case the quit message is posted again for the enclosing loop).
    INT_PTR DoModal();
    // Creates the dialog modelessly; it lives until its window is destroyed.
    BOOL Create(UINT templateId = 0, Window* parent = nullptr);
    void EndDialog(INT_PTR result);

    // FALSE: members to controls; TRUE: controls to members.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    // Centres on the owner when it is visible and not minimised, else on the work area of the screen.
    void CenterWindow(HWND alternateOwner = nullptr);

    UINT TemplateId() const { return templateId_; }
    bool IsRunningModal() const { return modal_ && !ended_; }

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(DataExchange& dx);

    // IDOK and IDCANCEL clicks, and the Help command, which opens the application's help.
    bool OnCommand(UINT id, UINT code, HWND control) override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT message) override;
    // F1 anywhere in the dialog: the Help command. Handled here, so it never reaches the owner window as well.
    BOOL OnHelpInfo(HELPINFO* info) override;
    // The window and its controls are gone: the template's pictures go too.
    void PostNcDestroy() override;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND OwnerForNewWindow() const;
    void RunModalLoop();
    bool PreTranslateForTree(MSG& message);

    UINT templateId_;
    Window* parent_;
    bool modal_ = false;
    bool ended_ = false;
    INT_PTR result_ = -1;
    // The bitmaps the template's picture controls loaded, taken over from them when the dialog was created.
    std::vector<UniqueBitmap> templatePictures_;
};

// A dialog object whose destruction first destroys its window, while T's own handlers (its OnDestroy, the members
// it releases there, its child controls' objects) still exist. Modeless dialogs are held this way; a modal run has
// destroyed its window before DoModal returns.
template <typename T>
class Modeless final : public T {
    static_assert(std::is_base_of_v<Dialog, T>, "Modeless holds dialogs");

public:
    using T::T;
    ~Modeless() override {
        if (HWND hwnd = this->GetSafeHwnd()) ::DestroyWindow(hwnd);
    }
};

class DataExchange {
public:
    DataExchange(Dialog& owner, bool save) : dialog(owner), saveAndValidate(save) {}
    HWND Control(int id) const { return ::GetDlgItem(dialog.GetSafeHwnd(), id); }

    Dialog& dialog;
    const bool saveAndValidate;
};

// Attaches `control` to dialog control `id` the first time; later exchanges leave it as it is.
void DDX_Control(DataExchange& dx, int id, Window& control);
// The control's window text (GBK).
void DDX_Text(DataExchange& dx, int id, std::string& value);
// The index of the checked radio button of the group that starts at `id`; -1 when none is checked.
void DDX_Radio(DataExchange& dx, int id, int& index);
// The check state of a check box: 0, 1 (or 2 for indeterminate).
void DDX_Check(DataExchange& dx, int id, int& value);

}  // namespace fw
