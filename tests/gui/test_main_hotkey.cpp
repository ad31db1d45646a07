// The main window's global hotkey: what it registers at start and after the hotkey dialog (through the seam), what
// the user is told when a combination cannot serve (taken, empty, without Ctrl or Alt), the settings written after the
// dialog, the toggle, and the removal when the window goes.
#include <windows.h>
#include <commctrl.h>

#include "core/HotkeyFlags.h"
#include "core/SettingsArchive.h"
#include "tests/support/MainWindowFixture.h"
#include "windows/HotkeyDialog.h"

namespace {

using namespace testing_support;

std::vector<long long> Registration(UINT modifiers, UINT key) { return {HOTKEY_ID, modifiers, key}; }

std::vector<std::uint8_t> Bytes(const core::UserRecord& record) {
    const auto bytes = core::EncodeArchive(record);
    return {bytes.begin(), bytes.end()};
}

class MainHotkeyTest : public MainWindowTest {
protected:
    // Opens the hotkey dialog through the main window's button; `inDialog` acts in it once it shows.
    void RunHotkeyDialog(std::function<void(HWND)> inDialog) {
        EXPECT_TRUE(RunModalFrom(IDC_HOTKEYBTN, FindShownWindowOf<HotkeyDialog>, std::move(inDialog)));
    }

    static void ChooseCustom(HWND dialog, WORD keyAndFlags) {
        SendMessageW(GetDlgItem(dialog, IDC_HK_CUSTOM), BM_CLICK, 0, 0);
        SendDlgItemMessageW(dialog, IDC_HOTKEYCTRL, HKM_SETHOTKEY, keyAndFlags, 0);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }

    // The seam's hotkey calls since `from`, as (name, numbers).
    std::vector<std::pair<std::string, std::vector<long long>>> HotkeyCalls(std::size_t from = 0) const {
        std::vector<std::pair<std::string, std::vector<long long>>> found;
        for (std::size_t i = from; i < platform.calls.size(); ++i) {
            const PlatformCall& call = platform.calls[i];
            if (call.name == "RegisterHotKey" || call.name == "UnregisterHotKey") {
                EXPECT_EQ(call.window, hwnd) << call.name;
                found.emplace_back(call.name, call.numbers);
            }
        }
        return found;
    }
};

TEST_F(MainHotkeyTest, StartRegistersFromTheSettingsAndDestroyRemoves) {
    const std::wstring refused = L" 不含 Ctrl 或 Alt，会让所有程序都收不到这个键，已改用默认热键 Win+Z。";
    struct Row {
        const char* name;
        core::UserRecord stored;
        UINT modifiers;
        UINT key;
        std::wstring told;  // once the window shows; "" for nothing
    } rows[] = {
        {"no file: Win+Z", {}, MOD_WIN, 'Z', L""},
        {"custom Ctrl+Shift+Q", {1, 0, 'Q', HOTKEYF_CONTROL | HOTKEYF_SHIFT}, MOD_CONTROL | MOD_SHIFT, 'Q', L""},
        {"custom Alt with the extended flag", {1, 0, VK_F5, HOTKEYF_ALT | HOTKEYF_EXT}, MOD_ALT, VK_F5, L""},
        {"mode 2 means the default", {2, 0, 'Q', HOTKEYF_CONTROL}, MOD_WIN, 'Z', L""},
        // An old or damaged file must not take a plain key from every program.
        {"a bare key: the default", {1, 0, 'A', 0}, MOD_WIN, 'Z', L"热键 A" + refused},
        {"Shift and a key: the default", {1, 0, VK_SPACE, HOTKEYF_SHIFT}, MOD_WIN, 'Z', L"热键 Shift+Space" + refused},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        platform.Clear();
        RemovePath(folder.File(L"user.ini"));
        if (row.stored.hotkeyMode || row.stored.hotkeyKey) {
            const auto bytes = core::EncodeArchive(row.stored);
            ASSERT_TRUE(WriteFileBytes(folder.File(L"user.ini"), std::string(bytes.begin(), bytes.end())));
        }
        Open();
        const HWND opened = hwnd;
        EXPECT_EQ(HotkeyCalls(), (decltype(HotkeyCalls()){{"RegisterHotKey", Registration(row.modifiers, row.key)}}));
        PumpUntil([&] { return platform.CountOf("MessageBox") > 0; }, row.told.empty() ? 100 : 2000);
        const auto boxes = platform.CallsNamed("MessageBox");
        if (row.told.empty()) {
            EXPECT_TRUE(boxes.empty());
        } else {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text, (std::vector<std::string>{Gbk(row.told), "Tarvisk"}));
            EXPECT_EQ(boxes[0].window, hwnd);
            // The default is what the settings will say: the next start is silent.
            EXPECT_EQ(window->hotkeyMode, 0);
            EXPECT_EQ(window->hotkeyKey, row.stored.hotkeyKey) << "kept for the hotkey dialog";
        }
        const std::size_t before = platform.calls.size();
        Close();
        ASSERT_EQ(platform.calls.size(), before + 2);  // then the tray icon goes
        EXPECT_EQ(platform.calls[before].name, "UnregisterHotKey");
        EXPECT_EQ(platform.calls[before].numbers, std::vector<long long>{HOTKEY_ID});
        EXPECT_EQ(platform.calls[before].window, opened);
    }
}

