// The compiled resources as the program loads them: every dialog template creates, with its controls in template
// order, of the right window class and kind, at the right place; the menus load with their commands and texts.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "resources/resource.h"

namespace {

enum class Kind {
    Edit,
    PushButton,
    DefPushButton,
    AutoRadio,
    AutoCheck,
    GroupBox,
    Text,
    Bitmap,
    Icon,
    BlackFrame,
    Hotkey,
};

struct ControlRow {
    int id;
    Kind kind;
    RECT units;   // x, y, right, bottom in dialog units
    bool visible;
};

constexpr RECT Du(int x, int y, int w, int h) { return RECT{x, y, x + w, y + h}; }

struct DialogRow {
    int id;
    const wchar_t* title;
    SIZE units;
    DWORD style;     // bits that must be set
    DWORD exStyle;   // bits that must be set
    std::vector<ControlRow> controls;
};

const std::vector<DialogRow>& Dialogs() {
    static const std::vector<DialogRow> rows = {
        {IDD_MAIN, L"Tarvisk  最终版", {162, 212},
         WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE, WS_EX_APPWINDOW,
         {
             {IDC_INPUT, Kind::Edit, Du(69, 52, 69, 13), true},
             {IDC_ED86, Kind::AutoRadio, Du(23, 86, 39, 10), true},
             {IDC_ED98, Kind::AutoRadio, Du(61, 86, 39, 10), true},
             {IDC_EDRARE, Kind::AutoRadio, Du(99, 86, 38, 10), true},
             {IDC_MAIL, Kind::Text, Du(33, 170, 111, 8), true},
             {IDC_ENTER, Kind::DefPushButton, Du(12, 184, 12, 13), false},
             {IDC_CODE, Kind::Text, Du(70, 36, 80, 8), true},
             {IDCANCEL, Kind::PushButton, Du(11, 183, 10, 13), false},
             {IDC_STATIC, Kind::GroupBox, Du(19, 72, 123, 33), true},
             {IDC_STATIC, Kind::Text, Du(23, 54, 41, 8), true},
             {IDC_STATIC, Kind::Text, Du(23, 36, 41, 8), true},
             {IDC_STATIC, Kind::GroupBox, Du(10, 7, 141, 193), true},
             {IDC_WEB, Kind::Text, Du(33, 181, 117, 8), true},
             {IDC_STATIC, Kind::GroupBox, Du(19, 109, 123, 33), true},
             {IDC_THUMB, Kind::Bitmap, Du(48, 119, 60, 18), true},
             {IDC_HOTKEYBTN, Kind::PushButton, Du(29, 146, 18, 18), true},
             {IDC_ABOUTBTN, Kind::PushButton, Du(98, 146, 18, 18), true},
             {IDC_HELPBTN, Kind::PushButton, Du(75, 146, 18, 18), true},
             {IDC_EXITBTN, Kind::PushButton, Du(121, 146, 18, 18), true},
             {IDC_MINIBTN, Kind::PushButton, Du(52, 146, 18, 18), true},
             {IDC_SHOWPINYIN, Kind::AutoCheck, Du(14, 21, 56, 10), true},
             {IDC_PINYIN, Kind::Text, Du(70, 21, 69, 8), true},
         }},
        {IDD_MINI, L"", {80, 33}, WS_POPUP, WS_EX_TOPMOST,
         {
             {IDCANCEL, Kind::PushButton, Du(5, 0, 6, 6), false},
             {IDC_INPUT, Kind::Edit, Du(3, 17, 74, 12), true},
             {IDC_CODE, Kind::Text, Du(4, 4, 74, 10), true},
             {IDC_ENTER, Kind::DefPushButton, Du(0, 0, 6, 6), false},
         }},
        {IDD_ABOUT, L"", {142, 200}, WS_POPUP | WS_BORDER, 0,
         {
             {IDC_STATIC, Kind::Text, Du(14, 39, 49, 8), true},
             {IDC_STATIC, Kind::Text, Du(71, 39, 47, 8), true},
             {IDC_STATIC, Kind::Icon, Du(24, 11, 20, 20), true},
             {IDC_STATIC, Kind::Text, Du(14, 99, 110, 8), true},
             {IDC_STATIC, Kind::Bitmap, Du(36, 57, 60, 29), true},
             {IDC_MAIL, Kind::Text, Du(14, 120, 117, 10), true},
             {IDC_WEB, Kind::Text, Du(14, 136, 115, 10), true},
             {IDC_STATIC, Kind::Text, Du(49, 18, 64, 8), true},
             {IDC_PICTUREBTN, Kind::PushButton, Du(36, 57, 60, 29), true},
         }},
        {IDD_HOTKEY, L"定义热键对话框", {150, 104}, WS_POPUP | WS_CAPTION | WS_SYSMENU, 0,
         {
             {IDC_HOTKEYCTRL, Kind::Hotkey, Du(74, 44, 62, 12), true},
             {IDC_HK_DEFAULT, Kind::AutoRadio, Du(16, 23, 50, 10), true},
             {IDC_HK_CUSTOM, Kind::AutoRadio, Du(15, 45, 58, 10), true},
             {IDOK, Kind::DefPushButton, Du(20, 68, 48, 18), true},
             {IDC_STATIC, Kind::Text, Du(72, 23, 71, 8), true},
             {IDCANCEL, Kind::PushButton, Du(87, 68, 48, 18), true},
             {IDC_STATIC, Kind::GroupBox, Du(7, 7, 136, 90), true},
         }},
        {IDD_CHART86, L"", {299, 83}, WS_POPUP | WS_BORDER, WS_EX_TOPMOST,
         {{IDC_CHART86PIC, Kind::BlackFrame, Du(0, 0, 20, 20), true}}},
        {IDD_CHART98, L"", {299, 83}, WS_POPUP | WS_BORDER, WS_EX_TOPMOST,
         {{IDC_CHART98PIC, Kind::BlackFrame, Du(0, 0, 20, 20), true}}},
        {IDD_CHARTRARE, L"", {238, 93}, WS_POPUP | WS_BORDER, WS_EX_TOPMOST,
         {{IDC_CHARTRAREPIC, Kind::BlackFrame, Du(0, 0, 20, 20), true}}},
    };
    return rows;
}

void PrintTo(const DialogRow& row, std::ostream* out) { *out << "dialog " << row.id; }

const wchar_t* ClassOf(Kind kind) {
    switch (kind) {
    case Kind::Edit: return L"Edit";
    case Kind::PushButton:
    case Kind::DefPushButton:
    case Kind::AutoRadio:
    case Kind::AutoCheck:
    case Kind::GroupBox: return L"Button";
    case Kind::Hotkey: return HOTKEY_CLASSW;
    default: return L"Static";
    }
}

// The style bits that tell the kinds of one class apart; -1 when the class alone decides.
LONG TypeOf(Kind kind) {
    switch (kind) {
    case Kind::PushButton: return BS_PUSHBUTTON;
    case Kind::DefPushButton: return BS_DEFPUSHBUTTON;
    case Kind::AutoRadio: return BS_AUTORADIOBUTTON;
    case Kind::AutoCheck: return BS_AUTOCHECKBOX;
    case Kind::GroupBox: return BS_GROUPBOX;
    case Kind::Text: return SS_LEFT;
    case Kind::Bitmap: return SS_BITMAP;
    case Kind::Icon: return SS_ICON;
    case Kind::BlackFrame: return SS_BLACKFRAME;
    default: return -1;
    }
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

struct DialogWindow {
    HWND hwnd;
    explicit DialogWindow(int id)
        : hwnd(CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), nullptr, PlainDialogProc, 0)) {}
    ~DialogWindow() {
        if (hwnd) DestroyWindow(hwnd);
    }
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;
};

