// The link label on a real dialog: what it shows (read back from the screen), how it fits its text, what a click
// opens through the shell or the registered browser, and what the user is told when nothing opens.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/LinkLabel.h"
#include "framework/Application.h"
#include "framework/Dialog.h"
#include "resources/resource.h"
#include "tests/support/AppTestKit.h"
#include "tests/support/RecordingPlatform.h"
#include "tests/support/ScreenKit.h"

namespace {

using namespace testing_support;

constexpr COLORREF kBlue = RGB(49, 106, 197);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kVisited = RGB(255, 173, 91);
constexpr const char* kTarget = "http://www.example.org/";

bool IsYellow(COLORREF c) { return Near(c, kYellow, 30); }
bool IsVisited(COLORREF c) { return Near(c, kVisited, 30); }
bool IsWhite(COLORREF c) { return Near(c, RGB(255, 255, 255), 30); }

class LinkLabelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { fw::SetDialogColours(kBlue, RGB(255, 255, 255)); }

    void SetUp() override {
        ASSERT_TRUE(host.Create());
        app.mainWindow = &host;
        SetWindowPos(host.GetSafeHwnd(), HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE);
    }
    void TearDown() override { app.mainWindow = nullptr; }

    void Show() {
        host.ShowWindow(SW_SHOW);
        SetForegroundWindow(host.GetSafeHwnd());
        UpdateWindow(host.GetSafeHwnd());
        PumpUntil([] { return false; }, 150);
    }

    // A click as the static control receives it: it reports STN_CLICKED to the dialog, which hands it to the label.
    static void Click(const LinkLabel& label) { SendMessageW(label.GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, 0); }

    ScreenPixels Pixels(const LinkLabel& label) const {
        PumpUntil([] { return false; }, 100);
        return ScreenPixels(ScreenRectOf(label.GetSafeHwnd()));
    }

    // What the user was told last: the text of the last message box, "" when there was none.
    std::string LastMessage() const {
        const auto boxes = platform.CallsNamed("MessageBox");
        return boxes.empty() ? std::string() : boxes.back().text[0];
    }

    RecordingPlatform platform;
    PlatformScope scope{platform};
    fw::Application app;
    fw::Dialog host{IDD_ABOUT};
};

// --- What it shows ---------------------------------------------------------------------------------------------

TEST_F(LinkLabelTest, ShowsItsTemplateTextUnderlinedInYellowOnTheDialogsBackground) {
    LinkLabel mail;
    ASSERT_TRUE(mail.SubclassDlgItem(IDC_MAIL, &host));
    mail.SetTarget("mailto:someone@example.org");
    EXPECT_EQ(mail.GetWindowText(), "Email:  " TARVISK_MAIL_ADDRESS "     ") << "the template's text stays";
    EXPECT_EQ(mail.Tooltip().GetToolCount(), 1);
    EXPECT_EQ(mail.Tooltip().GetText(mail.GetSafeHwnd(), 1), "mailto:someone@example.org");

    Show();
    const ScreenPixels pixels = Pixels(mail);
    EXPECT_GT(pixels.Count(IsYellow), 100);
    EXPECT_EQ(pixels.Count(IsWhite), 0) << "the dialog's text colour does not win over the link's";
    // The underline runs under the whole text, trailing blanks included.
    EXPECT_GT(pixels.FullestRow([](COLORREF c) { return c == kYellow; }), 0.9);
}

TEST_F(LinkLabelTest, EmptyTemplateTextShowsTheTarget) {
    SetDlgItemTextW(host.GetSafeHwnd(), IDC_WEB, L"");
    LinkLabel web;
    web.SetTarget(kTarget);
    ASSERT_TRUE(web.SubclassDlgItem(IDC_WEB, &host));
    EXPECT_EQ(web.GetWindowText(), kTarget);
    EXPECT_EQ(web.Tooltip().GetText(web.GetSafeHwnd(), 1), kTarget);
}

