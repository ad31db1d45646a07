// Long runs of what a user does most, with the process's GDI objects, USER objects and windows counted before and
// after: lookups in the main window over the shipped dictionaries, each dialog, the mini window and the exit question
// opened and closed each way, and the mini window's menu. The test command runs a few rounds; TARVISK_LOOKUPS,
// TARVISK_DIALOG_RUNS and TARVISK_MENU_OPENINGS ask for the full counts.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/MainWindowFixture.h"
#include "tests/support/UiObjectCounts.h"
#include "windows/AboutDialog.h"
#include "windows/HotkeyDialog.h"
#include "windows/MiniDialog.h"

namespace {

using namespace testing_support;

constexpr const wchar_t* kExitCaption = L"退出系统";

class SoakTest : public MainWindowTest {
protected:
    // The dictionaries the program ships, in place of the fixture's small tables.
    void UseShippedDictionaries() {
        for (const wchar_t* name : {L"86.dll", L"98.dll", L"fm.dll", L"py.dll"}) {
            const std::vector<std::uint8_t> bytes = ReadFileBytes(std::wstring(L"" TARVISK_DATA_DIR "/") + name);
            ASSERT_FALSE(bytes.empty());
            ASSERT_TRUE(WriteFileBytes(folder.File(name), std::string(bytes.begin(), bytes.end())));
        }
    }
    LRESULT Notify(UINT mouseMessage) const {
        return SendMessageW(hwnd, WM_TRAYNOTIFY, TRAY_ICON_ID, static_cast<LPARAM>(mouseMessage));
    }
    // Lets posted messages (a menu's WM_NULL, a closed window's last messages) arrive.
    static void Settle() { PumpUntil([] { return false; }, 100); }
    // The counts with the focus in the main window's box, where the user types (a box with the focus has a caret, a
    // bitmap under Wine; the ways out of the mini window leave the focus in different places).
    UiObjectCounts CountWithFocusInTheBox() const {
        SetFocus(Item(IDC_INPUT));
        Settle();
        return CountUiObjects();
    }
};

TEST_F(SoakTest, LookupsOverTheShippedDictionariesKeepObjectCountsFlatAndAnswerAlike) {
    UseShippedDictionaries();
    Open();
    // Common characters, one with four readings (its pinyin line cut, with a tooltip), rare ones, the last entry of
    // three dictionaries (one py.dll lacks), GBK punctuation that no dictionary lists, characters without a GBK form
    // inside and outside the BMP, and a letter the box refuses.
    const std::wstring typed[] = {L"的", L"一", L"工", L"行", L"长", L"龘", L"爨", L"瓼", L"，", L"가", L"\U0001F600", L"a"};
    const struct {
        int edition;
        bool pinyin;
    } settings[] = {{IDC_ED86, false}, {IDC_ED98, true},  {IDC_EDRARE, false},
                    {IDC_ED86, true},  {IDC_ED98, false}, {IDC_EDRARE, true}};
    const int typedCount = static_cast<int>(std::size(typed));
    const int roundLength = typedCount * static_cast<int>(std::size(settings));
    using Lines = std::pair<std::wstring, std::wstring>;  // the code line and the pinyin line
    // Lookup i types one character under one setting, clicking the radio button and the check box when it changes
    // and then back into the box.
    auto lookUp = [&](int i) {
        const auto& setting = settings[i / typedCount % std::size(settings)];
        if (!Checked(setting.edition)) Click(setting.edition);
        if (Checked(IDC_SHOWPINYIN) != setting.pinyin) Click(IDC_SHOWPINYIN);
        SetFocus(Item(IDC_INPUT));
        Type(typed[i % typedCount]);
        return Lines{CodeLine(), PinyinLine()};
    };
    std::vector<Lines> answers;  // the first round's, and what every round must show
    for (int i = 0; i < roundLength; ++i) answers.push_back(lookUp(i));
    auto answer = [&](int setting, const wchar_t* character) {
        for (int k = 0; k < typedCount; ++k)
            if (typed[k] == character) return answers[setting * typedCount + k];
        return Lines{};
    };
    EXPECT_EQ(answer(0, L"的"), Lines(L"的rqyy", L""));
    EXPECT_EQ(answer(2, L"的"), Lines(L"无", L""));
    EXPECT_EQ(answer(1, L"行"), Lines(L"行tgsh", L"行xíng,háng,hàng,héng"));
    EXPECT_EQ(answer(1, L"瓼"), Lines(L"瓼gnnf", L"爨cuàn")) << "not in py.dll: the reading before stays";
    EXPECT_EQ(answer(5, L"，"), Lines(L"无", L"爨cuàn"));
    EXPECT_EQ(answer(3, L"\U0001F600"), Lines(L"不是GBK汉字", L"爨cuàn"));
    EXPECT_EQ(answer(3, L"a"), Lines(L"无", L"爨cuàn"));
    EXPECT_EQ(Input(), L"") << "the letter was refused";

    const int count = RoundsFromEnvironment("TARVISK_LOOKUPS", 200);  // 10,000 in the full run
    // The first painting of every window, and the font the system's input method makes for the box once its focus has
    // gone through the message loop and a character is typed.
    Settle();
    lookUp(0);
    const UiObjectCounts before = CountWithFocusInTheBox();
    const ULONGLONG started = GetTickCount64();
    int differing = 0;
    std::string firstDifference;
    for (int i = 0; i < count; ++i) {
        const auto lines = lookUp(i);
        if (lines != answers[i % roundLength] && differing++ == 0)
            firstDifference = "lookup " + std::to_string(i) + ": " + Gbk(lines.first + L" / " + lines.second);
    }
    const UiObjectCounts after = CountWithFocusInTheBox();
    std::printf("%d lookups in %llu ms: %s -> %s\n", count, GetTickCount64() - started, before.Describe().c_str(),
                after.Describe().c_str());
    EXPECT_EQ(differing, 0) << firstDifference;
    EXPECT_GT(before.gdiObjects, 0);
    EXPECT_EQ(after, before);
}

// Each run opens the window from the main window's button (the exit question from Esc or the close box) and closes it
// one of its ways, in turn; every way has run once before counting.
TEST_F(SoakTest, EachDialogOpenedAndClosedManyTimesKeepsObjectCountsFlat) {
    Open();
    const RECT emptyPart{4, 180, 8, 184};  // a part of the About box with nothing on it, in dialog units
    auto pressEscape = [](HWND shown) {
        HWND focus = GetFocus();
        PostMessageW(focus && IsChild(shown, focus) ? focus : shown, WM_KEYDOWN, VK_ESCAPE, 0);
    };
    auto exitBox = [] { return FindWindowW(L"#32770", kExitCaption); };
    platform.passMessageBoxesToSystem = true;
    const struct {
        const char* name;
        std::vector<const char*> ways;
        std::function<bool(int way)> run;  // true when the window showed, closed, and left the main window as it should
    } rows[] = {
        {"hotkey dialog",
         {"a combination of one's own and OK", "the default and Cancel", "Esc"},
         [&](int way) {
             return RunModalFrom(IDC_HOTKEYBTN, FindShownWindowOf<HotkeyDialog>, [&, way](HWND dialog) {
                 if (way == 0) {
                     SendDlgItemMessageW(dialog, IDC_HK_CUSTOM, BM_CLICK, 0, 0);
                     SendDlgItemMessageW(dialog, IDC_HOTKEYCTRL, HKM_SETHOTKEY,
                                         MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT), 0);
                     SendDlgItemMessageW(dialog, IDOK, BM_CLICK, 0, 0);
                 } else if (way == 1) {
                     SendDlgItemMessageW(dialog, IDC_HK_DEFAULT, BM_CLICK, 0, 0);
                     SendDlgItemMessageW(dialog, IDCANCEL, BM_CLICK, 0, 0);
                 } else {
                     pressEscape(dialog);
                 }
             }) && window->hotkeyMode == 1 && window->hotkeyKey == 'K' && IsWindowEnabled(hwnd);
         }},
        {"About box",
         {"Esc", "a click on an empty part", "a right click"},
         [&](int way) {
             return RunModalFrom(IDC_ABOUTBTN, FindShownWindowOf<AboutDialog>, [&, way](HWND box) {
                 RECT where = emptyPart;
                 MapDialogRect(box, &where);
                 const LPARAM point = MAKELPARAM(where.left, where.top);
                 if (way == 0)
                     pressEscape(box);
                 else
                     PostMessageW(box, way == 1 ? WM_LBUTTONDOWN : WM_RBUTTONDOWN, 0, point);
             }) && IsWindowEnabled(hwnd);
         }},
        {"mini window",
         {"Esc", "返回 in its menu", "隐藏 in its menu, then a double-click on the icon"},
         [&](int way) {
             AnswerMenusWithKeys(platform, {way == 1 ? WPARAM{'r'} : WPARAM{'h'}});
             std::wstring shown;
             const bool ran = RunModalFrom(IDC_MINIBTN, FindShownWindowOf<MiniDialog>, [&, way](HWND mini) {
                 SetDlgItemTextW(mini, IDC_INPUT, L"工");
                 shown = TextOf(GetDlgItem(mini, IDC_CODE));
                 if (way == 0)
                     PostMessageW(GetDlgItem(mini, IDC_INPUT), WM_KEYDOWN, VK_ESCAPE, 0);
                 else
                     PostMessageW(mini, WM_RBUTTONDOWN, 0, MAKELPARAM(3, 3));
             });
             const bool handedBack = IsWindowVisible(hwnd) != FALSE;
             if (way == 2) Notify(WM_LBUTTONDBLCLK);
             return ran && shown == L"工aaaa" && handedBack == (way != 2) && IsWindowVisible(hwnd) &&
                    IsWindowEnabled(hwnd);
         }},
        {"exit question answered No",
         {"Esc", "the close box"},
         [&](int way) {
             RemovePath(folder.File(L"user.ini"));
             WindowDriver driver(exitBox, [](HWND box) { SendDlgItemMessageW(box, IDNO, BM_CLICK, 0, 0); });
             if (way == 0)
                 Command(IDCANCEL);
             else
                 SendMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
             PumpUntil([&] { return driver.Ran() && !exitBox(); });
             return driver.Ran() && !exitBox() && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd) &&
                    !FileExists(folder.File(L"user.ini"));
         }},
    };
    const int count = RoundsFromEnvironment("TARVISK_DIALOG_RUNS", 6);  // 200 in the full run
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const int ways = static_cast<int>(row.ways.size());
        for (int way = 0; way < ways; ++way) EXPECT_TRUE(row.run(way)) << "first time, " << row.ways[way];
        const UiObjectCounts before = CountWithFocusInTheBox();
        const ULONGLONG started = GetTickCount64();
        int failed = 0;
        for (int i = 0; i < count; ++i) {
            platform.Clear();
            if (!row.run(i % ways) && failed++ == 0) ADD_FAILURE() << "run " << i << ", " << row.ways[i % ways];
        }
        const UiObjectCounts after = CountWithFocusInTheBox();
        std::printf("%s, %d runs in %llu ms: %s -> %s\n", row.name, count, GetTickCount64() - started,
                    before.Describe().c_str(), after.Describe().c_str());
        EXPECT_EQ(failed, 0);
        EXPECT_EQ(after, before);
    }
}

