// The dialog in which the user picks the combination that shows and hides the main window: the default (Win+Z) or a
// combination of their own entered in the system hotkey control.
#pragma once

#include <cstdint>

#include "controls/IconButton.h"
#include "framework/Dialog.h"

class HotkeyDialog : public fw::Dialog {
public:
    HotkeyDialog();  // template 144, no parent

    // The caller sets all three before DoModal and reads them back after IDOK; Cancel leaves them as they were.
    std::int32_t hotkeyMode = 0;  // 0 the default combination, 1 the user's own, -1 neither radio checked
    std::uint16_t hotkeyKey = 0;  // virtual key of the user's own combination
    std::uint16_t hotkeyModifiers = 0;  // HOTKEYF_* flags of the user's own combination

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(fw::DataExchange& dx) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;

private:
    void EnableHotkeyControl(bool enable);

    IconButton okButton_;
    IconButton cancelButton_;
    fw::Window hotkeyControl_;  // the system hotkey control, attached by data exchange
};