TEST_F(LinkLabelTest, FitsItsTextKeepingTheEdgeItsAlignmentNames) {
    enum Keep { Left, Right, Centre, None };
    const struct {
        const char* name;
        DWORD style;
        Keep keep;
        bool centreVertically;
        bool autoFit;
    } rows[] = {
        {"left", SS_LEFT, Left, false, true},
        {"right", SS_RIGHT, Right, false, true},
        {"centred", SS_CENTER, Centre, false, true},
        {"centred image", SS_LEFT | SS_CENTERIMAGE, Left, true, true},
        // SS_SIMPLE is 0xB: its bits include SS_CENTER's and SS_RIGHT's, yet it draws from the left.
        {"simple", SS_SIMPLE, Left, false, true},
        {"not fitted", SS_LEFT, None, false, false},
    };
    const HFONT font = reinterpret_cast<HFONT>(SendMessageW(host.GetSafeHwnd(), WM_GETFONT, 0, 0));
    const std::wstring text = L"Email: " TARVISK_MAIL_ADDRESS;
    const RECT box{10, 300, 270, 340};  // 260 x 40 below the template's controls, in the dialog's client area
    Show();
    int id = 2000;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        HWND control = CreateWindowExW(0, L"STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | row.style, box.left,
                                       box.top, box.right - box.left, box.bottom - box.top, host.GetSafeHwnd(),
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(++id)), nullptr, nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SIZE size{};
        {
            fw::ClientDc dc(control);
            fw::ScopedSelect select(dc.get(), font);
            GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
        }
        LinkLabel label;
        label.autoFit = row.autoFit ? TRUE : FALSE;
        ASSERT_TRUE(label.SubclassWindow(control));
        RECT fitted = ScreenRectOf(control);
        MapWindowPoints(nullptr, host.GetSafeHwnd(), reinterpret_cast<POINT*>(&fitted), 2);

        const int width = fitted.right - fitted.left, height = fitted.bottom - fitted.top;
        switch (row.keep) {
        case Left: EXPECT_EQ(fitted.left, box.left); break;
        case Right: EXPECT_EQ(fitted.right, box.right); break;
        case Centre: EXPECT_EQ(fitted.left + fitted.right, box.left + box.right); break;
        case None: EXPECT_TRUE(EqualRect(&fitted, &box)); break;
        }
        if (row.keep != None) {
            EXPECT_LE(std::abs(width - size.cx), 1);
            EXPECT_LE(std::abs(height - size.cy), 1);
            if (row.centreVertically)
                EXPECT_EQ(fitted.top + fitted.bottom, box.top + box.bottom);
            else
                EXPECT_EQ(fitted.top, box.top);
        }

        // The whole text shows, on one line: its ink reaches the far end of the label and no second line is cut.
        InvalidateRect(host.GetSafeHwnd(), nullptr, TRUE);
        const ScreenPixels pixels = Pixels(label);
        const RECT ink = pixels.BoxOf(IsYellow);
        if (row.keep != None) {
            EXPECT_GE(ink.right, width - 6);
        }
        EXPECT_LE(ink.bottom - ink.top, size.cy);
        DestroyWindow(control);
    }
}

// --- Opening ---------------------------------------------------------------------------------------------------

TEST_F(LinkLabelTest, ClickOpensTheTargetAndTheColourFollowsTheOutcome) {
    LinkLabel web;
    ASSERT_TRUE(web.SubclassDlgItem(IDC_WEB, &host));
    web.SetTarget(kTarget);
    Show();
    ASSERT_GT(Pixels(web).Count(IsYellow), 50);

    ClickAt(CentreOf(ScreenRectOf(web.GetSafeHwnd())));
    ASSERT_TRUE(PumpUntil([&] { return platform.CountOf("ShellExecute") == 1; }));
    const PlatformCall open = platform.CallsNamed("ShellExecute")[0];
    EXPECT_EQ(open.window, nullptr);
    EXPECT_EQ(open.text, (std::vector<std::string>{"open", kTarget, "", ""}));
    EXPECT_EQ(open.numbers, std::vector<long long>{SW_SHOW});
    EXPECT_TRUE(web.isVisited);
    EXPECT_EQ(platform.CountOf("MessageBox"), 0);
    ScreenPixels visited = Pixels(web);
    EXPECT_GT(visited.Count(IsVisited), 50);
    EXPECT_EQ(visited.Count(IsYellow), 0) << "repainted whole, not drawn over the yellow";

    // A failed open beeps, explains, and shows the label unvisited again.
    platform.shellExecuteResult = SE_ERR_NOASSOC;
    Click(web);
    EXPECT_FALSE(web.isVisited);
    EXPECT_EQ(platform.CountOf("MessageBeep"), 1);
    EXPECT_EQ(platform.CountOf("MessageBox"), 1);
    const ScreenPixels failed = Pixels(web);
    EXPECT_GT(failed.Count(IsYellow), 50);
    EXPECT_EQ(failed.Count(IsVisited), 0);

    platform.shellExecuteResult = 42;
    Click(web);
    EXPECT_TRUE(web.isVisited);
    EXPECT_GT(Pixels(web).Count(IsVisited), 50);
}