std::wstring WindowText(HWND hwnd) {
    wchar_t buffer[256] = {};
    GetWindowTextW(hwnd, buffer, 256);
    return buffer;
}

std::wstring ClassName(HWND hwnd) {
    wchar_t buffer[128] = {};
    GetClassNameW(hwnd, buffer, 128);
    return buffer;
}

class Templates : public testing::TestWithParam<DialogRow> {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX init{sizeof(init), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        ASSERT_TRUE(InitCommonControlsEx(&init));
    }
};

TEST_P(Templates, CreatesWithEveryControlInTemplateOrder) {
    const DialogRow& row = GetParam();
    DialogWindow dialog(row.id);
    ASSERT_NE(dialog.hwnd, nullptr) << "template " << row.id << ", error " << GetLastError();

    EXPECT_EQ(WindowText(dialog.hwnd), row.title);
    const LONG style = GetWindowLongW(dialog.hwnd, GWL_STYLE);
    const LONG exStyle = GetWindowLongW(dialog.hwnd, GWL_EXSTYLE);
    EXPECT_EQ(style & static_cast<LONG>(row.style), static_cast<LONG>(row.style)) << std::hex << style;
    EXPECT_EQ(exStyle & static_cast<LONG>(row.exStyle), static_cast<LONG>(row.exStyle)) << std::hex << exStyle;

    RECT size{0, 0, row.units.cx, row.units.cy};
    MapDialogRect(dialog.hwnd, &size);
    RECT client{};
    GetClientRect(dialog.hwnd, &client);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    HWND child = GetWindow(dialog.hwnd, GW_CHILD);
    for (size_t i = 0; i < row.controls.size(); ++i, child = GetWindow(child, GW_HWNDNEXT)) {
        const ControlRow& expected = row.controls[i];
        SCOPED_TRACE(testing::Message() << "dialog " << row.id << ", control #" << i << " (id " << expected.id << ")");
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(static_cast<int>(static_cast<short>(GetDlgCtrlID(child))), expected.id);
        EXPECT_EQ(lstrcmpiW(ClassName(child).c_str(), ClassOf(expected.kind)), 0) << ClassName(child).c_str();
        const LONG childStyle = GetWindowLongW(child, GWL_STYLE);
        if (const LONG type = TypeOf(expected.kind); type >= 0) {
            const LONG mask = ClassOf(expected.kind)[0] == L'B' ? BS_TYPEMASK : SS_TYPEMASK;
            EXPECT_EQ(childStyle & mask, type) << std::hex << childStyle;
        }
        EXPECT_EQ((childStyle & WS_VISIBLE) != 0, expected.visible);

        // The dialog manager converts origin and size separately, so the right edge is mapped x plus mapped width.
        // Pictures size themselves to their image, so only their origin is the template's.
        RECT origin{expected.units.left, expected.units.top, expected.units.right - expected.units.left,
                    expected.units.bottom - expected.units.top};
        MapDialogRect(dialog.hwnd, &origin);
        const RECT want{origin.left, origin.top, origin.left + origin.right, origin.top + origin.bottom};
        RECT got{};
        GetWindowRect(child, &got);
        MapWindowPoints(nullptr, dialog.hwnd, reinterpret_cast<POINT*>(&got), 2);
        EXPECT_EQ(got.left, want.left);
        EXPECT_EQ(got.top, want.top);
        if (expected.kind != Kind::Bitmap && expected.kind != Kind::Icon) {
            EXPECT_EQ(got.right, want.right);
            EXPECT_EQ(got.bottom, want.bottom);
        }
    }
    EXPECT_EQ(child, nullptr) << "more controls than the template table lists";
}

