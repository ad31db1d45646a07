// The mini window as the main window opens it: how it shows, what its box looks up in the dictionary of the edition
// chosen before, Enter, and its three ways out with the main window's state after each.
#include <windows.h>

#include <functional>

#include "framework/Platform.h"
#include "tests/support/MainWindowFixture.h"
#include "tests/support/ScreenKit.h"
#include "windows/MiniDialog.h"

namespace {

using namespace testing_support;

class MiniWindowTest : public MainWindowTest {
protected:
    // Opens the mini window with the main window's button; `inMini` acts in it once it shows, and must close it.
    void RunMini(const std::function<void(HWND)>& inMini) {
        EXPECT_TRUE(RunModalFrom(IDC_MINIBTN, FindShownWindowOf<MiniDialog>, inMini));
        EXPECT_EQ(FindShownWindowOf<MiniDialog>(), nullptr);
    }
    static void PressEscape(HWND mini) { PostMessageW(GetDlgItem(mini, IDC_INPUT), WM_KEYDOWN, VK_ESCAPE, 0); }
};

struct Typed {
    std::wstring input;
    std::wstring label;
    std::wstring box;  // what the box holds afterwards
};

TEST_F(MiniWindowTest, ShowsTheTokenOfTheFirstTypedCharacterInTheEditionsDictionary) {
    const struct {
        const char* name;
        int editionButton;
        std::vector<Typed> typed;
    } rows[] = {
        {"86 edition", IDC_ED86,
         {{L"工", L"工aaaa", L"工"},
          {L"式", L"式aa", L"式"},
          {L"工式", L"工aaaa", L"工式"},
          {L"强", L"强xkj", L"强"},  // the last token, without a line break
          {L"龘", L"", L"龘"},       // not listed: empty, where the main window says "无"
          {L",", L"", L","},
          {L"가", L"不是GBK汉字", L"가"},
          {L"工", L"工aaaa", L"工"},
          {L"a", L"", L""}}},  // refused, and the emptied box looks up nothing
        {"98 edition", IDC_ED98, {{L"式", L"", L"式"}, {L"的", L"的r", L"的"}}},
        {"rare characters", IDC_EDRARE, {{L"龘", L"龘dddd", L"龘"}, {L"9", L"", L""}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Open();
        Click(row.editionButton);
        std::vector<Typed> seen;
        bool mainHidden = false, mainDisabled = false, topmost = false;
        std::wstring initialLabel = L"?";
        HWND focus = nullptr;
        RunMini([&](HWND mini) {
            mainHidden = !IsWindowVisible(hwnd) && window->isShown == 0;
            mainDisabled = !IsWindowEnabled(hwnd);
            topmost = (GetWindowLongPtrW(mini, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
            initialLabel = TextOf(GetDlgItem(mini, IDC_CODE));
            focus = GetFocus() == GetDlgItem(mini, IDC_INPUT) ? mini : nullptr;
            for (const Typed& typed : row.typed) {
                SetDlgItemTextW(mini, IDC_INPUT, typed.input.c_str());
                seen.push_back({typed.input, TextOf(GetDlgItem(mini, IDC_CODE)), TextOf(GetDlgItem(mini, IDC_INPUT))});
            }
            PressEscape(mini);
        });
        EXPECT_TRUE(mainHidden);
        EXPECT_TRUE(mainDisabled);
        EXPECT_TRUE(topmost);
        EXPECT_EQ(initialLabel, L"");
        EXPECT_NE(focus, nullptr) << "the box has the focus";
        ASSERT_EQ(seen.size(), row.typed.size());
        for (std::size_t i = 0; i < seen.size(); ++i) {
            EXPECT_EQ(seen[i].label, row.typed[i].label) << Gbk(row.typed[i].input);
            EXPECT_EQ(seen[i].box, row.typed[i].box) << Gbk(row.typed[i].input);
        }
        Close();
    }
}

TEST_F(MiniWindowTest, EnterLooksUpAgainAndSelectsTheBoxAMissingDictionaryIsNamedAndALongTokenIsCut) {
    Open();
    Click(IDC_ED98);
    std::wstring afterEnter, missing, back;
    LONG longInk = 0;
    DWORD start = 99, end = 99;
    RunMini([&](HWND mini) {
        HWND box = GetDlgItem(mini, IDC_INPUT);
        SetWindowTextW(box, L"工式");
        SetDlgItemTextW(mini, IDC_CODE, L"");
        SendMessageW(box, EM_SETSEL, 1, 1);
        SendMessageW(mini, WM_COMMAND, MAKEWPARAM(IDC_ENTER, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(mini, IDC_ENTER)));
        afterEnter = TextOf(GetDlgItem(mini, IDC_CODE));
        SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));

        RemovePath(folder.File(L"98.dll"));
        SetWindowTextW(box, L"的");
        missing = TextOf(GetDlgItem(mini, IDC_CODE));
        WriteTable(L"98.dll", L"的rqyy\n");  // read afresh: no cache
        SetWindowTextW(box, L"的");
        back = TextOf(GetDlgItem(mini, IDC_CODE));
        // A damaged table's token wider than the label: cut visibly, never just the character.
        WriteTable(L"98.dll", (L"的" + std::wstring(40, L'r') + L"\n").c_str());
        SetWindowTextW(box, L"的");
        const RECT label = ScreenRectOf(GetDlgItem(mini, IDC_CODE));
        PumpUntil([&] {
            const RECT ink = ScreenPixels(label).BoxOf([](COLORREF c) { return GetRValue(c) > 140; });
            return (longInk = ink.right * 5 / (label.right - label.left)) >= 4;
        }, 2000);
        PressEscape(mini);
    });
    EXPECT_GE(longInk, 4) << "ink in the last fifth of the label";
    EXPECT_EQ(afterEnter, L"工aaaa");
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 2u);
    EXPECT_EQ(missing, L"找不到 98.dll");
    EXPECT_EQ(back, L"的rqyy");
}

TEST_F(MiniWindowTest, EscapeAndReturnBringTheMainWindowBackAndHideLeavesOnlyTheTrayIcon) {
    const struct {
        const char* name;
        wchar_t menuLetter;  // 0: Escape
        bool mainShown;
    } rows[] = {{"Escape", 0, true}, {"返回(&R)", L'r', true}, {"隐藏(&H)", L'h', false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        platform.Clear();
        Open();
        std::vector<UINT> commands;
        platform.onTrackPopupMenu = [&](HMENU menu, HWND owner) {
            EXPECT_EQ(owner, FindShownWindowOf<MiniDialog>());
            for (int i = 0; i < GetMenuItemCount(menu); ++i) commands.push_back(GetMenuItemID(menu, i));
            // The real menu, chosen by the underlined letter.
            PostThreadMessageW(GetCurrentThreadId(), WM_CHAR, row.menuLetter, 0);
            return static_cast<UINT>(fw::RealPlatform().TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RETURNCMD, 80, 80,
                                                                       owner));
        };
        RunMini([&](HWND mini) {
            if (row.menuLetter)
                PostMessageW(mini, WM_RBUTTONDOWN, 0, MAKELPARAM(3, 3));
            else
                PressEscape(mini);
        });
        if (row.menuLetter) {
            EXPECT_EQ(commands, (std::vector<UINT>{ID_SHOW, ID_EXIT}));
        }
        EXPECT_EQ(IsWindowVisible(hwnd) != FALSE, row.mainShown);
        EXPECT_EQ(window->isShown, row.mainShown ? 1 : 0);
        EXPECT_TRUE(IsWindowEnabled(hwnd));
        if (row.mainShown) {
            EXPECT_EQ(GetForegroundWindow(), hwnd);
        }
        EXPECT_EQ(platform.CallsNamed("ShellNotifyIcon").size(), 1u) << "the icon stays";

        // The hotkey goes by the state the mini window left: hides a window it brought back, shows one it left hidden.
        SendMessageW(hwnd, WM_HOTKEY, HOTKEY_ID, 0);
        EXPECT_EQ(IsWindowVisible(hwnd) != FALSE, !row.mainShown);
        Close();
    }
}

}  // namespace