TEST_F(MainHotkeyTest, ATakenCombinationAtStartIsSilent) {
    platform.heldHotkeys = {{MOD_WIN, 'Z'}};
    Open();
    EXPECT_EQ(platform.CountOf("RegisterHotKey"), 1);
    EXPECT_EQ(platform.CountOf("MessageBox"), 0);
    EXPECT_TRUE(IsWindowVisible(hwnd));
}

TEST_F(MainHotkeyTest, ChoosingACombinationWithdrawsTheOldOneRegistersAndStoresIt) {
    Open();
    const std::size_t before = platform.calls.size();
    RunHotkeyDialog([](HWND dialog) { ChooseCustom(dialog, MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_SHIFT)); });
    EXPECT_EQ(HotkeyCalls(before), (decltype(HotkeyCalls()){
                                       {"UnregisterHotKey", {HOTKEY_ID}},
                                       {"RegisterHotKey", Registration(MOD_CONTROL | MOD_SHIFT, 'Q')},
                                   }));
    EXPECT_EQ(window->hotkeyMode, 1);
    EXPECT_EQ(window->hotkeyKey, 'Q');
    EXPECT_EQ(window->hotkeyModifiers, HOTKEYF_CONTROL | HOTKEYF_SHIFT);
    EXPECT_EQ(SettingsBytes(), Bytes({1, 0, 0x51, 0x03}));
    EXPECT_EQ(platform.CountOf("MessageBox"), 0);
    EXPECT_TRUE(IsWindowEnabled(hwnd));
}

