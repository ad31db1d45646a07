// The icon menu measured and painted: owner-draw requests sent to a real framework window (which hands them to the
// menu), painted into a memory DC and read back pixel by pixel in both looks; then the real popups on the screen,
// driven with the keyboard, and opened and closed a thousand times with the process's object counts watched.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <algorithm>
#include <functional>
#include <tuple>
#include <vector>

#include "core/ColourMix.h"
#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "menu/GlyphMenu.h"
#include "resources/resource.h"
#include "tests/support/PixelCanvas.h"
#include "tests/support/ScreenKit.h"
#include "tests/support/UiObjectCounts.h"

namespace {

using testing_support::PixelCanvas;

constexpr COLORREF kMagenta = RGB(255, 0, 255);  // the canvas: shows what a paint left untouched
constexpr int kItemWidth = 160;

COLORREF Sys(int index) { return GetSysColor(index); }

// The owner window: counts the owner-draw requests it passes on, and runs `onIdle` with the menu window whenever an
// open menu waits for input.
class HostDialog : public fw::Dialog {
public:
    HostDialog() : fw::Dialog(IDD_HOTKEY) {}
    int measured = 0;
    int drawn = 0;
    std::function<void(HWND)> onIdle;

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT&) override {
        measured += message == WM_MEASUREITEM;
        drawn += message == WM_DRAWITEM;
        if (message == WM_ENTERIDLE && wParam == MSGF_MENU && onIdle) onIdle(reinterpret_cast<HWND>(lParam));
        return false;
    }
};

// The colours of the flat look away from a themed Windows XP.
struct FlatColours {
    COLORREF face = core::TintTowardWhite(Sys(COLOR_BTNFACE), 0.25);
    COLORREF window = core::ShadeTowardBlack(Sys(COLOR_WINDOW), 0.02);
    COLORREF highlight = Sys(COLOR_HIGHLIGHT);
    COLORREF selection = core::TintTowardWhite(Sys(COLOR_HIGHLIGHT), 0.85);
};

class MenuDrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        GlyphMenu::platformClass = PlatformNtOther;
        GlyphMenu::drawModeOther = 1;
        ASSERT_TRUE(host.Create());
        ASSERT_TRUE(tray.LoadFromResource(IDR_TRAYMENU));
        ASSERT_TRUE(tray.LoadToolbarImages(IDR_TOOLBAR));
        popup = dynamic_cast<GlyphMenu*>(tray.GetSubMenu(0));
        ASSERT_NE(popup, nullptr);
    }
    void TearDown() override {
        DestroyWindow(host.GetSafeHwnd());
        GlyphMenu::platformClass = savedPlatform;
        GlyphMenu::drawModeOther = savedOther;
    }

    // Asks the host window to draw item `position` of `menu` at `rect` of the canvas, as Windows would.
    void Draw(PixelCanvas& canvas, GlyphMenu& menu, int position, UINT state, const RECT& rect) {
        canvas.Fill(kMagenta);
        DRAWITEMSTRUCT draw{ODT_MENU, 0, menu.GetMenuItemID(position), ODA_DRAWENTIRE, state,
                            reinterpret_cast<HWND>(menu.GetSafeHmenu()), canvas.dc(), rect,
                            reinterpret_cast<ULONG_PTR>(menu.Items()[position].get())};
        ASSERT_EQ(SendMessageW(host.GetSafeHwnd(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)), TRUE);
    }

    UINT MeasuredHeight(GlyphMenu& menu, int position, UINT* width = nullptr) {
        MEASUREITEMSTRUCT measure{ODT_MENU, 0, menu.GetMenuItemID(position), 0, 0,
                                  reinterpret_cast<ULONG_PTR>(menu.Items()[position].get())};
        EXPECT_EQ(SendMessageW(host.GetSafeHwnd(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)), TRUE);
        if (width) *width = measure.itemWidth;
        return measure.itemHeight;
    }

    int Slot(int position) const { return popup->Items()[position]->imageSlot; }

    HostDialog host;
    GlyphMenu tray;
    GlyphMenu* popup = nullptr;
    fw::UniqueFont font = fw::CreateMenuFont();
    PlatformClass savedPlatform = GlyphMenu::platformClass;
    int savedOther = GlyphMenu::drawModeOther;
};

