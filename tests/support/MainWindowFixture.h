// The main window opened modelessly from its real template, in a fresh working folder with small dictionaries,
// with the platform seam recording what it is asked.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "app/LookupApp.h"
#include "app/MainDialog.h"
#include "framework/Dialog.h"
#include "resources/resource.h"
#include "tests/support/AppTestKit.h"
#include "tests/support/RecordingPlatform.h"

namespace testing_support {

// GBK tables: a last token without a line break, a character listed twice, several tokens on one line, a pinyin
// reading with a space (which ends the token).
inline constexpr const wchar_t* kTable86 = L"工aaaa\r\n式aa 的r\n的rqyy\n强xkj";
inline constexpr const wchar_t* kTable98 = L"工aaaa\n的r\n";
inline constexpr const wchar_t* kTableRare = L"龘dddd\n";
inline constexpr const wchar_t* kTablePinyin = L"工gong\n的de di\n式shi\n";

// The visible window of this thread whose object is a T (a dialog opened modally inside a handler), if one is open.
template <typename T>
HWND FindShownWindowOf() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM out) -> BOOL {
            if (!IsWindowVisible(window) || !dynamic_cast<T*>(fw::Window::FromHandle(window))) return TRUE;
            *reinterpret_cast<HWND*>(out) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        fw::SetDialogColours(RGB(49, 106, 197), RGB(255, 255, 255));
        WriteTable(L"86.dll", kTable86);
        WriteTable(L"98.dll", kTable98);
        WriteTable(L"fm.dll", kTableRare);
        WriteTable(L"py.dll", kTablePinyin);
    }

    void TearDown() override { Close(); }

    void Open() {
        window = std::make_unique<fw::Modeless<MainDialog>>();
        app.mainWindow = window.get();
        ASSERT_TRUE(window->Create());
        hwnd = window->GetSafeHwnd();
    }

    void Close() {
        app.mainWindow = nullptr;
        window.reset();
        hwnd = nullptr;
    }

    void WriteTable(const wchar_t* name, const wchar_t* text) {
        ASSERT_TRUE(WriteFileBytes(folder.File(name), Gbk(text)));
    }

    HWND Item(int id) const { return GetDlgItem(hwnd, id); }
    void Type(const std::wstring& text) const { SetDlgItemTextW(hwnd, IDC_INPUT, text.c_str()); }
    void Click(int id) const { SendMessageW(Item(id), BM_CLICK, 0, 0); }
    void Command(int id, UINT code = BN_CLICKED) const {
        SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Item(id)));
    }
    // Gives the main window `command` (a button's click), which runs a window modally; once `find` answers that
    // window, `inWindow` acts in it and must close it (else it is cancelled `closeAfterMs` later). False when no such
    // window showed.
    bool RunModalFrom(int command, std::function<HWND()> find, std::function<void(HWND)> inWindow,
                      DWORD closeAfterMs = 5000) const {
        WindowDriver driver(std::move(find), std::move(inWindow), closeAfterMs);
        Command(command);
        return driver.Ran();
    }
    std::wstring Input() const { return TextOf(Item(IDC_INPUT)); }
    std::wstring CodeLine() const { return TextOf(Item(IDC_CODE)); }
    std::wstring PinyinLine() const { return TextOf(Item(IDC_PINYIN)); }
    bool Checked(int id) const { return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    std::vector<std::uint8_t> SettingsBytes() const { return ReadFileBytes(folder.File(L"user.ini")); }

    // Declared in this order so the window goes first and the seam and the folder outlive it.
    RecordingPlatform platform;
    PlatformScope scope{platform};
    TempWorkFolder folder;
    LookupApp app;
    std::unique_ptr<fw::Modeless<MainDialog>> window;
    HWND hwnd = nullptr;
};

}  // namespace testing_support
