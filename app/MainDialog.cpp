#include "app/MainDialog.h"

#include <commctrl.h>

#include "app/CharacterLookup.h"
#include "app/ProgramMenu.h"
#include "app/User.h"
#include "core/DictionaryScan.h"
#include "core/HotkeyFlags.h"
#include "framework/Application.h"
#include "framework/Handles.h"
#include "framework/Platform.h"
#include "framework/Text.h"
#include "menu/GlyphMenu.h"
#include "resources/resource.h"
#include "windows/AboutDialog.h"
#include "windows/HotkeyDialog.h"
#include "windows/MiniDialog.h"

namespace {

constexpr const char* kSettingsFile = "user.ini";

// Posted at start when there is something to tell about "user.ini", so that the notice shows over the visible window.
constexpr UINT kStartNotice = WM_APP + 1;

// Registered by the shell for the message it broadcasts when the taskbar is created again (after the shell restarted):
// every icon of the notification area is gone then.
UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

// Two notices as the paragraphs of one message.
std::string Paragraphs(std::string first, const std::string& second) {
    if (!first.empty() && !second.empty()) first += "\r\n\r\n";
    return first + second;
}

}  // namespace

MainDialog::MainDialog(fw::Window* parent)
    : fw::Dialog(IDD_MAIN, parent), appIcon(LoadIconW(fw::ResourceModule(), MAKEINTRESOURCEW(IDI_APP))) {}

MainDialog::~MainDialog() {
    // Each chart's window goes with its object, in this order (they are usually gone with this window already).
    chart86.reset();
    chart98.reset();
    chartRare.reset();
}

void MainDialog::DoDataExchange(fw::DataExchange& dx) {
    fw::DDX_Control(dx, IDC_CODE, codeLabel);
    fw::DDX_Control(dx, IDC_PINYIN, pinyinLabel);
    fw::DDX_Control(dx, IDC_INPUT, inputBox);
    fw::DDX_Radio(dx, IDC_ED86, edition);
    fw::DDX_Text(dx, IDC_CODE, codeText);
    fw::DDX_Text(dx, IDC_PINYIN, pinyinText);
    fw::DDX_Check(dx, IDC_SHOWPINYIN, showPinyin);
    fw::DDX_Control(dx, IDC_MAIL, mailLink);
    fw::DDX_Control(dx, IDC_WEB, webLink);
}

BOOL MainDialog::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon));
    ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(appIcon));
    // Icon menus take the flat look on every system.
    GlyphMenu::drawModeThemedXp = 1;
    GlyphMenu::drawModeOther = 1;
    CreateCharts();
    SetUpIconButtons();
    LoadSettings(kSettingsFile);
    // Told once the window shows: what was wrong with the settings file, and a stored hotkey that was refused.
    startNotice = Paragraphs(settingsProblem, RegisterHotkey(false));
    if (!startNotice.empty()) PostMessage(kStartNotice);
    edition = savedEdition;
    UpdateData(FALSE);
    webLink.SetTarget(TARVISK_WEB_URL);
    webLink.SetPointerCursor(IDC_HAND_POINT);
    AddTrayIcon();
    mailLink.SetTarget(TARVISK_MAIL_URL);
    mailLink.SetPointerCursor(IDC_HAND_POINT);
    return TRUE;
}

void MainDialog::CreateCharts() {
    std::unique_ptr<fw::Modeless<ChartDialog>>* charts[] = {&chart86, &chart98, &chartRare};
    for (int k = 0; k < 3; ++k) {
        // Owned by this window and hidden, as the templates are.
        *charts[k] = std::make_unique<fw::Modeless<ChartDialog>>(kChartKinds[k]);
        (*charts[k])->Create(kChartKinds[k].templateId, this);
    }
}

void MainDialog::OnMouseMove(UINT, POINT point) {
    for (ChartDialog* chart : {chart86.get(), chart98.get(), chartRare.get()}) {
        if (!chart || !chart->GetSafeHwnd()) continue;
        GetWindowRect(GetDlgItem(IDC_THUMB), &thumbRect);
        MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&thumbRect), 2);
        if (edition == chart->Kind().edition && PtInRect(&thumbRect, point)) {
            MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&thumbRect), 2);
            // Placed just behind this window, which it still covers as an owned window; its size stays.
            SetWindowPos(chart->GetSafeHwnd(), hwnd_, thumbRect.left - chart->Kind().leftOfThumb, thumbRect.top, 100,
                         100, SWP_NOSIZE);
            UpdateWindow(chart->GetSafeHwnd());
            SetActiveWindow(chart->GetSafeHwnd());
            chart->ShowWindow(SW_SHOW);
        } else {
            chart->ShowWindow(SW_HIDE);
        }
    }
    Default();
}