TEST_F(LinkLabelTest, EveryResultCodeIsExplainedAfterABeep) {
    const struct {
        INT_PTR code;
        const char* text;
    } rows[] = {
        {0, "The operating system is out\nof memory or resources."},
        {2, "The specified file was not found."},
        {3, "The specified path was not found."},
        {5, "The operating system denied\naccess to the specified file."},
        {8, "There was not enough memory to complete the operation."},
        {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
        {26, "A sharing violation occurred. "},
        {27, "The filename association is\nincomplete or invalid."},
        {28, "The DDE transaction could not\nbe completed because the request timed out."},
        {29, "The DDE transaction failed."},
        {30, "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed."},
        {31, "There is no application associated\nwith the given filename extension."},
        {32, "The specified dynamic-link library was not found."},
        {4, "Unknown Error (4) occurred."},
        {-1, "Unknown Error (-1) occurred."},
    };
    // As in the About box: the label's dialog is modal over a main window that it has disabled. A box owned by the
    // main window would leave the label's dialog usable, and closable, under it.
    fw::Dialog mainWindow{IDD_ABOUT};
    ASSERT_TRUE(mainWindow.Create());
    app.mainWindow = &mainWindow;
    EnableWindow(mainWindow.GetSafeHwnd(), FALSE);
    LinkLabel web;
    ASSERT_TRUE(web.SubclassDlgItem(IDC_WEB, &host));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.code);
        platform.Clear();
        platform.shellExecuteResult = row.code;
        Click(web);
        std::vector<std::string> names;
        for (const PlatformCall& call : platform.calls) names.push_back(call.name);
        EXPECT_EQ(names, (std::vector<std::string>{"ShellExecute", "ReadRegistryDefault", "MessageBeep",
                                                   "MessageBox"}));
        ASSERT_EQ(platform.CountOf("MessageBox"), 1);
        const PlatformCall box = platform.CallsNamed("MessageBox")[0];
        EXPECT_EQ(box.text[0], std::string("Unable to open hyperlink:\n\n") + row.text);
        EXPECT_EQ(box.text[1], app.AppName());
        EXPECT_EQ(box.numbers[0], MB_ICONEXCLAMATION | MB_OK);
        EXPECT_EQ(box.window, host.GetSafeHwnd());
        EXPECT_EQ(platform.CallsNamed("MessageBeep")[0].numbers[0], MB_ICONEXCLAMATION);
        EXPECT_FALSE(web.isVisited);
    }
}

