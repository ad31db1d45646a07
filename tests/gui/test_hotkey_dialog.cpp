// The hotkey dialog run modally from its real template, driven from a thread timer inside its own message loop: keys
// typed without Ctrl or Alt gain both, the radios enable the hotkey control, OK reads the control whichever radio is
// checked, every way of cancelling keeps the caller's values.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "controls/IconButton.h"
#include "framework/Dialog.h"
#include "resources/resource.h"
#include "windows/HotkeyDialog.h"

namespace {

using Step = std::function<void(HWND dialog)>;

// The steps run one per tick of a thread timer, which fires inside the dialog's modal loop. A dialog still open
// long after the last step is cancelled so that a broken step cannot hang the run.
struct Script {
    std::vector<Step> steps;
    HotkeyDialog* dialog = nullptr;
    std::size_t next = 0;
    int idleTicks = 0;
    bool timedOut = false;
};
Script* running = nullptr;

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    Script& script = *running;
    HWND hwnd = script.dialog->GetSafeHwnd();
    if (!hwnd || !script.dialog->IsRunningModal()) return;
    if (script.next < script.steps.size()) {
        script.steps[script.next++](hwnd);
    } else if (++script.idleTicks == 100) {
        script.timedOut = true;
        PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
}

INT_PTR RunScripted(HotkeyDialog& dialog, std::vector<Step> steps) {
    Script script{std::move(steps), &dialog};
    running = &script;
    const UINT_PTR timer = SetTimer(nullptr, 0, 40, Tick);
    const INT_PTR result = dialog.DoModal();
    KillTimer(nullptr, timer);
    running = nullptr;
    EXPECT_FALSE(script.timedOut) << "the dialog was still open after its script";
    EXPECT_EQ(script.next, script.steps.size()) << "the dialog closed before its script ended";
    return result;
}

// Presses (true) and releases (false) keys as the keyboard would.
void Keys(const std::vector<std::pair<WORD, bool>>& keys) {
    std::vector<INPUT> inputs;
    for (const auto& [key, down] : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        // With its scan code, as a keyboard sends it: the control reads the key of a typed character from it.
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Types `key` into the hotkey control while `modifiers` are held.
void TypeCombination(HWND dialog, const std::vector<WORD>& modifiers, WORD key) {
    SetFocus(GetDlgItem(dialog, IDC_HOTKEYCTRL));
    std::vector<std::pair<WORD, bool>> keys;
    for (const WORD modifier : modifiers) keys.emplace_back(modifier, true);
    keys.insert(keys.end(), {{key, true}, {key, false}});
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) keys.emplace_back(*it, false);
    Keys(keys);
}

void TypeCtrlAltK(HWND dialog) { TypeCombination(dialog, {VK_CONTROL, VK_MENU}, 'K'); }

void Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
WORD Shown(HWND dialog) { return LOWORD(SendDlgItemMessageW(dialog, IDC_HOTKEYCTRL, HKM_GETHOTKEY, 0, 0)); }
bool ControlEnabled(HWND dialog) { return IsWindowEnabled(GetDlgItem(dialog, IDC_HOTKEYCTRL)) != FALSE; }
bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void Prepare(HotkeyDialog& dialog, std::int32_t mode, std::uint16_t key, std::uint16_t modifiers) {
    dialog.hotkeyMode = mode;
    dialog.hotkeyKey = key;
    dialog.hotkeyModifiers = modifiers;
}

class HotkeyDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { fw::SetDialogColours(RGB(49, 106, 197), RGB(255, 255, 255)); }
};

TEST_F(HotkeyDialogTest, TypedCombinationComesBackAsTheCustomHotkey) {
    // A key typed without Ctrl or Alt gains both as it is typed: registered bare, or with Shift alone, it would never
    // again reach any program. (Wine replaces the typed modifiers, Windows adds to them: Shift may stay.)
    constexpr BYTE kCtrlAlt = HOTKEYF_CONTROL | HOTKEYF_ALT;
    const struct {
        std::vector<WORD> held;
        WORD key;
        BYTE mustHave, mustNotHave;
    } typed[] = {
        {{}, 'A', kCtrlAlt, HOTKEYF_SHIFT},
        {{VK_SHIFT}, 'A', kCtrlAlt, 0},
        {{}, VK_F5, kCtrlAlt, HOTKEYF_SHIFT},
        {{VK_MENU}, VK_F5, HOTKEYF_ALT, HOTKEYF_CONTROL | HOTKEYF_SHIFT},
        {{VK_CONTROL, VK_SHIFT}, 'Q', HOTKEYF_CONTROL | HOTKEYF_SHIFT, HOTKEYF_ALT},
    };
    std::vector<Step> steps = {[](HWND d) {
        EXPECT_TRUE(Checked(d, IDC_HK_DEFAULT));
        EXPECT_FALSE(Checked(d, IDC_HK_CUSTOM));
        EXPECT_FALSE(ControlEnabled(d)) << "the default hotkey is chosen";
        EXPECT_EQ(Shown(d), MAKEWORD('A', HOTKEYF_SHIFT)) << "but the stored combination is shown";
        Click(d, IDC_HK_CUSTOM);
        EXPECT_TRUE(ControlEnabled(d));
    }};
    for (const auto& row : typed) {
        steps.push_back([&row](HWND d) { TypeCombination(d, row.held, row.key); });
        steps.push_back([&row](HWND d) {
            SCOPED_TRACE(row.key);
            EXPECT_EQ(LOBYTE(Shown(d)), row.key);
            EXPECT_EQ(HIBYTE(Shown(d)) & row.mustHave, row.mustHave);
            EXPECT_EQ(HIBYTE(Shown(d)) & row.mustNotHave, 0);
        });
    }
    steps.push_back(TypeCtrlAltK);
    steps.push_back([](HWND d) {
        EXPECT_EQ(Shown(d), MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT));
        Click(d, IDOK);
    });
    HotkeyDialog dialog;
    Prepare(dialog, 0, 'A', HOTKEYF_SHIFT);
    const INT_PTR result = RunScripted(dialog, std::move(steps));
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.hotkeyMode, 1);
    EXPECT_EQ(dialog.hotkeyKey, 0x4B);
    EXPECT_EQ(dialog.hotkeyModifiers, 0x06);
}