void MainDialog::SetUpIconButtons() {
    struct Row {
        IconButton& button;
        UINT id;
        UINT icon;
        const char* tip;
    };
    const Row rows[] = {
        {hotkeyButton, IDC_HOTKEYBTN, IDI_HOTKEY, "定义热键"},
        {miniButton, IDC_MINIBTN, IDI_MINI, "迷你窗口"},
        {helpButton, IDC_HELPBTN, IDI_HELP, "帮助"},
        {aboutButton, IDC_ABOUTBTN, IDI_ABOUT, "关于"},
        {exitButton, IDC_EXITBTN, IDI_EXIT, "退出"},
    };
    for (const Row& row : rows) {
        row.button.SubclassDlgItem(row.id, this);
        row.button.UseParentBackground(FALSE);
        row.button.AssignIcons(row.icon, 0);
        row.button.SetTipText(row.tip, TRUE);
        row.button.SetHoverCursor(IDC_HAND_POINT, TRUE);
    }
}

void MainDialog::Lookup() {
    UpdateData(TRUE);
    const TypedCharacter typed(GetDlgItem(IDC_INPUT));
    if (typed.Refused()) {
        typed.EmptyBox();
        return;
    }
    if (!showPinyin)
        pinyinText.clear();
    else if (typed.IsGbk())
        pinyinText = typed.ResultLine(core::kPinyinFile, pinyinText);  // not listed: the previous reading stays
    codeText = typed.ResultLine(core::DictionaryFileForEdition(edition), "无");
    UpdateData(FALSE);
}

void MainDialog::OnEnter() {
    Lookup();
    SelectWholeInput(GetDlgItem(IDC_INPUT));
}

bool MainDialog::OnCommand(UINT id, UINT code, HWND control) {
    switch (id) {
    case IDC_INPUT:
        if (code != EN_CHANGE) return false;
        Lookup();
        return true;
    case IDC_ED86:
    case IDC_ED98:
    case IDC_EDRARE:
    case IDC_SHOWPINYIN:
        if (code != BN_CLICKED) return false;
        Lookup();
        return true;
    case IDC_ENTER:
        if (code != BN_CLICKED) return false;
        OnEnter();
        return true;
    case IDC_HOTKEYBTN:
        if (code != BN_CLICKED) return false;
        OnHotkeyDialog();
        return true;
    case IDC_ABOUTBTN:
        if (code != BN_CLICKED) return false;
        OnAbout();
        return true;
    case IDC_HELPBTN:
        if (code != BN_CLICKED) return false;
        OnHelp();
        return true;
    case IDC_EXITBTN:
        if (code != BN_CLICKED) return false;
        OnExit();
        return true;
    case IDC_MINIBTN:
        if (code != BN_CLICKED) return false;
        OnMiniWindow();
        return true;
    default: return fw::Dialog::OnCommand(id, code, control);
    }
}

void MainDialog::OnExit() {
    UpdateData(TRUE);
    SaveSettings(kSettingsFile);
    OnOK();
}

