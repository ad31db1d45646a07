// The program's main window: the input box and the two result lines of the lookup, the edition radio buttons and the
// pinyin check box, five flat icon buttons, the web and mail links, the global hotkey that hides and shows it, and the
// settings file it reads at start and writes when it ends, and its icon in the notification area with the program's
// menu. Run modally by LookupApp for the whole life of the program.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <memory>
#include <string>

#include "controls/FittedLine.h"
#include "controls/IconButton.h"
#include "controls/LinkLabel.h"
#include "framework/Dialog.h"
#include "framework/Window.h"
#include "windows/ChartDialog.h"

class MainDialog : public fw::Dialog {
public:
    explicit MainDialog(fw::Window* parent = nullptr);
    ~MainDialog() override;

    // Looks the first character of the input box up in the selected edition's dictionary (and in the pinyin
    // table when the check box is on) and shows the results.
    void Lookup();

    void SaveSettings(const std::string& fileName);
    void LoadSettings(const std::string& fileName);

    void HideToTray();
    // Shows the window in front and counts it as shown (the menus' show command, the tray icon's double-click, and
    // the mini window handing back to this window).
    void ShowInFront();

    // Command handlers that the popup menus call directly as well.
    void OnHotkeyDialog();
    void OnAbout();
    void OnHelp();
    void OnExit();
    // Hides this window and runs the mini window on the selected edition's dictionary until the user leaves it.
    void OnMiniWindow();

    IconButton hotkeyButton;
    IconButton miniButton;
    IconButton aboutButton;
    IconButton helpButton;
    IconButton exitButton;
    FittedLine codeLabel;
    FittedLine pinyinLabel;
    fw::Window inputBox;
    LinkLabel mailLink;
    LinkLabel webLink;

    int edition = 0;  // 0 the 86 edition, 1 the 98 edition, 2 rare characters; -1 while no radio button is checked
    std::string codeText;
    std::string pinyinText;
    int showPinyin = 0;
    HICON appIcon = nullptr;  // shared resource icon: never destroyed
    NOTIFYICONDATAW trayIcon{};
    std::uint8_t isShown = 1;
    int savedEdition = 0;
    std::int32_t hotkeyMode = 0;
    std::uint16_t hotkeyKey = 0;
    std::uint16_t hotkeyModifiers = 0;
    // The radical chart popups, created at start and destroyed with the window.
    std::unique_ptr<fw::Modeless<ChartDialog>> chart86;
    std::unique_ptr<fw::Modeless<ChartDialog>> chart98;
    std::unique_ptr<fw::Modeless<ChartDialog>> chartRare;
    RECT thumbRect{};  // the thumbnail's rectangle, in client coordinates while a mouse move is handled
    // What was wrong with the settings file at the last load (GBK), empty when it was read whole or was not there.
    std::string settingsProblem;

protected:
    void DoDataExchange(fw::DataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;

    // The tray icon's notifications, the taskbar coming back after the shell restarted, and the notice about the
    // settings posted at start.
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnPaint() override;
    HCURSOR OnQueryDragIcon() override;
    void OnLButtonDown(UINT flags, POINT point) override;
    // The program's menu at the pointer, as on the tray icon.
    void OnRButtonDown(UINT flags, POINT point) override;
    // Shows the selected edition's chart while the pointer is over the thumbnail, and hides the others.
    void OnMouseMove(UINT flags, POINT point) override;
    void OnHotKey(int id, UINT modifiers, UINT virtualKey) override;
    void OnDestroy() override;

private:
    void CreateCharts();
    void SetUpIconButtons();
    // Registers hotkey 1001 from hotkeyMode, hotkeyKey and hotkeyModifiers, and returns what the user should be told
    // (GBK, "" for nothing). A stored combination without Ctrl or Alt is refused: the default is registered, hotkeyMode
    // becomes 0, and that is always told. An empty or taken combination is told only `afterChoice` in the dialog; at
    // start it leaves the program without a hotkey, nothing more.
    std::string RegisterHotkey(bool afterChoice);
    void OnEnter();
    void AddTrayIcon();
    void OnTrayNotify(UINT mouseMessage);
    bool ModalWindowRuns() const;
    void BringModalWindowToFront();
    void RunMenuCommand(UINT command);

    // What the user is told once the window shows at start (GBK), empty for nothing.
    std::string startNotice;
};
