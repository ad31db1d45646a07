// The flat icon button on a real dialog: its drawing read back pixel by pixel from a memory DC, the hover machine
// driven with real pointer positions, the setters' results, the click and the default-button style.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "controls/IconButton.h"
#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "resources/resource.h"
#include "tests/support/PixelCanvas.h"
#include "tests/support/RecordingPlatform.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kNormalBack = RGB(0, 0, 160);
constexpr COLORREF kHotBack = RGB(0, 128, 128);
constexpr COLORREF kFocusBack = RGB(128, 0, 128);
constexpr COLORREF kNormalText = RGB(250, 240, 230);  // unlike any system colour
constexpr COLORREF kHotText = RGB(255, 255, 0);
constexpr COLORREF kDialogBlue = RGB(0, 0, 128);

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// A solid square icon made in memory, so the drawing tests do not depend on the program's art.
HICON SolidIcon(int size, COLORREF colour) {
    fw::ClientDc screen(nullptr);
    fw::UniqueBitmap image(CreateCompatibleBitmap(screen.get(), size, size));
    fw::UniqueBitmap mask(CreateBitmap(size, size, 1, 1, nullptr));
    {
        fw::UniqueMemoryDc dc(CreateCompatibleDC(screen.get()));
        const RECT all{0, 0, size, size};
        {
            fw::ScopedSelect select(dc.get(), image.get());
            fw::UniqueBrush brush(CreateSolidBrush(colour));
            FillRect(dc.get(), &all, brush.get());
        }
        fw::ScopedSelect select(dc.get(), mask.get());
        FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));  // opaque everywhere
    }
    ICONINFO info{TRUE, 0, 0, mask.get(), image.get()};
    return CreateIconIndirect(&info);
}

using Canvas = testing_support::PixelCanvas;

// A modeless dialog from the hotkey dialog's template that records the commands it receives.
class HostDialog : public fw::Dialog {
public:
    HostDialog() : fw::Dialog(IDD_HOTKEY) {}
    std::vector<std::pair<UINT, UINT>> commands;  // (id, code)

    int ClicksFrom(UINT id) const {
        int count = 0;
        for (const auto& [from, code] : commands) count += from == id && code == BN_CLICKED;
        return count;
    }

protected:
    bool OnCommand(UINT id, UINT code, HWND) override {
        commands.emplace_back(id, code);
        return true;
    }
};

class IconButtonTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { fw::SetDialogColours(kDialogBlue, RGB(255, 255, 255)); }

    void SetUp() override {
        ASSERT_TRUE(host.Create());
        okHwnd = host.GetDlgItem(IDOK);
        cancelHwnd = host.GetDlgItem(IDCANCEL);
        ASSERT_TRUE(button.SubclassDlgItem(IDOK, &host));
        SetWindowTextW(okHwnd, L"");
    }

    void Show() {
        host.ShowWindow(SW_SHOW);
        SetForegroundWindow(host.GetSafeHwnd());
        SetActiveWindow(host.GetSafeHwnd());
        UpdateWindow(host.GetSafeHwnd());
        Pump();
    }

    void Resize(int width, int height) {
        SetWindowPos(okHwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // The pointer placed at `screen`, then the move message the button would receive for it.
    void MoveTo(POINT screen, UINT flags) {
        SetCursorPos(screen.x, screen.y);
        ScreenToClient(okHwnd, &screen);
        SendMessageW(okHwnd, WM_MOUSEMOVE, flags, MAKELPARAM(screen.x, screen.y));
    }
    void MoveOver(UINT flags = 0) {
        RECT window{};
        GetWindowRect(okHwnd, &window);
        MoveTo({(window.left + window.right) / 2, (window.top + window.bottom) / 2}, flags);
    }
    void MoveAway() {  // onto the dialog, well away from the button
        RECT window{};
        GetWindowRect(host.GetSafeHwnd(), &window);
        MoveTo({window.right - 4, window.bottom - 4}, 0);
    }

    void Draw(Canvas& canvas, int width, int height, UINT state) {
        DRAWITEMSTRUCT item{ODT_BUTTON, IDOK, 0, ODA_DRAWENTIRE, state, okHwnd, canvas.dc(), {0, 0, width, height}, 0};
        ASSERT_TRUE(button.DrawItem(&item));
    }

    HFONT Font() const { return reinterpret_cast<HFONT>(SendMessageW(okHwnd, WM_GETFONT, 0, 0)); }

    void UseTestColours() {
        const std::pair<BYTE, COLORREF> slots[] = {
            {IconButton::NormalBack, kNormalBack}, {IconButton::HotBack, kHotBack},
            {IconButton::FocusBack, kFocusBack},   {IconButton::NormalText, kNormalText},
            {IconButton::HotText, kHotText},
        };
        for (const auto& [slot, colour] : slots) button.SetSlotColour(slot, colour, FALSE);
    }

    HostDialog host;
    IconButton button;
    HWND okHwnd = nullptr;
    HWND cancelHwnd = nullptr;
};

// --- Drawing ---------------------------------------------------------------------------------------------------

TEST_F(IconButtonTest, IconSitsWhereTheWorkedExampleSays) {
    struct Row {
        const wchar_t* caption;
        UINT state;
        POINT topLeft;
    };
    const Row rows[] = {
        {L"", 0, {2, 0}},              // centred both ways
        {L"", ODS_SELECTED, {3, 1}},   // pressed: one pixel right and down
        {L" ", 0, {3, 0}},             // any caption, even a blank, puts the icon at the left
        {L" ", ODS_SELECTED, {4, 1}},
    };
    ASSERT_EQ(button.AssignIcons(SolidIcon(32, kRed), nullptr), IconButton::IconButtonOk);
    EXPECT_EQ(button.HotIconSize().cx, 32);
    EXPECT_EQ(button.HotIconSize().cy, 32);
    UseTestColours();
    Resize(36, 33);
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "caption '" << (row.caption[0] ? "blank" : "") << "' state " << row.state);
        SetWindowTextW(okHwnd, row.caption);
        Canvas canvas(36, 33, Font());
        Draw(canvas, 36, 33, row.state);
        const RECT icon = canvas.BoxOf(kRed);
        EXPECT_EQ(icon.left, row.topLeft.x);
        EXPECT_EQ(icon.top, row.topLeft.y);
        EXPECT_EQ(icon.right - icon.left, std::min<LONG>(32, 36 - row.topLeft.x));
        EXPECT_EQ(icon.bottom - icon.top, std::min<LONG>(32, 33 - row.topLeft.y));
    }
}

TEST_F(IconButtonTest, CaptionIsCentredRightOfTheIconAndFollowsThePress) {
    ASSERT_EQ(button.AssignIcons(SolidIcon(32, kRed), nullptr), IconButton::IconButtonOk);
    UseTestColours();
    SetWindowTextW(okHwnd, L"OK");
    const int width = 120, height = 33;
    Resize(width, height);
    Canvas rest(width, height, Font()), pressed(width, height, Font());
    Draw(rest, width, height, 0);
    Draw(pressed, width, height, ODS_SELECTED);

    const RECT text = rest.BoxOf(kNormalText);
    ASSERT_FALSE(IsRectEmpty(&text));
    // The caption area starts at 3 + 32 + 3 = 38 - 3 (the icon's own left margin is not in it): x = 35.
    const int leftGap = text.left - 35, rightGap = width - text.right;
    EXPECT_GE(leftGap, 0);
    EXPECT_LE(std::abs(leftGap - rightGap), 2) << "left " << leftGap << " right " << rightGap;
    const int topGap = text.top, bottomGap = height - text.bottom;
    EXPECT_GT(topGap, 0);
    EXPECT_GT(bottomGap, 0);

    const RECT moved = pressed.BoxOf(kHotText);  // pressed counts as hot
    EXPECT_EQ(moved.left, text.left + 1);
    EXPECT_EQ(moved.top, text.top + 1);
    EXPECT_EQ(pressed.BoxOf(kRed).left, 4);
}