INSTANTIATE_TEST_SUITE_P(AllDialogs, Templates, testing::ValuesIn(Dialogs()),
                         [](const testing::TestParamInfo<DialogRow>& row) {
                             return "Dialog" + std::to_string(row.param.id);
                         });

TEST(TemplateTexts, MainWindowTextsAreTheTemplates) {
    DialogWindow dialog(IDD_MAIN);
    ASSERT_NE(dialog.hwnd, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(dialog.hwnd, IDC_MINIBTN)), std::wstring(28, L' ') + L"(&m)");
    EXPECT_EQ(WindowText(GetDlgItem(dialog.hwnd, IDC_ED86)), L"86王码");
    EXPECT_EQ(WindowText(GetDlgItem(dialog.hwnd, IDC_ED98)), L"98王码");
    EXPECT_EQ(WindowText(GetDlgItem(dialog.hwnd, IDC_EDRARE)), L"罕见字");
    EXPECT_EQ(WindowText(GetDlgItem(dialog.hwnd, IDC_SHOWPINYIN)), L"显示拼音：");
    EXPECT_EQ(WindowText(GetDlgItem(dialog.hwnd, IDC_MAIL)), L"Email: " TARVISK_MAIL_ADDRESS);
    EXPECT_EQ(WindowText(GetDlgItem(dialog.hwnd, IDC_WEB)), L"" TARVISK_WEB_URL);
}