// The mini window's own menu, opened on the real window with a right click and closed with Esc, many times.
TEST_F(SoakTest, OpeningTheMiniWindowsMenuManyTimesKeepsObjectCountsFlat) {
    const int count = RoundsFromEnvironment("TARVISK_MENU_OPENINGS", 50);  // 1,000 in the full run
    Open();
    AnswerMenusWithKeys(platform, {VK_DOWN});  // one item hot, then Esc
    UiObjectCounts before, after;
    bool stayedOpen = true;
    const bool ran = RunModalFrom(
        IDC_MINIBTN, FindShownWindowOf<MiniDialog>,
        [&](HWND mini) {
            auto openMenu = [mini] { SendMessageW(mini, WM_RBUTTONDOWN, 0, MAKELPARAM(3, 3)); };
            openMenu();  // pictures and the system's caches are made on first use
            Settle();
            before = CountUiObjects();
            for (int i = 0; i < count; ++i) openMenu();
            Settle();
            after = CountUiObjects();
            stayedOpen = IsWindowVisible(mini) != FALSE;
            PostMessageW(GetDlgItem(mini, IDC_INPUT), WM_KEYDOWN, VK_ESCAPE, 0);
        },
        INFINITE);
    std::printf("mini window's menu, %d openings: %s -> %s\n", count, before.Describe().c_str(),
                after.Describe().c_str());
    EXPECT_TRUE(ran);
    EXPECT_TRUE(stayedOpen) << "Esc closes the menu, not the window";
    EXPECT_EQ(platform.CountOf("TrackPopupMenu"), count + 1);
    EXPECT_EQ(after, before);
}

}  // namespace