using Pixels = std::vector<COLORREF>;

Pixels Area(const PixelCanvas& canvas, int left, int top, int width, int height) {
    Pixels pixels;
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x) pixels.push_back(canvas.At(x, y));
    return pixels;
}

// What an icon area should show: pictures of the shared list drawn on `background`, each at its offset.
Pixels Composed(int width, int height, COLORREF background, const std::vector<std::tuple<int, int, int>>& slotsAt) {
    PixelCanvas canvas(width, height);
    canvas.Fill(background);
    for (const auto& [slot, x, y] : slotsAt)
        ImageList_Draw(GlyphMenu::SharedImages(), slot, canvas.dc(), x, y, ILD_TRANSPARENT);
    return Area(canvas, 0, 0, width, height);
}

bool UntouchedOutside(const PixelCanvas& canvas, const RECT& rect) {
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            if (!PtInRect(&rect, POINT{x, y}) && canvas.At(x, y) != kMagenta) return false;
    return true;
}

TEST_F(MenuDrawingTest, MeasuresBothLooksAndSeparators) {
    GlyphMenu separator;
    ASSERT_TRUE(separator.CreatePopupMenu());
    ASSERT_TRUE(separator.AppendGlyphItem(L"", 0, 0));
    fw::ClientDc screen(nullptr);
    fw::ScopedSelect select(screen.get(), font.get());
    SIZE text{};
    GetTextExtentPoint32W(screen.get(), L"定义热键(&K)", 8, &text);
    ASSERT_EQ(GetSystemMetrics(SM_CYMENU), 19);

    UINT width = 0;
    EXPECT_EQ(MeasuredHeight(*popup, 1, &width), 22u);
    EXPECT_EQ(width, static_cast<UINT>(text.cx + 31));
    EXPECT_EQ(MeasuredHeight(separator, 0), 3u);
    GlyphMenu::iconEffects = false;
    EXPECT_EQ(MeasuredHeight(*popup, 1, &width), 19u);
    EXPECT_EQ(width, static_cast<UINT>(text.cx + 28));
    GlyphMenu::iconEffects = true;

    GlyphMenu::drawModeOther = 0;
    EXPECT_EQ(MeasuredHeight(*popup, 1, &width), 19u);
    EXPECT_EQ(width, static_cast<UINT>(text.cx + 33));
    EXPECT_EQ(MeasuredHeight(separator, 0, &width), 9u);
    EXPECT_EQ(width, 0u);
}

