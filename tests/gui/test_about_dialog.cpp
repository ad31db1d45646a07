// The About box as a user meets it: opened from the main window's command, its picture, icon, credits and links as
// they show on the screen, the links and the picture opening the site while the box stays, and every way it closes.
// Also the main window's own two links.
#include <windows.h>
#include <commctrl.h>

#include "tests/support/MainWindowFixture.h"
#include "tests/support/ScreenKit.h"
#include "windows/AboutDialog.h"

namespace {

using namespace testing_support;

constexpr COLORREF kBlue = RGB(49, 106, 197);
bool IsYellow(COLORREF c) { return Near(c, RGB(255, 255, 0), 30); }
bool IsVisited(COLORREF c) { return Near(c, RGB(255, 173, 91), 30); }
bool IsWhite(COLORREF c) { return Near(c, RGB(255, 255, 255), 30); }
bool IsNotBlue(COLORREF c) { return !Near(c, kBlue, 30); }

HCURSOR Hand() { return LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_HAND_POINT)); }

// The visible About box of this thread, if one is open.
HWND FindAbout() { return FindShownWindowOf<AboutDialog>(); }

// A template rectangle of the About box (dialog units) on the screen.
RECT OnScreen(HWND about, RECT units) {
    MapDialogRect(about, &units);
    MapWindowPoints(about, nullptr, reinterpret_cast<POINT*>(&units), 2);
    return units;
}

void Settle() { PumpUntil([] { return false; }, 150); }

// Runs `about` modally; `inBox` acts in it once it shows. Returns DoModal's result.
INT_PTR RunAbout(AboutDialog& about, std::function<void(HWND)> inBox) {
    WindowDriver driver(
        [&about]() -> HWND {
            HWND hwnd = about.GetSafeHwnd();
            return hwnd && IsWindowVisible(hwnd) ? hwnd : nullptr;
        },
        [inBox = std::move(inBox)](HWND box) {
            SetForegroundWindow(box);
            Settle();
            inBox(box);
        });
    const INT_PTR result = about.DoModal();
    EXPECT_TRUE(driver.Ran());
    return result;
}

class AboutBoxTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { fw::SetDialogColours(kBlue, RGB(255, 255, 255)); }

    RecordingPlatform platform;
    PlatformScope scope{platform};
};

TEST_F(AboutBoxTest, ClosesOnAnyClickOnItsSurfaceAndOnEscape) {
    enum Action { LeftClick, RightClick, Escape };
    const struct {
        const char* name;
        Action action;
        RECT where;  // dialog units
        INT_PTR result;
    } rows[] = {
        {"left click on an empty part", LeftClick, {4, 180, 8, 184}, IDOK},
        {"right click on an empty part", RightClick, {130, 160, 134, 164}, IDOK},
        {"left click on a credits line", LeftClick, {14, 99, 124, 107}, IDOK},
        {"left click on the title", LeftClick, {49, 18, 113, 26}, IDOK},
        {"Esc", Escape, {}, IDCANCEL},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        AboutDialog about;
        const INT_PTR result = RunAbout(about, [&](HWND box) {
            if (row.action == Escape)
                PressKey(VK_ESCAPE);
            else
                ClickAt(CentreOf(OnScreen(box, row.where)), row.action == RightClick);
        });
        EXPECT_EQ(result, row.result);
        EXPECT_TRUE(platform.calls.empty()) << "nothing is opened";
    }
}