TEST_F(HotkeyDialogTest, DefaultRadioStillReturnsTheEditedCombination) {
    HotkeyDialog dialog;
    Prepare(dialog, 1, 'A', HOTKEYF_CONTROL);
    const INT_PTR result = RunScripted(dialog, {
        [](HWND d) {
            EXPECT_TRUE(Checked(d, IDC_HK_CUSTOM));
            EXPECT_TRUE(ControlEnabled(d));
            TypeCtrlAltK(d);
        },
        [](HWND d) {
            Click(d, IDC_HK_DEFAULT);
            EXPECT_FALSE(ControlEnabled(d));
            Click(d, IDOK);
        },
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.hotkeyMode, 0);
    EXPECT_EQ(dialog.hotkeyKey, 0x4B);
    EXPECT_EQ(dialog.hotkeyModifiers, 0x06);
}

TEST_F(HotkeyDialogTest, EveryWayOfCancellingKeepsTheCallersValues) {
    const std::pair<const char*, Step> cancels[] = {
        {"Cancel button", [](HWND d) { Click(d, IDCANCEL); }},
        {"close box", [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"Escape", [](HWND d) {
             SetFocus(GetDlgItem(d, IDC_HK_CUSTOM));
             Keys({{VK_ESCAPE, true}, {VK_ESCAPE, false}});
         }},
    };
    for (const auto& [name, cancel] : cancels) {
        SCOPED_TRACE(name);
        HotkeyDialog dialog;
        Prepare(dialog, 0, 'Q', HOTKEYF_CONTROL | HOTKEYF_SHIFT);
        const INT_PTR result = RunScripted(dialog, {
            [](HWND d) {
                Click(d, IDC_HK_CUSTOM);
                TypeCtrlAltK(d);
            },
            [](HWND d) { EXPECT_EQ(Shown(d), MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT)); },
            cancel,
        });
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_EQ(dialog.hotkeyMode, 0);
        EXPECT_EQ(dialog.hotkeyKey, 'Q');
        EXPECT_EQ(dialog.hotkeyModifiers, HOTKEYF_CONTROL | HOTKEYF_SHIFT);
    }
}

TEST_F(HotkeyDialogTest, OkWithoutEditsReturnsWhatTheControlShows) {
    struct Row {
        const char* name;
        std::int32_t mode;
        std::uint16_t key, modifiers;
        bool enabled;
        std::int32_t modeOut;
        std::uint16_t keyOut, modifiersOut;
    };
    const Row rows[] = {
        {"custom radio, empty control", 1, 0, 0, true, 1, 0, 0},
        {"default radio", 0, 'Z', HOTKEYF_ALT, false, 0, 'Z', HOTKEYF_ALT},
        {"only the low bytes count", 0, 0x1241, 0x0302, false, 0, 0x41, 0x02},
        {"neither radio", 5, 'B', HOTKEYF_SHIFT, true, -1, 'B', HOTKEYF_SHIFT},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        HotkeyDialog dialog;
        Prepare(dialog, row.mode, row.key, row.modifiers);
        const INT_PTR result = RunScripted(dialog, {
            [&](HWND d) {
                EXPECT_EQ(Checked(d, IDC_HK_DEFAULT), row.mode == 0);
                EXPECT_EQ(Checked(d, IDC_HK_CUSTOM), row.mode == 1);
                EXPECT_EQ(ControlEnabled(d), row.enabled);
                Click(d, IDOK);
            },
        });
        EXPECT_EQ(result, IDOK);
        EXPECT_EQ(dialog.hotkeyMode, row.modeOut);
        EXPECT_EQ(dialog.hotkeyKey, row.keyOut);
        EXPECT_EQ(dialog.hotkeyModifiers, row.modifiersOut);
    }
}

TEST_F(HotkeyDialogTest, ButtonsAreFlatIconButtonsWithLightText) {
    HotkeyDialog dialog;
    Prepare(dialog, 0, 0, 0);
    RunScripted(dialog, {
        [](HWND d) {
            for (const int id : {IDOK, IDCANCEL}) {
                SCOPED_TRACE(id);
                auto* button = dynamic_cast<IconButton*>(fw::Window::FromHandle(GetDlgItem(d, id)));
                ASSERT_NE(button, nullptr);
                EXPECT_TRUE(button->IsTransparent());
                EXPECT_EQ(button->SlotColour(IconButton::HotText), RGB(255, 255, 0));
                EXPECT_EQ(button->SlotColour(IconButton::NormalText), RGB(255, 255, 255));
                EXPECT_EQ(button->IsDefault() != FALSE, id == IDOK);
                EXPECT_EQ(GetWindowLongPtrW(GetDlgItem(d, id), GWL_STYLE) & 0x1F, BS_OWNERDRAW);
                const UINT hotIcon = id == IDOK ? IDI_OK_HOT : IDI_CANCEL_HOT;
                const bool artLinked = FindResourceW(nullptr, MAKEINTRESOURCEW(hotIcon), RT_GROUP_ICON) != nullptr;
                EXPECT_EQ(button->HotIcon() != nullptr, artLinked);
                EXPECT_EQ(button->NormalIcon() != nullptr, artLinked);
            }
            Click(d, IDCANCEL);
        },
    });
}

}  // namespace