TEST_F(MenuDrawingTest, FlatItemAtRestHotAndDisabled) {
    const FlatColours c;
    PixelCanvas canvas(kItemWidth + 20, 40, font.get());
    const RECT rect{10, 8, 10 + kItemWidth, 8 + 22};
    const int left = rect.left, top = rect.top;

    // At rest: the faded picture at (L + 4, T + 4) in a column of the tinted button face 23 wide, the rest 2 % below
    // the window colour, the label from L + 31 in the menu text colour.
    Draw(canvas, *popup, 1, 0, rect);
    EXPECT_TRUE(UntouchedOutside(canvas, rect));
    EXPECT_EQ(Area(canvas, left + 4, top + 4, 16, 15), Composed(16, 15, c.face, {{Slot(1) + 1, 0, 0}}));
    for (int y = top; y < rect.bottom; ++y) {
        EXPECT_EQ(Area(canvas, left + 21, y, 4, 1), (Pixels{c.face, c.face, c.window, c.window})) << y;
        EXPECT_EQ(canvas.At(rect.right - 1, y), c.window) << y;
    }
    const RECT label{left + 23, top, rect.right, rect.bottom};
    EXPECT_EQ(canvas.BoxOf(Sys(COLOR_MENUTEXT), label).left, left + 32) << "the first stroke of 定";

    // Hot: the pale bar framed in the highlight colour, no column; the picture lifted one pixel up and left over its
    // silhouette one pixel down and right.
    Draw(canvas, *popup, 1, ODS_SELECTED, rect);
    EXPECT_TRUE(UntouchedOutside(canvas, rect));
    EXPECT_EQ(canvas.BoxOf(c.highlight), rect);
    EXPECT_EQ(canvas.BoxOf(c.selection), (RECT{left + 1, top + 1, rect.right - 1, rect.bottom - 1}));
    EXPECT_EQ(Area(canvas, left + 3, top + 3, 18, 17),
              Composed(18, 17, c.selection, {{Slot(1) + 2, 2, 2}, {Slot(1), 0, 0}}));
    EXPECT_EQ(canvas.BoxOf(Sys(COLOR_MENUTEXT), label).left, left + 32);

    // Disabled, even under the mouse: the grayed picture and lighter gray text, painted off screen in the menu font
    // (the canvas has none of its own here) and copied into place.
    PixelCanvas plain(kItemWidth + 20, 40);
    Draw(plain, *popup, 0, ODS_GRAYED | ODS_SELECTED, rect);
    EXPECT_TRUE(UntouchedOutside(plain, rect));
    EXPECT_EQ(Area(plain, left + 4, top + 4, 16, 15), Composed(16, 15, c.face, {{Slot(0) + 3, 0, 0}}));
    EXPECT_FALSE(plain.Has(c.selection) || plain.Has(c.highlight) || plain.Has(Sys(COLOR_MENUTEXT)));
    Draw(canvas, *popup, 0, 0, rect);  // the same label, enabled, in the menu font
    const RECT enabled = canvas.BoxOf(Sys(COLOR_MENUTEXT), label);
    const RECT gray = plain.BoxOf(core::TintTowardWhite(Sys(COLOR_GRAYTEXT), 0.4), label);
    EXPECT_EQ(gray.left, enabled.left);
    EXPECT_EQ(gray.right, enabled.right);
}

TEST_F(MenuDrawingTest, FlatSeparatorAndCheckMark) {
    const FlatColours c;
    GlyphMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    ASSERT_TRUE(menu.AppendGlyphItem(L"", 0, 0));
    ASSERT_TRUE(menu.AppendGlyphItem(L"Check", 0, 901));
    PixelCanvas canvas(kItemWidth, 22, font.get());

    // The etched line starts 30 pixels in; the column runs on unbroken.
    Draw(canvas, menu, 0, 0, RECT{0, 0, kItemWidth, 3});
    EXPECT_EQ(Area(canvas, 22, 1, 9, 1),
              (Pixels{c.face, c.window, c.window, c.window, c.window, c.window, c.window, c.window,
                      Sys(COLOR_BTNSHADOW)}));
    EXPECT_EQ(canvas.At(30, 2), Sys(COLOR_BTNHIGHLIGHT));

    // Checked without a picture: a 20 x 20 tinted box framed in the highlight colour, the thin tick 7 pixels in.
    Draw(canvas, menu, 1, ODS_CHECKED, RECT{0, 0, kItemWidth, 22});
    EXPECT_EQ(canvas.BoxOf(c.highlight), (RECT{1, 1, 21, 21}));
    EXPECT_EQ(canvas.At(2, 2), core::TintTowardWhite(c.highlight, 0.85));
    const int tops[7] = {2, 3, 4, 3, 2, 1, 0};
    for (int k = 0; k < 7; ++k)
        for (int y = 2; y < 20; ++y)
            EXPECT_EQ(canvas.At(8 + k, y) == Sys(COLOR_MENUTEXT), y >= 8 + tops[k] && y < 10 + tops[k]) << k << y;
}

