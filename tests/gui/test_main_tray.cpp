// The main window's icon in the notification area and the program's menu: the record the shell receives and when,
// the icon coming back with a new taskbar, the double-click, which state greys "显示(&S)" in which menu, what each
// command does when chosen on the real menu, the exit that ends at once and saves nothing, and the icon while a modal
// window runs.
#include <windows.h>

#include <cstddef>
#include <cstdio>
#include <functional>

#include "core/SettingsArchive.h"
#include "framework/Platform.h"
#include "framework/Resources.h"
#include "tests/support/MainWindowFixture.h"
#include "tests/support/UiObjectCounts.h"
#include "windows/AboutDialog.h"
#include "windows/MiniDialog.h"

namespace {

using namespace testing_support;

constexpr const wchar_t* kMainCaption = L"Tarvisk  最终版";

class TrayTest : public MainWindowTest {
protected:
    LRESULT Notify(UINT mouseMessage) const {
        return SendMessageW(hwnd, WM_TRAYNOTIFY, TRAY_ICON_ID, static_cast<LPARAM>(mouseMessage));
    }
    void RightClickWindow() const { SendMessageW(hwnd, WM_RBUTTONDOWN, 0, MAKELPARAM(12, 12)); }
    bool Shown() const { return IsWindowVisible(hwnd) && window->isShown == 1; }
    bool Hidden() const { return !IsWindowVisible(hwnd) && window->isShown == 0; }
};

TEST_F(TrayTest, TheIconComesWithTheWindowReturnsWithANewTaskbarAndGoesWithTheWindow) {
    Open();
    const HWND opened = hwnd;
    const auto appIcon = reinterpret_cast<long long>(LoadIconW(fw::ResourceModule(), MAKEINTRESOURCEW(IDI_APP)));
    // The record's first version: the shell reads the 64-character tip and nothing after it.
    const auto firstVersionSize = static_cast<long long>(offsetof(NOTIFYICONDATAW, szTip) + 64 * sizeof(wchar_t));
    auto expectRecords = [&](std::vector<DWORD> messages) {
        const auto icons = platform.CallsNamed("ShellNotifyIcon");
        ASSERT_EQ(icons.size(), messages.size());
        for (std::size_t i = 0; i < icons.size(); ++i) {
            EXPECT_EQ(icons[i].numbers, (std::vector<long long>{messages[i], TRAY_ICON_ID, NIF_MESSAGE | NIF_ICON |
                                                                NIF_TIP, WM_USER + 1, firstVersionSize, appIcon}));
            EXPECT_EQ(icons[i].text, std::vector<std::string>{"Tarvisk"});
            EXPECT_EQ(icons[i].window, opened);
        }
    };
    expectRecords({NIM_ADD});
    EXPECT_EQ(Notify(WM_LBUTTONDBLCLK), 1);  // shown (minimised counts too): nothing to do
    EXPECT_TRUE(Shown());

    // The shell restarted while the window was hidden: the icon is added again, and its double-click (no other
    // click) brings the window back in front.
    window->HideToTray();
    SendMessageW(hwnd, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    expectRecords({NIM_ADD, NIM_ADD});
    for (UINT other : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_MOUSEMOVE}) EXPECT_EQ(Notify(other), 1);
    EXPECT_TRUE(Hidden());
    EXPECT_EQ(Notify(WM_LBUTTONDBLCLK), 1);
    EXPECT_TRUE(Shown());
    EXPECT_EQ(GetForegroundWindow(), hwnd);

    Close();
    expectRecords({NIM_ADD, NIM_ADD, NIM_DELETE});
    EXPECT_EQ(platform.calls.back().name, "ShellNotifyIcon");  // after the hotkey went
}

TEST_F(TrayTest, ShowIsGreyedInTheTrayMenuWhileShownAndInTheWindowsOwnMenuWhileHidden) {
    Open();
    const struct {
        const char* name;
        bool hidden;
        bool fromTray;
        bool greyed;
    } rows[] = {
        {"tray, shown", false, true, true},
        {"tray, hidden", true, true, false},
        {"window, shown", false, false, false},
        {"window, hidden", true, false, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.hidden)
            window->HideToTray();
        else
            window->ShowInFront();
        UINT state = 0;
        int items = 0;
        platform.onTrackPopupMenu = [&](HMENU menu, HWND owner) {
            EXPECT_EQ(owner, hwnd);
            state = GetMenuState(menu, ID_SHOW, MF_BYCOMMAND);
            items = GetMenuItemCount(menu);
            return 0u;  // dismissed
        };
        if (row.fromTray)
            Notify(WM_RBUTTONUP);
        else
            RightClickWindow();
        EXPECT_EQ(items, 6);
        EXPECT_EQ((state & MF_GRAYED) != 0, row.greyed);
        EXPECT_EQ(row.hidden ? Hidden() : Shown(), true) << "a dismissed menu changes nothing";
    }
}

TEST_F(TrayTest, EachCommandChosenOnTheRealMenuDoesItsWork) {
    Open();
    const std::vector<WPARAM> help = {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, '\r'};  // "帮助(H)" has no letter
    auto hotkeyDialog = [] { return FindWindowW(L"#32770", L"定义热键对话框"); };
    const struct {
        const char* name;
        bool startHidden;
        bool fromTray;
        std::vector<WPARAM> keys;
        std::function<HWND()> opens;  // the modal window the command opens, if any
        bool mainShownMeanwhile;      // ... while the main window is shown (disabled) or hidden
        int helpCalls;
    } rows[] = {
        {"S shows a hidden window", true, true, {'s'}, nullptr, false, 0},
        {"K opens the hotkey dialog", false, true, {'k'}, hotkeyDialog, true, 0},
        {"A opens the About box", false, true, {'a'}, FindShownWindowOf<AboutDialog>, true, 0},
        {"A in the window's own menu", false, false, {'a'}, FindShownWindowOf<AboutDialog>, true, 0},
        {"M hides the window for the mini window", false, true, {'m'}, FindShownWindowOf<MiniDialog>, false, 0},
        {"help", false, true, help, nullptr, false, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        platform.Clear();
        if (row.startHidden)
            window->HideToTray();
        else
            window->ShowInFront();
        AnswerMenusWithKeys(platform, row.keys);
        bool shownMeanwhile = false, enabledMeanwhile = true;
        std::unique_ptr<WindowDriver> driver;
        if (row.opens) {
            driver = std::make_unique<WindowDriver>(row.opens, [&](HWND opened) {
                shownMeanwhile = IsWindowVisible(hwnd);
                enabledMeanwhile = IsWindowEnabled(hwnd);
                // Cancel: the mini window hands back to the main window, the dialogs just close.
                PostMessageW(opened, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            });
        }
        if (row.fromTray)
            Notify(WM_RBUTTONUP);
        else
            RightClickWindow();
        if (driver) {
            EXPECT_TRUE(driver->Ran());
            EXPECT_EQ(shownMeanwhile, row.mainShownMeanwhile);
            EXPECT_FALSE(enabledMeanwhile) << "modal";
        }
        EXPECT_TRUE(Shown());
        EXPECT_TRUE(IsWindowEnabled(hwnd));
        EXPECT_EQ(platform.CountOf("ShellExecute"), row.helpCalls);
    }
    // Escape, with the window hidden: nothing happens.
    window->HideToTray();
    AnswerMenusWithKeys(platform, {});
    EXPECT_EQ(Notify(WM_RBUTTONUP), 1);
    EXPECT_TRUE(Hidden());
}

// While a modal window of the main window runs, the icon opens no menu (no second mini window, no disabled window
// shown, no exit inside a handler) and the hotkey neither shows nor hides the main window: each click and each press
// brings the modal window back to the front.
TEST_F(TrayTest, WhileAModalWindowRunsTheIconAndTheHotkeyBringItToTheFront) {
    Open();
    auto captioned = [](const wchar_t* caption) { return [caption] { return FindWindowW(L"#32770", caption); }; };
    // The real message box, so that it disables the main window as it does in the program.
    platform.passMessageBoxesToSystem = true;
    const struct {
        const char* name;
        UINT command;
        std::function<HWND()> find;
        UINT close;
    } rows[] = {
        {"mini window", IDC_MINIBTN, FindShownWindowOf<MiniDialog>, IDCANCEL},
        {"hotkey dialog", IDC_HOTKEYBTN, captioned(L"定义热键对话框"), IDCANCEL},
        {"About box", IDC_ABOUTBTN, FindShownWindowOf<AboutDialog>, IDCANCEL},
        {"message box", IDCANCEL, captioned(L"退出系统"), IDNO},
    };
    HWND elsewhere = CreateWindowExW(0, L"STATIC", L"elsewhere", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                     nullptr, nullptr);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        platform.Clear();
        bool wasShown = false;
        std::vector<bool> inFront;
        WindowDriver driver(row.find, [&](HWND modal) {
            wasShown = IsWindowVisible(hwnd);
            for (UINT click : {WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONUP}) {
                SetForegroundWindow(elsewhere);
                Notify(click);
                inFront.push_back(GetForegroundWindow() == modal);
            }
            SetForegroundWindow(elsewhere);
            SendMessageW(hwnd, WM_HOTKEY, HOTKEY_ID, 0);
            inFront.push_back(GetForegroundWindow() == modal);
            EXPECT_EQ(IsWindowVisible(hwnd), wasShown) << "the main window stays as it was";
            EXPECT_FALSE(IsWindowEnabled(hwnd));
            PostMessageW(modal, WM_COMMAND, MAKEWPARAM(row.close, BN_CLICKED), 0);
        });
        Command(row.command);
        EXPECT_TRUE(driver.Ran());
        EXPECT_EQ(inFront, std::vector<bool>(4, true));
        EXPECT_EQ(platform.CountOf("TrackPopupMenu"), 0);
        window->ShowInFront();
    }
    DestroyWindow(elsewhere);
}

// The quit message ends a modal loop it passes through; the handler that ran the hotkey dialog then registers and
// saves nothing.
TEST_F(TrayTest, AHotkeyDialogEndedByTheQuitMessageChangesNothing) {
    Open();
    platform.Clear();
    WindowDriver driver([] { return FindWindowW(L"#32770", L"定义热键对话框"); }, [](HWND dialog) {
        SendMessageW(GetDlgItem(dialog, IDC_HK_CUSTOM), BM_CLICK, 0, 0);
        PostQuitMessage(0);
    });
    Command(IDC_HOTKEYBTN);
    EXPECT_TRUE(driver.Ran());
    MSG quit;
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "passed on";
    EXPECT_FALSE(FileExists(folder.File(L"user.ini")));
    EXPECT_EQ(platform.CountOf("RegisterHotKey") + platform.CountOf("UnregisterHotKey"), 0);
}

// Each opening builds the menu and lets it go: the tray's way (its popup destroyed first) and the window's own.
TEST_F(TrayTest, OpeningTheMenusManyTimesKeepsObjectCountsFlat) {
    const int count = RoundsFromEnvironment("TARVISK_MENU_OPENINGS", 50);  // 1,000 in the full run
    Open();
    AnswerMenusWithKeys(platform, {VK_DOWN, VK_DOWN});
    auto openBoth = [&] {
        Notify(WM_RBUTTONUP);
        RightClickWindow();
        PumpUntil([] { return false; }, 0);  // the posted WM_NULL
    };
    openBoth();  // pictures and the system's caches are made on first use
    const UiObjectCounts before = CountUiObjects();
    for (int i = 0; i < count; ++i) openBoth();
    const UiObjectCounts after = CountUiObjects();
    std::printf("%d openings of each menu: %s -> %s\n", count, before.Describe().c_str(), after.Describe().c_str());
    EXPECT_EQ(platform.CountOf("TrackPopupMenu"), 2 * (count + 1));
    EXPECT_EQ(after, before);
    EXPECT_TRUE(Shown());
}

// The whole program, run as it starts: "退出(&X)" ends it at once, without a question and without saving.
TEST_F(MainWindowTest, ExitFromTheTrayMenuEndsAtOnceAndSavesNothing) {
    const auto stored = core::EncodeArchive({0, 0, 0, 0});
    const std::vector<std::uint8_t> before(stored.begin(), stored.end());
    ASSERT_TRUE(WriteFileBytes(folder.File(L"user.ini"), std::string(stored.begin(), stored.end())));
    AnswerMenusWithKeys(platform, {'x'});
    WindowDriver driver(kMainCaption, [](HWND main) {
        SendMessageW(GetDlgItem(main, IDC_ED98), BM_CLICK, 0, 0);  // a change that is not to be kept
        PostMessageW(main, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_RBUTTONUP);
    });
    EXPECT_FALSE(app.InitInstance());
    EXPECT_TRUE(driver.Ran());
    MSG quit;
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "passed on by the main window's loop";
    app.ExitInstance();

    EXPECT_EQ(SettingsBytes(), before);
    EXPECT_EQ(platform.CountOf("MessageBox"), 0);
    const auto icons = platform.CallsNamed("ShellNotifyIcon");
    ASSERT_EQ(icons.size(), 2u);
    EXPECT_EQ(icons[1].numbers[0], NIM_DELETE);
}

}  // namespace