TEST_F(MainHotkeyTest, CancelKeepsTheCombinationAndStillRewritesTheSettings) {
    const auto stored = core::EncodeArchive({1, 1, 'K', HOTKEYF_CONTROL | HOTKEYF_ALT});
    ASSERT_TRUE(WriteFileBytes(folder.File(L"user.ini"), std::string(stored.begin(), stored.end())));
    Open();
    Click(IDC_EDRARE);  // the current edition is what gets written
    RemovePath(folder.File(L"user.ini"));
    const std::size_t before = platform.calls.size();
    RunHotkeyDialog([](HWND dialog) {
        // Edits that Cancel throws away.
        SendMessageW(GetDlgItem(dialog, IDC_HK_DEFAULT), BM_CLICK, 0, 0);
        SendDlgItemMessageW(dialog, IDC_HOTKEYCTRL, HKM_SETHOTKEY, MAKEWORD('P', HOTKEYF_SHIFT), 0);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    EXPECT_EQ(HotkeyCalls(before), (decltype(HotkeyCalls()){
                                       {"UnregisterHotKey", {HOTKEY_ID}},
                                       {"RegisterHotKey", Registration(MOD_CONTROL | MOD_ALT, 'K')},
                                   }));
    EXPECT_EQ(SettingsBytes(), Bytes({1, 2, 'K', HOTKEYF_CONTROL | HOTKEYF_ALT}));
    EXPECT_EQ(window->savedEdition, 2);  // the read-back
}

TEST_F(MainHotkeyTest, ACombinationThatCannotServeIsExplainedAndStoredAsItWillWork) {
    using Calls = decltype(HotkeyCalls());
    struct Row {
        const char* name;
        WORD chosen;
        std::vector<std::pair<UINT, UINT>> held;
        Calls calls;
        std::wstring told;
        core::UserRecord stored;
    } rows[] = {
        // The choice is kept and saved all the same: the user can pick another one.
        {"taken by another program", MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_SHIFT), {{MOD_CONTROL | MOD_SHIFT, 'Q'}},
         {{"UnregisterHotKey", {HOTKEY_ID}}, {"RegisterHotKey", Registration(MOD_CONTROL | MOD_SHIFT, 'Q')}},
         L"热键 Ctrl+Shift+Q 已被其他程序占用，请换一个组合。", {1, 0, 'Q', HOTKEYF_CONTROL | HOTKEYF_SHIFT}},
        {"empty", 0, {}, {{"UnregisterHotKey", {HOTKEY_ID}}},
         L"自定义热键是空的，现在没有热键。请在定义热键对话框中按下一个组合键。", {1, 0, 0, 0}},
        // The dialog turns a typed plain key into Ctrl+Alt+key, but it shows a stored one as it is.
        {"Shift and a key", MAKEWORD('A', HOTKEYF_SHIFT), {},
         {{"UnregisterHotKey", {HOTKEY_ID}}, {"RegisterHotKey", Registration(MOD_WIN, 'Z')}},
         L"热键 Shift+A 不含 Ctrl 或 Alt，会让所有程序都收不到这个键，已改用默认热键 Win+Z。",
         {0, 0, 'A', HOTKEYF_SHIFT}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        platform.heldHotkeys = row.held;
        RemovePath(folder.File(L"user.ini"));
        Open();
        platform.Clear();
        RunHotkeyDialog([&](HWND dialog) { ChooseCustom(dialog, row.chosen); });
        EXPECT_EQ(HotkeyCalls(), row.calls);
        const auto boxes = platform.CallsNamed("MessageBox");
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, (std::vector<std::string>{Gbk(row.told), "Tarvisk"}));
        EXPECT_EQ(boxes[0].numbers[0], MB_ICONEXCLAMATION);
        EXPECT_EQ(boxes[0].window, hwnd);
        EXPECT_EQ(SettingsBytes(), Bytes(row.stored));
        Close();
    }
}

TEST_F(MainHotkeyTest, TheHotkeyMessageHidesAndShowsTheWindow) {
    Open();
    SendMessageW(hwnd, WM_HOTKEY, 7, MAKELPARAM(MOD_WIN, 'Z'));  // not ours
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(window->isShown, 1);

    // A minimised window still counts as shown: the first press hides it, the second restores it.
    ShowWindow(hwnd, SW_MINIMIZE);
    SendMessageW(hwnd, WM_HOTKEY, HOTKEY_ID, MAKELPARAM(MOD_WIN, 'Z'));
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_EQ(window->isShown, 0);
    SendMessageW(hwnd, WM_HOTKEY, HOTKEY_ID, MAKELPARAM(MOD_WIN, 'Z'));
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_FALSE(IsIconic(hwnd));
    EXPECT_EQ(window->isShown, 1);
}

// Win+Z typed on the keyboard, as the system delivers it.
TEST_F(MainHotkeyTest, WinZFromTheKeyboardTogglesTheWindow) {
    platform.passHotkeysToSystem = true;
    Open();
    ASSERT_EQ(platform.CountOf("RegisterHotKey"), 1);
    auto press = [] {
        INPUT keys[4] = {};
        const WORD sequence[4][2] = {{VK_LWIN, 0}, {'Z', 0}, {'Z', KEYEVENTF_KEYUP}, {VK_LWIN, KEYEVENTF_KEYUP}};
        for (int i = 0; i < 4; ++i) {
            keys[i].type = INPUT_KEYBOARD;
            keys[i].ki.wVk = sequence[i][0];
            keys[i].ki.dwFlags = sequence[i][1];
        }
        return SendInput(4, keys, sizeof(INPUT));
    };
    ASSERT_EQ(press(), 4u);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(hwnd); }));
    EXPECT_EQ(window->isShown, 0);
    ASSERT_EQ(press(), 4u);
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(hwnd) != FALSE; }));
    EXPECT_EQ(window->isShown, 1);
    EXPECT_EQ(GetForegroundWindow(), hwnd);
}

}  // namespace