// The mini-window button's caption is blanks and a mnemonic; its word does not fit beside the icon, so nothing of
// it may show (it once left a stray underlined "m" over the icon), while a caption that fits is still drawn.
TEST_F(IconButtonTest, CaptionTooWideForTheRoomBesideTheIconIsNotDrawn) {
    ASSERT_EQ(button.AssignIcons(SolidIcon(32, kRed), nullptr), IconButton::IconButtonOk);
    UseTestColours();
    const int width = 45, height = 43;
    Resize(width, height);
    for (const UINT state : {0u, static_cast<UINT>(ODS_SELECTED)}) {
        SCOPED_TRACE(testing::Message() << "state " << state);
        SetWindowTextW(okHwnd, L"                            (&m)");
        Canvas canvas(width, height, Font());
        Draw(canvas, width, height, state);
        EXPECT_FALSE(canvas.Has(kNormalText));
        EXPECT_FALSE(canvas.Has(kHotText));
    }
    SetWindowTextW(okHwnd, L"OK");
    Canvas wide(120, height, Font());
    Resize(120, height);
    Draw(wide, 120, height, 0);
    EXPECT_TRUE(wide.Has(kNormalText));
}

TEST_F(IconButtonTest, BorderBackgroundIconAndTextFollowTheState) {
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), dark = GetSysColor(COLOR_BTNSHADOW);
    ASSERT_NE(light, dark);
    struct Row {
        const char* name;
        bool hover;
        UINT state;
        COLORREF topLeft, bottomRight;  // edge colours: the background's for no border
        COLORREF back, icon, text;
    };
    const Row rows[] = {
        {"rest", false, 0, kNormalBack, kNormalBack, kNormalBack, kGreen, kNormalText},
        {"focused", false, ODS_FOCUS, kFocusBack, kFocusBack, kFocusBack, kGreen, kNormalText},
        {"hover: raised", true, 0, light, dark, kHotBack, kRed, kHotText},
        {"hover and focused", true, ODS_FOCUS, light, dark, kHotBack, kRed, kHotText},
        {"pressed: sunken", false, ODS_SELECTED, dark, light, kHotBack, kRed, kHotText},
        {"pressed under the pointer", true, ODS_SELECTED | ODS_FOCUS, dark, light, kHotBack, kRed, kHotText},
    };
    ASSERT_EQ(button.AssignIcons(SolidIcon(16, kRed), SolidIcon(16, kGreen)), IconButton::IconButtonOk);
    UseTestColours();
    SetWindowTextW(okHwnd, L"W");
    const int width = 80, height = 30;
    Resize(width, height);
    Show();

    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.hover)
            MoveOver();
        else
            MoveAway();
        ASSERT_EQ(button.IsHover() != FALSE, row.hover);
        Canvas canvas(width, height, Font());
        Draw(canvas, width, height, row.state);

        for (const POINT p : {POINT{0, 0}, POINT{width / 2, 0}, POINT{0, height / 2}})
            EXPECT_EQ(canvas.At(p.x, p.y), row.topLeft) << p.x << "," << p.y;
        for (const POINT p : {POINT{width - 1, 0}, POINT{width - 1, height / 2}, POINT{width / 2, height - 1}})
            EXPECT_EQ(canvas.At(p.x, p.y), row.bottomRight) << p.x << "," << p.y;
        EXPECT_EQ(canvas.At(1, 1), row.back);
        EXPECT_TRUE(canvas.Has(row.icon));
        EXPECT_FALSE(canvas.Has(row.icon == kRed ? kGreen : kRed));
        EXPECT_TRUE(canvas.Has(row.text));
    }
}

TEST_F(IconButtonTest, DisabledLooksEmbossedWhateverTheSlotsSay) {
    ASSERT_EQ(button.AssignIcons(SolidIcon(16, kRed), nullptr), IconButton::IconButtonOk);
    UseTestColours();
    SetWindowTextW(okHwnd, L"MW");
    Resize(90, 30);
    Canvas canvas(90, 30, Font());
    Draw(canvas, 90, 30, ODS_DISABLED);

    EXPECT_FALSE(canvas.Has(kRed)) << "the icon is drawn in the platform's disabled rendering";
    const RECT icon{3, 7, 19, 23};
    bool iconDrawn = false;
    for (int y = icon.top; y < icon.bottom; ++y)
        for (int x = icon.left; x < icon.right; ++x) iconDrawn |= canvas.At(x, y) != kNormalBack;
    EXPECT_TRUE(iconDrawn);

    EXPECT_FALSE(canvas.Has(kNormalText));
    EXPECT_FALSE(canvas.Has(kHotText));
    const RECT light = canvas.BoxOf(GetSysColor(COLOR_BTNHIGHLIGHT));
    const RECT dark = canvas.BoxOf(GetSysColor(COLOR_BTNSHADOW));
    ASSERT_FALSE(IsRectEmpty(&light));
    ASSERT_FALSE(IsRectEmpty(&dark));
    EXPECT_EQ(light.right, dark.right + 1) << "the highlight copy lies one pixel right of the text";
    EXPECT_EQ(light.bottom, dark.bottom + 1) << "and one pixel below it";
}