void MainDialog::OnCancel() {
    const int answer = fw::Sys().MessageBox(hwnd_, "真的退出Tarvisk？", "退出系统",
                                            MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    if (answer != IDYES) return;
    UpdateData(TRUE);
    SaveSettings(kSettingsFile);
    OnOK();
}

void MainDialog::OnAbout() {
    AboutDialog dialog;
    dialog.DoModal();
}

void MainDialog::OnHelp() {
    // The same help as F1 in any dialog: the application's.
    if (fw::Application* app = fw::Application::Current()) app->OnHelp();
}

void MainDialog::OnMiniWindow() {
    UpdateData(TRUE);
    HideToTray();
    MiniDialog mini;
    mini.dictionaryFile = core::DictionaryFileForEdition(edition);
    // It hands back to this window itself when the user asks for it; hidden, this window stays hidden.
    mini.DoModal();
}

void MainDialog::HideToTray() {
    ShowWindow(SW_HIDE);
    isShown = 0;
}

void MainDialog::ShowInFront() {
    ShowWindow(SW_SHOW);
    SetForegroundWindow(hwnd_);
    isShown = 1;
}

void MainDialog::AddTrayIcon() {
    trayIcon = NOTIFYICONDATAW{};
    trayIcon.cbSize = NOTIFYICONDATAW_V1_SIZE;
    trayIcon.hWnd = hwnd_;
    trayIcon.uID = TRAY_ICON_ID;
    trayIcon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    trayIcon.uCallbackMessage = WM_TRAYNOTIFY;
    trayIcon.hIcon = appIcon;
    lstrcpynW(trayIcon.szTip, L"Tarvisk", ARRAYSIZE(trayIcon.szTip));
    fw::Sys().ShellNotifyIcon(NIM_ADD, &trayIcon);
}

bool MainDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == kStartNotice) {
        fw::Sys().MessageBox(hwnd_, startNotice, "Tarvisk", MB_ICONEXCLAMATION);
        result = 0;
        return true;
    }
    if (message == WM_TRAYNOTIFY) {
        OnTrayNotify(static_cast<UINT>(lParam));
        result = 1;
        return true;
    }
    if (message == TaskbarCreatedMessage() && message != 0) {
        // Without its icon a hidden window could not be brought back by the mouse.
        AddTrayIcon();
        result = 0;
        return true;
    }
    return fw::Dialog::OnMessage(message, wParam, lParam, result);
}

bool MainDialog::ModalWindowRuns() const { return !IsWindowEnabled(hwnd_); }

void MainDialog::BringModalWindowToFront() {
    HWND modal = GetLastActivePopup(hwnd_);
    if (modal && modal != hwnd_) SetForegroundWindow(modal);
}

void MainDialog::OnTrayNotify(UINT mouseMessage) {
    if (ModalWindowRuns()) {
        // A modal window of this one runs (the mini window, a dialog, a message box). The menu now would open a
        // second one inside it, show this window while it takes no input, or end the program inside the handler that
        // waits for it. The icon brings that window to the front instead.
        if (mouseMessage == WM_LBUTTONUP || mouseMessage == WM_LBUTTONDBLCLK || mouseMessage == WM_RBUTTONUP) {
            BringModalWindowToFront();
        }
        return;
    }
    if (mouseMessage == WM_LBUTTONDBLCLK) {
        if (!isShown) ShowInFront();
        return;
    }
    if (mouseMessage != WM_RBUTTONUP) return;
    GlyphMenu menu;
    RunMenuCommand(TrackMenuAtPointer(menu, IDR_TRAYMENU, *this, isShown == 1 ? ID_SHOW : 0));
    if (fw::Menu* popup = menu.GetSubMenu(0)) popup->DestroyMenu();
    // A message after the menu of a notification icon: without one, the next menu opened from the icon may close
    // again at once.
    PostMessage(WM_NULL);
}

void MainDialog::OnRButtonDown(UINT, POINT) {
    GlyphMenu menu;
    // Greyed while the window counts as hidden: the opposite of the tray menu's rule.
    RunMenuCommand(TrackMenuAtPointer(menu, IDR_TRAYMENU, *this, isShown != 1 ? ID_SHOW : 0));
    Default();
}

void MainDialog::RunMenuCommand(UINT command) {
    switch (command) {
    case IDC_HOTKEYBTN: OnHotkeyDialog(); break;
    case IDC_ABOUTBTN: OnAbout(); break;
    case IDC_HELPBTN: OnHelp(); break;
    case IDC_MINIBTN: OnMiniWindow(); break;
    case ID_SHOW: ShowInFront(); break;
    // Ends the program at once: no question, nothing saved. The quit message ends every modal loop it passes.
    case ID_EXIT: PostQuitMessage(0); break;
    default: break;  // dismissed
    }
}

void MainDialog::SaveSettings(const std::string& fileName) {
    CUser user;
    user.hotkeyMode = hotkeyMode;
    user.edition = edition;
    user.hotkeyKey = hotkeyKey;
    user.hotkeyModifiers = hotkeyModifiers;
    std::string whyNot;
    if (!user.StoreToFile(fileName, &whyNot))
        fw::Sys().MessageBox(hwnd_, "无法进行设置！\r\n\r\n" + whyNot, "RUR", MB_ICONHAND);
}

