// Help: the help button and F1, in the main window and in a dialog it opens, all open the same help through the seam;
// under Wine the HTML copy of the pages opens in the host's browser instead of the help viewer.
#include <windows.h>

#include "tests/support/MainWindowFixture.h"

namespace {

using namespace testing_support;

constexpr const wchar_t* kHotkeyDialogCaption = L"定义热键对话框";

// The call that opens the compiled help document.
const std::vector<std::string> kDocument{"", "tarvisk.chm", "", ""};

class MainHelpTest : public MainWindowTest {
protected:
    // A real key press: the system turns F1 into WM_HELP for the window with the focus.
    static void PressF1() {
        INPUT keys[2]{};
        keys[0].type = keys[1].type = INPUT_KEYBOARD;
        keys[0].ki.wVk = keys[1].ki.wVk = VK_F1;
        keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, keys, sizeof(INPUT));
    }

    int Opened() const { return platform.CountOf("ShellExecute"); }

    void WriteHtmlCopy() {
        CreateDirectoryW(folder.File(L"tarvisk-help").c_str(), nullptr);
        ASSERT_TRUE(WriteFileBytes(folder.File(L"tarvisk-help\\index.htm"), "<html></html>"));
    }
};

TEST_F(MainHelpTest, TheHelpButtonAndF1InEveryDialogOpenTheSameHelp) {
    Open();
    SetForegroundWindow(hwnd);
    SetFocus(Item(IDC_INPUT));

    Click(IDC_HELPBTN);
    ASSERT_EQ(Opened(), 1);

    PressF1();
    EXPECT_TRUE(PumpUntil([&] { return Opened() == 2; }, 3000)) << "F1 in the main window";

    // F1 in the hotkey dialog, which runs modally on top of the main window: the dialog answers it itself, so the
    // help opens once.
    WindowDriver driver(kHotkeyDialogCaption, [&](HWND dialog) {
        PressF1();
        PumpUntil([&] { return Opened() == 3; }, 3000);
        PumpUntil([] { return false; }, 100);  // a second opening would show up now
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    Command(IDC_HOTKEYBTN);
    EXPECT_TRUE(driver.Ran());
    EXPECT_EQ(Opened(), 3) << "F1 in the hotkey dialog";

    for (const PlatformCall& call : platform.CallsNamed("ShellExecute")) {
        EXPECT_EQ(call.text, kDocument);
        EXPECT_EQ(call.numbers, std::vector<long long>{SW_SHOWNORMAL});
        EXPECT_EQ(call.window, nullptr);
    }
}

TEST_F(MainHelpTest, UnderWineTheHtmlCopyOpensInTheHostBrowserAndNoHelpIsSaid) {
    const std::wstring kNoHelpFile = L"找不到帮助文件 tarvisk.chm。它应当和 86.dll 等词典文件放在同一个文件夹里。";
    const std::wstring kNoProgram = L"无法打开帮助文件 tarvisk.chm（错误 31）。";
    const std::string page = "\"" + Gbk(folder.File(L"tarvisk-help\\index.htm")) + "\"";
    const std::vector<std::string> browser{"open", "winebrowser", page, ""};
    struct Row {
        const char* name;
        bool underWine;
        bool htmlCopy;
        INT_PTR shellResult;
        std::vector<std::vector<std::string>> opened;
        std::wstring message;  // what the user is told, if anything
    } rows[] = {
        {"Windows", false, true, 42, {kDocument}, L""},
        {"Wine", true, true, 42, {browser}, L""},
        {"Wine without the HTML copy", true, false, 42, {kDocument}, L""},
        {"Wine, nothing starts", true, true, SE_ERR_NOASSOC, {browser, kDocument}, kNoProgram},
        {"no help file", false, false, SE_ERR_FNF, {kDocument}, kNoHelpFile},
        {"Wine, no help at all", true, false, SE_ERR_FNF, {kDocument}, kNoHelpFile},
        {"no program opens it", false, false, SE_ERR_NOASSOC, {kDocument}, kNoProgram},
    };
    Open();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RemovePath(folder.File(L"tarvisk-help\\index.htm"));
        RemovePath(folder.File(L"tarvisk-help"));
        if (row.htmlCopy) WriteHtmlCopy();
        platform.Clear();
        platform.underWine = row.underWine;
        platform.shellExecuteResult = row.shellResult;
        Click(IDC_HELPBTN);
        std::vector<std::vector<std::string>> opened;
        for (const PlatformCall& call : platform.CallsNamed("ShellExecute")) opened.push_back(call.text);
        EXPECT_EQ(opened, row.opened);
        const auto boxes = platform.CallsNamed("MessageBox");
        ASSERT_EQ(boxes.size(), row.message.empty() ? 0u : 1u);
        if (!row.message.empty()) {
            EXPECT_EQ(boxes[0].text[0], Gbk(row.message));
            EXPECT_EQ(boxes[0].window, hwnd);
        }
    }
}

}  // namespace