TEST(TemplateTexts, AboutLinksCarryTheirPadding) {
    DialogWindow dialog(IDD_ABOUT);
    ASSERT_NE(dialog.hwnd, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(dialog.hwnd, IDC_MAIL)), L"Email:  " TARVISK_MAIL_ADDRESS "     ");
    EXPECT_EQ(WindowText(GetDlgItem(dialog.hwnd, IDC_WEB)), L"" TARVISK_WEB_URL "        ");
}

struct MenuRow {
    int id;
    std::vector<std::pair<UINT, std::wstring>> items;
};

void PrintTo(const MenuRow& row, std::ostream* out) { *out << "menu " << row.id; }

class Menus : public testing::TestWithParam<MenuRow> {};

TEST_P(Menus, LoadWithOnePopupOfTheirCommands) {
    const MenuRow& row = GetParam();
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(row.id));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 1);
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(row.items.size()));
    for (int i = 0; i < GetMenuItemCount(popup); ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(popup, i, text, 64, MF_BYPOSITION);
        EXPECT_EQ(GetMenuItemID(popup, i), row.items[i].first) << i;
        EXPECT_EQ(std::wstring(text), row.items[i].second) << i;
    }
    DestroyMenu(menu);
}

INSTANTIATE_TEST_SUITE_P(
    AllMenus, Menus,
    testing::Values(MenuRow{IDR_TRAYMENU,
                            {{ID_SHOW, L"显示(&S)"},
                             {IDC_HOTKEYBTN, L"定义热键(&K)"},
                             {IDC_MINIBTN, L"迷你窗口(&M)"},
                             {IDC_HELPBTN, L"帮助(H)"},
                             {IDC_ABOUTBTN, L"关于(&A)"},
                             {ID_EXIT, L"退出(&X)"}}},
                    MenuRow{IDR_MINIMENU, {{ID_SHOW, L"隐藏(&H)"}, {ID_EXIT, L"返回(&R)"}}}),
    [](const testing::TestParamInfo<MenuRow>& row) { return "Menu" + std::to_string(row.param.id); });

TEST(Manifest, IsEmbeddedAndLoadsCommonControls6) {
    EXPECT_NE(FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)), nullptr);
    EXPECT_NE(FindResourceW(nullptr, MAKEINTRESOURCEW(VS_VERSION_INFO), MAKEINTRESOURCEW(16)), nullptr);

    // Version 6 is the side-by-side assembly (Wine's reports 5.81 from DllGetVersion, so ask for its file).
    INITCOMMONCONTROLSEX init{sizeof(init), ICC_STANDARD_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&init));
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(GetModuleHandleW(L"comctl32.dll"), path, MAX_PATH);
    CharLowerW(path);
    EXPECT_NE(std::wstring(path).find(L"microsoft.windows.common-controls_"), std::wstring::npos) << path;
}

}  // namespace