void MainDialog::LoadSettings(const std::string& fileName) {
    // What the file does not hold whole keeps the value it has now (the defaults at start).
    CUser user;
    user.hotkeyMode = hotkeyMode;
    user.edition = savedEdition;
    user.hotkeyKey = hotkeyKey;
    user.hotkeyModifiers = hotkeyModifiers;
    settingsProblem.clear();
    if (!user.LoadFromFile(fileName, nullptr, &settingsProblem)) return;
    hotkeyMode = user.hotkeyMode;
    savedEdition = user.edition;
    hotkeyKey = user.hotkeyKey;
    hotkeyModifiers = user.hotkeyModifiers;
}

std::string MainDialog::RegisterHotkey(bool afterChoice) {
    const core::HotkeyChoice choice = core::ChooseHotkey(hotkeyMode, hotkeyKey, hotkeyModifiers);
    if (choice.virtualKey == 0) {
        // "Custom" with an empty hotkey control: there is no key to register, and no other program to blame.
        return afterChoice ? "自定义热键是空的，现在没有热键。请在定义热键对话框中按下一个组合键。" : "";
    }
    const bool registered = fw::Sys().RegisterHotKey(hwnd_, HOTKEY_ID, choice.modifiers, choice.virtualKey);
    std::string notice;
    if (choice.Refused()) {
        // The default is what toggles the window now, and what the settings will say.
        hotkeyMode = 0;
        notice = "热键 " + core::DescribeHotkey(choice.refusedModifiers, choice.refusedKey) +
                 " 不含 Ctrl 或 Alt，会让所有程序都收不到这个键，已改用默认热键 " +
                 core::DescribeHotkey(choice.modifiers, choice.virtualKey) + "。";
    }
    if (!registered && afterChoice)
        notice = Paragraphs(notice, "热键 " + core::DescribeHotkey(choice.modifiers, choice.virtualKey) +
                                        " 已被其他程序占用，请换一个组合。");
    return notice;
}

void MainDialog::OnHotkeyDialog() {
    HotkeyDialog dialog;
    dialog.hotkeyKey = hotkeyKey;
    dialog.hotkeyModifiers = hotkeyModifiers;
    dialog.hotkeyMode = hotkeyMode;
    const INT_PTR answer = dialog.DoModal();
    // Ended by the quit message (or never shown): the program is ending, and nothing was chosen to keep.
    if (answer == -1) return;
    if (answer == IDOK) {
        UpdateData(TRUE);
        hotkeyKey = dialog.hotkeyKey;
        hotkeyModifiers = dialog.hotkeyModifiers;
        hotkeyMode = dialog.hotkeyMode;
    }
    // Registering again under the same id would leave the old combination registered too (and kept from other
    // programs) until the program ends; only the chosen one should toggle the window.
    fw::Sys().UnregisterHotKey(hwnd_, HOTKEY_ID);
    const std::string notice = RegisterHotkey(true);
    if (!notice.empty()) fw::Sys().MessageBox(hwnd_, notice, "Tarvisk", MB_ICONEXCLAMATION);
    UpdateData(TRUE);
    SaveSettings(kSettingsFile);
    LoadSettings(kSettingsFile);
}

void MainDialog::OnHotKey(int id, UINT, UINT) {
    if (id != HOTKEY_ID) return;
    if (ModalWindowRuns()) {
        // Showing this window now would show it disabled under its modal window, and hiding it would leave that
        // window alone on the screen: the hotkey brings the modal window to the front, as the tray icon does.
        BringModalWindowToFront();
        return;
    }
    if (isShown) {
        HideToTray();
        return;
    }
    ShowWindow(SW_SHOW);
    ShowWindow(SW_SHOWNORMAL);  // also restores a minimised window
    SetForegroundWindow(hwnd_);
    isShown = 1;
    SetFocus(hwnd_);
    SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void MainDialog::OnDestroy() {
    Default();
    fw::Sys().UnregisterHotKey(hwnd_, HOTKEY_ID);
    fw::Sys().ShellNotifyIcon(NIM_DELETE, &trayIcon);
}

void MainDialog::OnPaint() {
    if (!IsIconic(hwnd_)) {
        Default();
        return;
    }
    fw::PaintDc dc(hwnd_);
    ::SendMessageW(hwnd_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 0);
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc.get(), x, y, appIcon);
}

HCURSOR MainDialog::OnQueryDragIcon() { return static_cast<HCURSOR>(appIcon); }

void MainDialog::OnLButtonDown(UINT, POINT point) {
    Default();
    DragByCaption(point);
}