TEST_F(IconButtonTest, ParentBackgroundIsCapturedOnceAndDroppedOnColourChange) {
    button.UseParentBackground(FALSE);
    EXPECT_TRUE(button.IsTransparent());
    EXPECT_FALSE(button.HasBackgroundCache());
    Resize(40, 30);
    Show();  // the dialog paints its blue, then the button's first paint captures it
    EXPECT_TRUE(button.HasBackgroundCache());

    Canvas canvas(40, 30, Font());
    Draw(canvas, 40, 30, 0);
    EXPECT_EQ(canvas.At(20, 15), kDialogBlue);
    EXPECT_EQ(canvas.At(0, 0), kDialogBlue);

    SendMessageW(okHwnd, WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_FALSE(button.HasBackgroundCache());
    button.UseParentBackground(TRUE);
    EXPECT_FALSE(button.HasBackgroundCache());
}

// --- Hover machine -------------------------------------------------------------------------------------------

TEST_F(IconButtonTest, HoverStartsOnEnterAndEndsOnLeave) {
    Resize(40, 30);
    Show();
    MoveOver();
    EXPECT_TRUE(button.IsHover());
    TRACKMOUSEEVENT query{sizeof query, TME_QUERY, nullptr, 0};
    ASSERT_TRUE(_TrackMouseEvent(&query));
    EXPECT_EQ(query.hwndTrack, okHwnd);
    EXPECT_TRUE(query.dwFlags & TME_LEAVE) << "a leave notification is requested";

    // Repainted once on entering, not on every move.
    RECT update{};
    EXPECT_TRUE(GetUpdateRect(okHwnd, &update, FALSE));
    ValidateRect(okHwnd, nullptr);
    MoveOver();
    EXPECT_FALSE(GetUpdateRect(okHwnd, &update, FALSE));

    SendMessageW(okHwnd, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(button.IsHover());
    EXPECT_TRUE(GetUpdateRect(okHwnd, &update, FALSE));
}

TEST_F(IconButtonTest, LeavingForRealEndsHover) {
    Resize(40, 30);
    Show();
    MoveOver();
    ASSERT_TRUE(button.IsHover());
    RECT window{};
    GetWindowRect(host.GetSafeHwnd(), &window);
    SetCursorPos(window.right + 50, window.bottom + 50);
    // The leave notification comes from the system some time after the pointer left.
    for (int i = 0; i < 300 && button.IsHover(); ++i) {
        Pump();
        Sleep(10);
    }
    EXPECT_FALSE(button.IsHover());
}

TEST_F(IconButtonTest, HoverIsNotLitFromADragOrWithoutAnActiveWindow) {
    Resize(40, 30);
    Show();

    MoveOver(MK_LBUTTON);
    EXPECT_FALSE(button.IsHover()) << "pressing elsewhere and dragging in";
    MoveOver();
    ASSERT_TRUE(button.IsHover());
    MoveOver(MK_LBUTTON);
    EXPECT_TRUE(button.IsHover()) << "holding the button down while already over it";

    MoveAway();
    EXPECT_FALSE(button.IsHover()) << "another window under the pointer";

    // Another thread's window becomes the active one: this thread has no active window any more.
    std::atomic<bool> ready = false;
    std::atomic<DWORD> otherThread = 0;
    std::thread activator([&] {
        otherThread = GetCurrentThreadId();
        HWND other = nullptr;
        other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                nullptr, nullptr);
        SetForegroundWindow(other);
        SetActiveWindow(other);
        ready = true;
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
        DestroyWindow(other);
    });
    for (int i = 0; i < 200 && (!ready || GetActiveWindow()); ++i) {
        Pump();
        Sleep(10);
    }
    EXPECT_EQ(GetActiveWindow(), nullptr);
    MoveOver();
    EXPECT_FALSE(button.IsHover()) << "none of the thread's windows is active";
    PostThreadMessageW(otherThread, WM_QUIT, 0, 0);
    activator.join();
}

TEST_F(IconButtonTest, HoverEndsOnFocusLossCancelModeAndDisabling) {
    Resize(40, 30);
    Show();
    const std::pair<const char*, std::function<void()>> endings[] = {
        {"kill focus", [&] { SendMessageW(okHwnd, WM_KILLFOCUS, 0, 0); }},
        {"cancel mode", [&] { SendMessageW(okHwnd, WM_CANCELMODE, 0, 0); }},
        {"disabled", [&] { EnableWindow(okHwnd, FALSE); }},
    };
    for (const auto& [name, end] : endings) {
        SCOPED_TRACE(name);
        EnableWindow(okHwnd, TRUE);
        SetFocus(okHwnd);
        MoveOver();
        ASSERT_TRUE(button.IsHover());
        end();
        EXPECT_FALSE(button.IsHover());
    }
    EXPECT_EQ(GetFocus(), cancelHwnd) << "disabling hands the focus to the next tab stop";
}

// --- Setters -------------------------------------------------------------------------------------------------

TEST_F(IconButtonTest, SettersReportTheirResults) {
    // Colour slots: six of them; anything past them is refused and changes nothing.
    EXPECT_EQ(button.SlotColour(IconButton::HotBack), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(button.SlotColour(IconButton::FocusText), GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(button.SetSlotColour(6, kRed), IconButton::IconButtonInvalidIndex);
    EXPECT_EQ(button.SetSlotColour(255, kRed), IconButton::IconButtonInvalidIndex);
    for (BYTE slot = 0; slot < IconButton::kSlotCount; ++slot) EXPECT_NE(button.SlotColour(slot), kRed);
    EXPECT_EQ(button.SetSlotColour(IconButton::FocusText, kRed), IconButton::IconButtonOk);
    EXPECT_EQ(button.SlotColour(IconButton::FocusText), kRed);
    EXPECT_EQ(button.ResetColours(), IconButton::IconButtonOk);
    EXPECT_EQ(button.SlotColour(IconButton::FocusText), GetSysColor(COLOR_BTNTEXT));

    // The address always ends in a zero byte inside its 260.
    struct UrlRow {
        std::size_t length;
        std::size_t kept;
    };
    for (const UrlRow row : {UrlRow{0, 0}, UrlRow{258, 258}, UrlRow{259, 259}, UrlRow{260, 259}, UrlRow{400, 259}}) {
        const std::string url(row.length, 'u');
        EXPECT_EQ(button.SetLinkAddress(url.c_str()), IconButton::IconButtonOk);
        EXPECT_EQ(button.LinkAddress(), url.substr(0, row.kept));
    }
    button.SetLinkAddress("http://a.example/long/enough");
    button.SetLinkAddress("http://b");
    EXPECT_EQ(button.LinkAddress(), "http://b") << "no tail of the longer address is left";
    button.SetLinkAddress(nullptr);
    EXPECT_EQ(button.LinkAddress(), "");

    // Cursor: 0 means none; an id that does not load is a resource error and leaves none.
    EXPECT_EQ(button.SetHoverCursor(0), IconButton::IconButtonOk);
    EXPECT_EQ(button.HoverCursor(), nullptr);
    EXPECT_EQ(button.SetHoverCursor(4321), IconButton::IconButtonInvalidResource);
    EXPECT_EQ(button.HoverCursor(), nullptr);
    if (FindResourceW(nullptr, MAKEINTRESOURCEW(IDC_HAND_POINT), RT_GROUP_CURSOR)) {
        EXPECT_EQ(button.SetHoverCursor(IDC_HAND_POINT), IconButton::IconButtonOk);
        ASSERT_NE(button.HoverCursor(), nullptr);
        const WPARAM self = reinterpret_cast<WPARAM>(okHwnd);
        EXPECT_TRUE(SendMessageW(okHwnd, WM_SETCURSOR, self, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
        EXPECT_EQ(GetCursor(), button.HoverCursor());
    }
}

TEST_F(IconButtonTest, IconsAreOwnedAndABadOneLeavesNone) {
    HICON red = SolidIcon(32, kRed), green = SolidIcon(24, kGreen);
    ASSERT_EQ(button.AssignIcons(red, green), IconButton::IconButtonOk);
    EXPECT_EQ(button.HotIcon(), red);
    EXPECT_EQ(button.NormalIcon(), green);

    // Replacing them destroys the old ones.
    HICON other = SolidIcon(16, kRed);
    ASSERT_EQ(button.AssignIcons(other, nullptr), IconButton::IconButtonOk);
    ICONINFO info{};
    EXPECT_FALSE(GetIconInfo(red, &info));
    EXPECT_FALSE(GetIconInfo(green, &info));
    EXPECT_EQ(button.HotIconSize().cx, 16);

    // No hot icon: no icon at all, even with a normal one.
    HICON lone = SolidIcon(16, kGreen);
    EXPECT_EQ(button.AssignIcons(nullptr, lone), IconButton::IconButtonOk);
    EXPECT_EQ(button.HotIcon(), nullptr);
    EXPECT_EQ(button.NormalIcon(), nullptr);

    // A handle that is not an icon: a resource error, and whatever was given is dropped.
    HICON good = SolidIcon(16, kGreen);
    EXPECT_EQ(button.AssignIcons(good, reinterpret_cast<HICON>(static_cast<INT_PTR>(0x7FFF1234))),
              IconButton::IconButtonInvalidResource);
    EXPECT_EQ(button.HotIcon(), nullptr);
    EXPECT_EQ(button.NormalIcon(), nullptr);
    EXPECT_FALSE(GetIconInfo(good, &info));

    // Ids that do not load mean no icon, not an error.
    EXPECT_EQ(button.AssignIcons(4321u, 4322u), IconButton::IconButtonOk);
    EXPECT_EQ(button.HotIcon(), nullptr);
}

TEST_F(IconButtonTest, TooltipIsMadeOnFirstNeedWithOneTool) {
    button.SetTipText(nullptr);
    EXPECT_FALSE(button.Tooltip());

    MSG message{okHwnd, WM_MOUSEMOVE, 0, 0, 0, {}};
    button.PreTranslateMessage(&message);
    ASSERT_TRUE(button.Tooltip());
    EXPECT_EQ(button.Tooltip().GetToolCount(), 0) << "a tooltip window without tools until a text is set";

    button.SetTipText("关于");
    button.SetTipText("退出");
    EXPECT_EQ(button.Tooltip().GetToolCount(), 1);
    EXPECT_EQ(button.Tooltip().GetText(okHwnd, 1), "退出");
    EXPECT_EQ(GetWindow(button.Tooltip().GetSafeHwnd(), GW_OWNER), host.GetSafeHwnd());
}

// Mouse messages reach the tooltip through the button's relay only: a tooltip that also subclassed the button
// heard each of them twice, and heard them in loops that relay nothing (a message box's, a menu's).
TEST_F(IconButtonTest, TooltipHearsThePointerThroughTheRelayOnlyAndGoesWithItsOwner) {
    button.SetTipText("退出");
    HWND tip = button.Tooltip().GetSafeHwnd();
    ASSERT_NE(tip, nullptr);
    SendMessageW(tip, TTM_SETDELAYTIME, TTDT_INITIAL, 10);
    Show();
    RECT window{};
    GetWindowRect(okHwnd, &window);
    SetCursorPos((window.left + window.right) / 2, (window.top + window.bottom) / 2);
    const auto settle = [] {
        const ULONGLONG end = GetTickCount64() + 300;
        while (GetTickCount64() < end) {
            Pump();
            Sleep(10);
        }
    };

    MSG message{okHwnd, WM_MOUSEMOVE, 0, MAKELPARAM(4, 4), 0, {}};
    DispatchMessageW(&message);  // dispatched without the relay
    settle();
    EXPECT_FALSE(IsWindowVisible(tip));

    button.PreTranslateMessage(&message);  // what the dialog's loop does: relay, then dispatch
    DispatchMessageW(&message);
    settle();
    EXPECT_TRUE(IsWindowVisible(tip));

    // The tooltip is owned by the dialog, so the system destroys it with the dialog, before the button's object.
    DestroyWindow(host.GetSafeHwnd());
    EXPECT_FALSE(IsWindow(tip));
    EXPECT_EQ(button.Tooltip().GetSafeHwnd(), nullptr) << "the dead handle must not be kept (and destroyed later)";
}

// --- Click and default style -----------------------------------------------------------------------------------

TEST_F(IconButtonTest, ClickOpensTheAddressAndStillNotifiesTheParent) {
    testing_support::RecordingPlatform platform;
    testing_support::PlatformScope scope(platform);
    Show();

    SendMessageW(okHwnd, BM_CLICK, 0, 0);
    EXPECT_EQ(host.ClicksFrom(IDOK), 1);
    EXPECT_EQ(platform.CountOf("ShellExecuteEx"), 0) << "no address, nothing opened";

    button.SetLinkAddress("http://www.example.org/");
    SendMessageW(okHwnd, BM_CLICK, 0, 0);
    EXPECT_EQ(host.ClicksFrom(IDOK), 2);
    const auto opened = platform.CallsNamed("ShellExecuteEx");
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].text, (std::vector<std::string>{"open", "http://www.example.org/"}));
    EXPECT_EQ(opened[0].numbers, (std::vector<long long>{SEE_MASK_FLAG_NO_UI, SW_SHOWMAXIMIZED}));
}

TEST_F(IconButtonTest, DoubleClickPressesTwice) {
    Resize(40, 30);
    Show();
    const LPARAM inside = MAKELPARAM(10, 10);
    SendMessageW(okHwnd, WM_LBUTTONDOWN, MK_LBUTTON, inside);
    SendMessageW(okHwnd, WM_LBUTTONUP, 0, inside);
    SendMessageW(okHwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, inside);
    EXPECT_TRUE(SendMessageW(okHwnd, BM_GETSTATE, 0, 0) & BST_PUSHED);
    SendMessageW(okHwnd, WM_LBUTTONUP, 0, inside);
    EXPECT_EQ(host.ClicksFrom(IDOK), 2);
}

TEST_F(IconButtonTest, StaysOwnerDrawnWhileTheDefaultMoves) {
    IconButton cancel;
    ASSERT_TRUE(cancel.SubclassDlgItem(IDCANCEL, &host));
    auto type = [](HWND hwnd) { return GetWindowLongPtrW(hwnd, GWL_STYLE) & 0x1F; };
    auto dlgCode = [](HWND hwnd) { return SendMessageW(hwnd, WM_GETDLGCODE, 0, 0); };

    EXPECT_TRUE(button.IsDefault()) << "the template's default push button";
    EXPECT_FALSE(cancel.IsDefault());
    EXPECT_EQ(type(okHwnd), BS_OWNERDRAW);
    EXPECT_EQ(type(cancelHwnd), BS_OWNERDRAW);
    EXPECT_TRUE(dlgCode(okHwnd) & DLGC_DEFPUSHBUTTON);
    EXPECT_TRUE(dlgCode(cancelHwnd) & DLGC_UNDEFPUSHBUTTON);

    // The dialog manager moves the default look with BM_SETSTYLE.
    Show();
    SendMessageW(host.GetSafeHwnd(), DM_SETDEFID, IDCANCEL, 0);
    SetFocus(cancelHwnd);
    Pump();
    EXPECT_TRUE(cancel.IsDefault());
    EXPECT_FALSE(button.IsDefault());
    EXPECT_EQ(type(okHwnd), BS_OWNERDRAW);
    EXPECT_EQ(type(cancelHwnd), BS_OWNERDRAW);
    EXPECT_TRUE(dlgCode(cancelHwnd) & DLGC_DEFPUSHBUTTON);
    EXPECT_TRUE(dlgCode(okHwnd) & DLGC_UNDEFPUSHBUTTON);
}

}  // namespace