TEST_F(MenuDrawingTest, ClassicBoxesAndHighlight) {
    GlyphMenu::drawModeOther = 0;
    GlyphMenu::platformClass = PlatformWin2000;  // 3-D edges
    const COLORREF menu = Sys(COLOR_MENU), highlight = Sys(COLOR_HIGHLIGHT), shadow = Sys(COLOR_BTNSHADOW);
    const COLORREF light = Sys(COLOR_BTNHIGHLIGHT);
    PixelCanvas canvas(kItemWidth, 19, font.get());
    const RECT rect{0, 0, kItemWidth, 19};
    // With dy = 0 the icon box is (0, 0)-(20, 19): its top-left and bottom-right corners tell raised from sunken.
    auto corners = [&] { return Pixels{canvas.At(0, 0), canvas.At(19, 18)}; };

    // Hot: the bar starts at L + 21, so the picture keeps the menu colour, in a raised box.
    Draw(canvas, *popup, 1, ODS_SELECTED, rect);
    EXPECT_EQ(Area(canvas, 20, 9, 2, 1), (Pixels{kMagenta, highlight}));
    EXPECT_EQ(canvas.At(kItemWidth - 1, 9), highlight);
    EXPECT_EQ(corners(), (Pixels{light, shadow}));
    EXPECT_EQ(Area(canvas, 2, 2, 16, 15), Composed(16, 15, menu, {{Slot(1), 0, 0}}));
    EXPECT_TRUE(canvas.Has(Sys(COLOR_HIGHLIGHTTEXT)));
    // Checked: sunken, hot or not.
    for (UINT state : {UINT{ODS_SELECTED | ODS_CHECKED}, UINT{ODS_CHECKED}}) {
        Draw(canvas, *popup, 1, state, rect);
        EXPECT_EQ(corners(), (Pixels{shadow, light})) << state;
    }
    // Without 3-D edges (NT after XP) no frame is drawn round the hot box.
    GlyphMenu::platformClass = PlatformNtOther;
    Draw(canvas, *popup, 1, ODS_SELECTED, rect);
    EXPECT_EQ(corners(), (Pixels{kMagenta, kMagenta}));

    // Without a picture the bar covers the whole item.
    GlyphMenu plain;
    ASSERT_TRUE(plain.CreatePopupMenu());
    ASSERT_TRUE(plain.AppendGlyphItem(L"Plain", 0, 903));
    Draw(canvas, plain, 0, ODS_SELECTED, rect);
    EXPECT_EQ(canvas.At(0, 0), highlight);

    // Disabled: the picture's dark parts engraved in the shadow colour, nothing else of it.
    Draw(canvas, *popup, 0, ODS_GRAYED, rect);
    const Pixels picture = Composed(16, 15, Sys(COLOR_BTNFACE), {{Slot(0), 0, 0}});
    const Pixels drawn = Area(canvas, 2, 2, 16, 15);
    int engraved = 0;
    for (std::size_t i = 0; i < picture.size(); ++i) {
        const bool dark = picture[i] != Sys(COLOR_BTNFACE) && picture[i] != light;
        engraved += dark;
        EXPECT_TRUE(dark ? drawn[i] == shadow : drawn[i] == menu || drawn[i] == light) << i;
    }
    EXPECT_GT(engraved, 10);
    EXPECT_GE(canvas.BoxOf(Sys(COLOR_GRAYTEXT), RECT{21, 0, kItemWidth, 19}).left, 25);
}

