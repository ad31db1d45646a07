// The framework layer on a real template: data exchange both ways, reflection of child notifications, the modal
// loop (end, quit, owner), the dialog colours, and GBK text at the boundary.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "controls/IconButton.h"
#include "framework/Application.h"
#include "framework/Dialog.h"
#include "framework/Text.h"
#include "resources/resource.h"
#include "tests/support/AppTestKit.h"
#include "tests/support/RecordingPlatform.h"

namespace {

using namespace testing_support;

// A control that counts the clicks reflected to it and either keeps them or lets the parent have them too.
class ClickCounter : public fw::Window {
public:
    explicit ClickCounter(bool keep) : keep_(keep) {}
    int clicks = 0;

protected:
    bool OnReflectedCommand(UINT code) override {
        if (code == BN_CLICKED) ++clicks;
        return keep_;
    }

private:
    bool keep_;
};

class ExchangeDialog : public fw::Dialog {
public:
    explicit ExchangeDialog(fw::Window* parent = nullptr) : fw::Dialog(IDD_MAIN, parent) {}
    int edition = 1;
    int check = 1;
    std::string codeText = "码";
    ClickCounter passing{false};
    ClickCounter keeping{true};
    std::vector<UINT> parentClicks;
    std::function<void(ExchangeDialog&)> onTimer;

protected:
    void DoDataExchange(fw::DataExchange& dx) override {
        fw::DDX_Radio(dx, IDC_ED86, edition);
        fw::DDX_Check(dx, IDC_SHOWPINYIN, check);
        fw::DDX_Text(dx, IDC_CODE, codeText);
        fw::DDX_Control(dx, IDC_HELPBTN, passing);
        fw::DDX_Control(dx, IDC_ABOUTBTN, keeping);
    }
    BOOL OnInitDialog() override {
        fw::Dialog::OnInitDialog();
        if (onTimer) SetTimer(hwnd_, 1, 10, nullptr);
        return TRUE;
    }
    void OnTimer(UINT_PTR id) override {
        KillTimer(hwnd_, id);
        onTimer(*this);
    }
    bool OnCommand(UINT id, UINT code, HWND control) override {
        if (code == BN_CLICKED && (id == IDC_HELPBTN || id == IDC_ABOUTBTN)) {
            parentClicks.push_back(id);
            return true;
        }
        return fw::Dialog::OnCommand(id, code, control);
    }
};

TEST(Framework, DataExchangeGoesBothWays) {
    ExchangeDialog dialog;
    ASSERT_TRUE(dialog.Create());
    HWND hwnd = dialog.GetSafeHwnd();
    EXPECT_EQ(SendDlgItemMessageW(hwnd, IDC_ED98, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendDlgItemMessageW(hwnd, IDC_SHOWPINYIN, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(TextOf(GetDlgItem(hwnd, IDC_CODE)), L"码");

    SendDlgItemMessageW(hwnd, IDC_EDRARE, BM_CLICK, 0, 0);
    SetDlgItemTextW(hwnd, IDC_CODE, L"键qvgp");
    dialog.UpdateData(TRUE);
    EXPECT_EQ(dialog.edition, 2);
    EXPECT_EQ(dialog.codeText, Gbk(L"键qvgp"));

    for (int id : {IDC_ED86, IDC_ED98, IDC_EDRARE}) SendDlgItemMessageW(hwnd, id, BM_SETCHECK, BST_UNCHECKED, 0);
    dialog.UpdateData(TRUE);
    EXPECT_EQ(dialog.edition, -1);  // none checked

    dialog.edition = 5;  // outside the group: every button is cleared
    dialog.UpdateData(FALSE);
    for (int id : {IDC_ED86, IDC_ED98, IDC_EDRARE})
        EXPECT_EQ(SendDlgItemMessageW(hwnd, id, BM_GETCHECK, 0, 0), BST_UNCHECKED) << id;
}

TEST(Framework, ReflectedClicksReachTheParentUnlessTheControlKeepsThem) {
    ExchangeDialog dialog;
    ASSERT_TRUE(dialog.Create());
    SendDlgItemMessageW(dialog.GetSafeHwnd(), IDC_HELPBTN, BM_CLICK, 0, 0);
    SendDlgItemMessageW(dialog.GetSafeHwnd(), IDC_ABOUTBTN, BM_CLICK, 0, 0);
    EXPECT_EQ(dialog.passing.clicks, 1);
    EXPECT_EQ(dialog.keeping.clicks, 1);
    EXPECT_EQ(dialog.parentClicks, std::vector<UINT>{IDC_HELPBTN});
}

TEST(Framework, ModalRunEndsWithItsResultAndGivesTheOwnerBack) {
    ExchangeDialog owner;
    ASSERT_TRUE(owner.Create());
    ExchangeDialog child(&owner);
    bool ownerDisabledDuringRun = false;
    child.onTimer = [&](ExchangeDialog& self) {
        ownerDisabledDuringRun = !IsWindowEnabled(owner.GetSafeHwnd());
        self.EndDialog(7);
    };
    EXPECT_EQ(child.DoModal(), 7);
    EXPECT_TRUE(ownerDisabledDuringRun);
    EXPECT_TRUE(IsWindowEnabled(owner.GetSafeHwnd()));
    EXPECT_EQ(child.GetSafeHwnd(), nullptr);  // the window is destroyed after the run
}

TEST(Framework, AQuitMessageEndsEveryModalLoopItPasses) {
    ExchangeDialog outer;
    ExchangeDialog inner;
    INT_PTR innerResult = 0;
    inner.onTimer = [](ExchangeDialog&) { PostQuitMessage(3); };
    outer.onTimer = [&](ExchangeDialog&) { innerResult = inner.DoModal(); };
    EXPECT_EQ(outer.DoModal(), -1);
    EXPECT_EQ(innerResult, -1);
    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));  // still there for the next loop
    EXPECT_EQ(message.wParam, 3u);
}

// A modeless dialog whose own teardown needs its members: it records what its WM_DESTROY handling saw.
class TeardownDialog : public fw::Dialog {
public:
    explicit TeardownDialog(std::vector<std::string>& log) : fw::Dialog(IDD_HOTKEY), log_(log) {}

protected:
    BOOL OnInitDialog() override {
        fw::Dialog::OnInitDialog();
        okButton_.SubclassDlgItem(IDOK, this);
        okButton_.SetTipText("确定");
        return TRUE;
    }
    void OnDestroy() override {
        log_.push_back(okButton_.GetSafeHwnd() ? "own teardown, button attached" : "own teardown, button gone");
        Default();
    }

private:
    std::vector<std::string>& log_;
    IconButton okButton_;
};

TEST(Framework, AModelessDialogDestroyedThroughItsObjectRunsItsOwnTeardown) {
    std::vector<std::string> log;
    HWND hwnd = nullptr;
    {
        auto dialog = std::make_unique<fw::Modeless<TeardownDialog>>(log);
        ASSERT_TRUE(dialog->Create());
        hwnd = dialog->GetSafeHwnd();
    }
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(log, std::vector<std::string>{"own teardown, button attached"});

    // Closed before its object goes: the object then has nothing left to destroy.
    log.clear();
    {
        fw::Modeless<TeardownDialog> dialog(log);
        ASSERT_TRUE(dialog.Create());
        DestroyWindow(dialog.GetSafeHwnd());
        EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
    }
    EXPECT_EQ(log.size(), 1u);
}

TEST(Framework, DialogColoursPaintStaticsButLeaveEditBoxes) {
    fw::SetDialogColours(RGB(49, 106, 197), RGB(255, 255, 255));
    ExchangeDialog dialog;
    ASSERT_TRUE(dialog.Create());
    HWND hwnd = dialog.GetSafeHwnd();
    HDC dc = GetDC(hwnd);
    const auto ask = [&](UINT message, int id) {
        return reinterpret_cast<HBRUSH>(SendMessageW(hwnd, message, reinterpret_cast<WPARAM>(dc),
                                                     reinterpret_cast<LPARAM>(GetDlgItem(hwnd, id))));
    };
    SetTextColor(dc, RGB(0, 0, 0));
    EXPECT_EQ(ask(WM_CTLCOLORSTATIC, IDC_CODE), fw::DialogBackgroundBrush());
    EXPECT_EQ(GetTextColor(dc), RGB(255, 255, 255));
    EXPECT_EQ(ask(WM_CTLCOLORBTN, IDC_ED86), fw::DialogBackgroundBrush());
    EXPECT_NE(ask(WM_CTLCOLOREDIT, IDC_INPUT), fw::DialogBackgroundBrush());
    SendDlgItemMessageW(hwnd, IDC_INPUT, EM_SETREADONLY, TRUE, 0);  // now it asks as a static
    EXPECT_NE(ask(WM_CTLCOLORSTATIC, IDC_INPUT), fw::DialogBackgroundBrush());
    ReleaseDC(hwnd, dc);
}

// The screen's pixels of a window's client rectangle (what the user sees), top-down rows of COLORREFs.
std::vector<COLORREF> ScreenPixels(HWND window, RECT& client) {
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    const int width = client.right, height = client.bottom;
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    std::vector<COLORREF> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    const auto* raw = static_cast<const std::uint32_t*>(bits);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = RGB((raw[i] >> 16) & 0xFF, (raw[i] >> 8) & 0xFF, raw[i] & 0xFF);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

TEST(Framework, EveryGroupBoxOfEveryDialogShowsItsCaptionInTheDialogTextColour) {
    fw::SetDialogColours(RGB(49, 106, 197), RGB(255, 255, 255));
    int captions = 0;
    for (UINT id : {IDD_MAIN, IDD_MINI, IDD_ABOUT, IDD_HOTKEY, IDD_CHART86, IDD_CHART98, IDD_CHARTRARE}) {
        fw::Modeless<fw::Dialog> dialog(id);
        ASSERT_TRUE(dialog.Create()) << id;
        HWND hwnd = dialog.GetSafeHwnd();
        SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        PumpUntil([] { return false; }, 100);
        for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            const std::wstring text = TextOf(child);
            if ((GetWindowLongPtrW(child, GWL_STYLE) & BS_TYPEMASK) != BS_GROUPBOX || text.empty()) continue;
            wchar_t className[16] = {};
            GetClassNameW(child, className, 16);
            if (lstrcmpiW(className, L"Button") != 0) continue;
            ++captions;
            // The caption sits 8 pixels in from the left edge, on a strip of the dialog's background.
            HDC dc = GetDC(child);
            HGDIOBJ font = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(child, WM_GETFONT, 0, 0)));
            SIZE extent{};
            GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
            SelectObject(dc, font);
            ReleaseDC(child, dc);
            RECT client{};
            const std::vector<COLORREF> pixels = ScreenPixels(child, client);
            int light = 0, dark = 0;
            for (int y = 1; y < extent.cy - 1; ++y)
                for (int x = 9; x < 7 + extent.cx && x < client.right; ++x) {
                    const COLORREF p = pixels[static_cast<std::size_t>(y * client.right + x)];
                    const int sum = GetRValue(p) + GetGValue(p) + GetBValue(p);  // the blue is 352
                    light += sum > 600;
                    dark += sum < 300;
                }
            EXPECT_GT(light, 10) << "dialog " << id << ": no white letters in \"" << fw::Narrow(text) << "\"";
            EXPECT_EQ(dark, 0) << "dialog " << id << ": dark pixels in \"" << fw::Narrow(text) << "\"";
        }
    }
    EXPECT_GE(captions, 3) << "the main window's three captioned group boxes at least";
}

TEST(Framework, TextCrossesTheBoundaryAsGbk) {
    EXPECT_EQ(fw::Narrow(L"五笔"), "\xCE\xE5\xB1\xCA");
    EXPECT_EQ(fw::Widen("\xCE\xE5\xB1\xCA"), L"五笔");
    std::string out;
    EXPECT_TRUE(fw::NarrowExact(L"行xíng", out));
    EXPECT_FALSE(fw::NarrowExact(L"\U0001F600", out));  // no GBK form: reported, not silently '?'
    EXPECT_FALSE(fw::NarrowExact(L"\uD55C", out));
}

TEST(Framework, TheApplicationMessageBoxGoesThroughTheSeam) {
    RecordingPlatform platform;
    PlatformScope scope(platform);
    platform.messageBoxAnswers.push_back(IDCANCEL);
    EXPECT_EQ(fw::AppMessageBox("消息", MB_OKCANCEL), IDCANCEL);
    ASSERT_EQ(platform.CountOf("MessageBox"), 1);
    EXPECT_EQ(platform.calls[0].text[0], "消息");
    EXPECT_EQ(platform.calls[0].numbers[0], MB_OKCANCEL);
}

}  // namespace