TEST_F(LinkLabelTest, FallsBackToTheBrowserRegisteredForWebPages) {
    const std::string keyOf = "htmlfile\\shell\\open\\command";
    const std::string longClass(259, 'c');
    const struct {
        const char* name;
        std::vector<RecordingPlatform::RegistryValue> registry;
        std::string target;
        UINT winExecResult;
        std::vector<std::string> keysRead;
        std::string command;  // "" when nothing is started
        const char* told;     // "" when nothing is said
    } rows[] = {
        {"quoted placeholder and a switch: the switch is dropped",
         {{".htm", "htmlfile"}, {keyOf, "C:\\Web\\browser.exe \"%1\" -nohome"}}, kTarget, 33,
         {".htm", keyOf}, std::string("C:\\Web\\browser.exe  ") + kTarget, ""},
        {"bare placeholder; the browser's own failure is the one reported",
         {{".htm", "htmlfile"}, {keyOf, "browser.exe %1"}}, kTarget, 2,
         {".htm", keyOf}, std::string("browser.exe  ") + kTarget, "The specified file was not found."},
        {"no placeholder", {{".htm", "htmlfile"}, {keyOf, "browser.exe"}}, kTarget, 33,
         {".htm", keyOf}, std::string("browser.exe ") + kTarget, ""},
        {"no .htm class: the shell's failure", {}, kTarget, 33, {".htm"}, "",
         "There is no application associated\nwith the given filename extension."},
        {"a command longer than a registry read holds counts as none",
         {{".htm", "htmlfile"}, {keyOf, "b.exe \"%1\" " + std::string(300, 'x')}}, kTarget, 33,
         {".htm", keyOf}, "", "There is no application associated\nwith the given filename extension."},
        {"a class name of 259 bytes still names its key",
         {{".htm", longClass}, {longClass + "\\shell\\open\\command", "b.exe %1"}}, kTarget, 33,
         {".htm", longClass + "\\shell\\open\\command"}, std::string("b.exe  ") + kTarget, ""},
        {"a class name of 260 bytes counts as none", {{".htm", longClass + "c"}}, kTarget, 33, {".htm"}, "",
         "There is no application associated\nwith the given filename extension."},
        // A browser registered under its environment's folders: expanded first, then held to the same limits.
        {"an expandable command is expanded",
         {{".htm", "htmlfile"}, {keyOf, "\"%TARVISK_WEB_HOME%\\browser.exe\" \"%1\"", REG_EXPAND_SZ}}, kTarget, 33,
         {".htm", keyOf}, std::string("\"C:\\Program Files\\Web\\browser.exe\"  ") + kTarget, ""},
        {"a command that expands past what a registry read holds counts as none",
         {{".htm", "htmlfile"}, {keyOf, "%TARVISK_LONG_HOME%\\b.exe %1", REG_EXPAND_SZ}}, kTarget, 33,
         {".htm", keyOf}, "", "There is no application associated\nwith the given filename extension."},
        {"a target the command buffer cannot hold is not cut short",
         {{".htm", "htmlfile"}, {keyOf, "b.exe %1"}}, "http://example.org/" + std::string(600, 'p'), 33,
         {".htm", keyOf}, "", "There is no application associated\nwith the given filename extension."},
    };
    SetEnvironmentVariableW(L"TARVISK_WEB_HOME", L"C:\\Program Files\\Web");
    SetEnvironmentVariableW(L"TARVISK_LONG_HOME", std::wstring(300, L'd').c_str());
    LinkLabel web;
    ASSERT_TRUE(web.SubclassDlgItem(IDC_WEB, &host));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        platform.Clear();
        platform.shellExecuteResult = SE_ERR_NOASSOC;
        platform.registryValues = row.registry;
        platform.winExecResult = row.winExecResult;
        web.SetTarget(row.target);
        Click(web);

        std::vector<std::string> keys;
        for (const PlatformCall& read : platform.CallsNamed("ReadRegistryDefault")) {
            keys.push_back(read.text[0]);
            EXPECT_EQ(read.numbers[0], KEY_QUERY_VALUE);
        }
        EXPECT_EQ(keys, row.keysRead);
        const auto started = platform.CallsNamed("WinExec");
        if (row.command.empty()) {
            EXPECT_TRUE(started.empty());
        } else {
            ASSERT_EQ(started.size(), 1u);
            EXPECT_EQ(started[0].text[0], row.command);
            EXPECT_EQ(started[0].numbers[0], SW_SHOW);
        }
        const std::string told = row.told[0] ? std::string("Unable to open hyperlink:\n\n") + row.told : "";
        EXPECT_EQ(LastMessage(), told);
        EXPECT_EQ(web.isVisited != FALSE, told.empty());
    }
}

}  // namespace