TEST_F(AboutBoxTest, ShowsItsPartsAndOpensTheSiteWithoutClosing) {
    AboutDialog about;
    const INT_PTR result = RunAbout(about, [&](HWND box) {
        EXPECT_GT(ScreenPixels(OnScreen(box, {24, 11, 44, 31})).Count(IsNotBlue), 100) << "the icon";
        EXPECT_GT(ScreenPixels(OnScreen(box, {14, 39, 63, 47})).Count(IsWhite), 30) << "a credits line";
        EXPECT_GT(ScreenPixels(OnScreen(box, {49, 18, 113, 26})).Count(IsWhite), 30) << "the title";
        const RECT web = ScreenRectOf(about.webLink.GetSafeHwnd()), mail = ScreenRectOf(about.mailLink.GetSafeHwnd());
        for (const RECT& link : {web, mail}) {
            EXPECT_GT(ScreenPixels(link).Count(IsYellow), 100);
            EXPECT_EQ(ScreenPixels(link).Count(IsWhite), 0);
        }

        // The picture button lies over the picture and shows the picture's own pixels.
        fw::UniqueBitmap picture(static_cast<HBITMAP>(LoadImageW(
            GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_ABOUT), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        ASSERT_TRUE(picture);
        BITMAP size{};
        GetObjectW(picture.get(), sizeof size, &size);
        const RECT button = ScreenRectOf(about.pictureButton.GetSafeHwnd());
        const ScreenPixels shown(RECT{button.left, button.top, button.left + size.bmWidth, button.top + size.bmHeight});
        fw::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
        fw::ScopedSelect select(dc.get(), picture.get());
        int same = 0;
        for (int y = 0; y < size.bmHeight; ++y)
            for (int x = 0; x < size.bmWidth; ++x) same += Near(shown.At(x, y), GetPixel(dc.get(), x, y), 8) ? 1 : 0;
        EXPECT_GT(same, size.bmWidth * size.bmHeight * 95 / 100);

        // The links and the picture open their addresses; the box stays.
        ClickAt(CentreOf(web));
        ASSERT_TRUE(PumpUntil([&] { return platform.CountOf("ShellExecute") == 1; }));
        EXPECT_EQ(platform.calls.back().text[1], TARVISK_WEB_URL);
        Settle();
        EXPECT_GT(ScreenPixels(web).Count(IsVisited), 50) << "the web link shows visited";
        EXPECT_EQ(ScreenPixels(mail).Count(IsVisited), 0);
        ClickAt(CentreOf(mail));
        ASSERT_TRUE(PumpUntil([&] { return platform.CountOf("ShellExecute") == 2; }));
        EXPECT_EQ(platform.calls.back().text[1], TARVISK_MAIL_URL);
        ClickAt(CentreOf(button));
        ASSERT_TRUE(PumpUntil([&] { return platform.CountOf("ShellExecuteEx") == 1; }));
        EXPECT_EQ(platform.calls.back().text, (std::vector<std::string>{"open", TARVISK_WEB_URL}));
        EXPECT_TRUE(about.IsRunningModal() && IsWindowVisible(box)) << "opening a link does not close the box";
        PressKey(VK_ESCAPE);
    });
    EXPECT_EQ(result, IDCANCEL);
}

// The picture control of the template loads its bitmap with each box; the bitmap goes with the box (Wine's picture
// controls would keep theirs for the life of the process).
TEST_F(AboutBoxTest, ItsPictureGoesWithTheBox) {
    AboutDialog about;
    HGDIOBJ picture = nullptr;
    RunAbout(about, [&](HWND box) {
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP)
                picture = reinterpret_cast<HGDIOBJ>(SendMessageW(child, STM_GETIMAGE, IMAGE_BITMAP, 0));
        PressKey(VK_ESCAPE);
    });
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(GetObjectType(picture), 0u);
}

// The tooltip hears the pointer only through the box's own message loop, so the test waits inside that loop: a
// thread timer looks for the tip while the box runs, then closes the box.
struct TipWatch {
    static inline std::wstring seen;
    static inline HCURSOR cursor = nullptr;
    static inline HWND box = nullptr;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD) {
        HWND tip = FindWindowW(TOOLTIPS_CLASSW, nullptr);
        while (tip && !IsWindowVisible(tip)) tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr);
        if (!tip) return;
        seen = TextOf(tip);
        cursor = GetCursor();
        KillTimer(nullptr, timer);
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
};

TEST_F(AboutBoxTest, RestingOnALinkShowsItsTargetWithThePointingHand) {
    AboutDialog about;
    UINT_PTR timer = 0;
    RunAbout(about, [&](HWND box) {
        const RECT rect = ScreenRectOf(about.webLink.GetSafeHwnd());
        MoveTo({rect.left + 5, rect.top + 4});
        MoveTo({rect.left + 6, rect.top + 5});
        TipWatch::box = box;
        timer = SetTimer(nullptr, 0, 50, &TipWatch::Tick);
    });
    KillTimer(nullptr, timer);
    EXPECT_EQ(TipWatch::seen, L"" TARVISK_WEB_URL);
    EXPECT_EQ(TipWatch::cursor, Hand());
    MoveTo({0, 0});
}

// --- From the main window ------------------------------------------------------------------------------------

class MainLinksTest : public MainWindowTest {};

TEST_F(MainLinksTest, AboutCommandOpensTheBoxOverTheDisabledMainWindow) {
    Open();
    ShowWindow(hwnd, SW_SHOW);
    bool mainDisabled = false;
    POINT boxCentre{}, mainCentre{};
    WindowDriver driver(FindAbout, [&](HWND box) {
        mainDisabled = !IsWindowEnabled(hwnd);
        boxCentre = CentreOf(ScreenRectOf(box));
        mainCentre = CentreOf(ScreenRectOf(hwnd));
        SetForegroundWindow(box);
        PressKey(VK_ESCAPE);
    });
    Command(IDC_ABOUTBTN);
    EXPECT_TRUE(driver.Ran());
    EXPECT_TRUE(mainDisabled);
    EXPECT_LE(std::abs(boxCentre.x - mainCentre.x), 1);
    EXPECT_LE(std::abs(boxCentre.y - mainCentre.y), 1);
    EXPECT_EQ(FindAbout(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(hwnd));
}

TEST_F(MainLinksTest, BothLinksShowTheirWholeAddressAndOpenIt) {
    Open();
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    Settle();
    const struct {
        LinkLabel& link;
        const char* text;
        const char* target;
    } rows[] = {
        {window->mailLink, "Email: " TARVISK_MAIL_ADDRESS, TARVISK_MAIL_URL},
        {window->webLink, TARVISK_WEB_URL, TARVISK_WEB_URL},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.target);
        EXPECT_EQ(row.link.GetWindowText(), row.text);
        EXPECT_EQ(row.link.Target(), row.target);
        EXPECT_EQ(row.link.pointerCursor, Hand());
        const RECT rect = ScreenRectOf(row.link.GetSafeHwnd());
        const RECT ink = ScreenPixels(rect).BoxOf(IsYellow);
        EXPECT_GE(ink.right, rect.right - rect.left - 6) << "the address is not wrapped out of sight";

        platform.Clear();
        ClickAt(CentreOf(rect));
        ASSERT_TRUE(PumpUntil([&] { return platform.CountOf("ShellExecute") == 1; }));
        EXPECT_EQ(platform.calls.back().text[1], row.target);
        EXPECT_TRUE(row.link.isVisited);
    }
}

}  // namespace