TEST_F(MenuDrawingTest, TrackedPopupShowsTheFlatLookAndAnswersTheKeyboard) {
    const FlatColours c;
    fw::Menu* shown = tray.GetSubMenu(0);
    shown->EnableMenuItem(ID_SHOW, MF_BYCOMMAND | MF_GRAYED);
    std::vector<int> selection;
    int column = 0;
    host.onIdle = [&](HWND menu) {
        const testing_support::ScreenPixels shot(testing_support::ScreenRectOf(menu));
        column = std::max(column, shot.Count([&](COLORREF pixel) { return pixel == c.face; }));
        selection.push_back(shot.Count([&](COLORREF pixel) { return pixel == c.selection; }));
        // Down twice, past the greyed first item; then "x", the underlined letter of "退出(&X)".
        if (selection.size() == 1) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
        if (selection.size() == 1) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
        if (selection.size() == 2) PostMessageW(menu, WM_CHAR, L'x', 0);
        if (selection.size() > 5) EndMenu();
    };
    EXPECT_EQ(shown->TrackPopupMenu(TPM_RIGHTBUTTON | TPM_RETURNCMD, 200, 150, &host), ID_EXIT);
    host.onIdle = nullptr;
    EXPECT_GT(column, 6 * 20) << "the icon column is on the screen";
    ASSERT_EQ(selection.size(), 2u);
    EXPECT_EQ(selection[0], 0);
    EXPECT_GT(selection[1], 100) << "one item hot";

    // Owner-drawn items have no text of their own for the system to search: the menu answers for them. A greyed
    // item's letter and a label without one leave the menu open until Escape.
    for (const auto& [key, expected] : {std::pair{L'M', IDC_MINIBTN}, {L'a', IDC_ABOUTBTN}, {L's', 0}, {L'h', 0}}) {
        PostThreadMessageW(GetCurrentThreadId(), WM_CHAR, key, 0);
        PostThreadMessageW(GetCurrentThreadId(), WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_EQ(shown->TrackPopupMenu(TPM_RIGHTBUTTON | TPM_RETURNCMD, 200, 150, &host), expected) << char(key);
        MSG left;  // the Escape a chosen command did not need
        while (PeekMessageW(&left, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
        }
    }
}

TEST_F(MenuDrawingTest, OpeningAndClosingEachMenuAThousandTimesKeepsObjectCountsFlat) {
    // Opens a menu as the tray and the mini window do, with the first item greyed and the second hot, and closes it:
    // the keys wait in the queue for the menu's own loop.
    auto openAndClose = [&](UINT menuId) {
        GlyphMenu menu;
        menu.LoadFromResource(menuId);
        menu.LoadToolbarImages(IDR_TOOLBAR);
        fw::Menu* shown = menu.GetSubMenu(0);
        shown->EnableMenuItem(ID_SHOW, MF_BYCOMMAND | MF_GRAYED);
        for (WPARAM key : {VK_DOWN, VK_DOWN, VK_ESCAPE}) PostThreadMessageW(GetCurrentThreadId(), WM_KEYDOWN, key, 0);
        return shown->TrackPopupMenu(TPM_RIGHTBUTTON | TPM_RETURNCMD, 100, 100, &host);
    };
    for (int i = 0; i < 3; ++i) {  // the first rounds fill the shared list and the system's own caches
        openAndClose(IDR_TRAYMENU);
        openAndClose(IDR_MINIMENU);
    }
    const int pictures = ImageList_GetImageCount(GlyphMenu::SharedImages());
    const int count = testing_support::RoundsFromEnvironment("TARVISK_MENU_OPENINGS", 50);  // 1,000 in the full run
    for (UINT menuId : {IDR_TRAYMENU, IDR_MINIMENU}) {
        const int items = menuId == IDR_TRAYMENU ? 6 : 2;
        host.measured = host.drawn = 0;
        const testing_support::UiObjectCounts before = testing_support::CountUiObjects();
        for (int i = 0; i < count; ++i) ASSERT_EQ(openAndClose(menuId), 0);
        const testing_support::UiObjectCounts after = testing_support::CountUiObjects();
        std::printf("menu %u, %d openings: %s -> %s; %d measured, %d drawn\n", menuId, count, before.Describe().c_str(),
                    after.Describe().c_str(), host.measured, host.drawn);
        EXPECT_EQ(after, before) << "menu " << menuId;
        EXPECT_GE(host.measured, count * items) << "every opening measures its items";
        EXPECT_GE(host.drawn, count * (items + 1)) << "and paints them, one hot";
    }
    EXPECT_EQ(ImageList_GetImageCount(GlyphMenu::SharedImages()), pictures);
}

}  // namespace
