// The icon menu measured and painted: owner-draw requests sent to a real framework window (which hands them to the
// menu), painted into a memory DC and read back pixel by pixel in both looks; then the real popups tracked on screen,
// chosen from with the keyboard, and opened and closed a thousand times with the process's object counts watched.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "core/ColourMix.h"
#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "framework/Platform.h"
#include "menu/GlyphMenu.h"
#include "resources/resource.h"
#include "tests/support/GuiObjects.h"
#include "tests/support/PixelCanvas.h"

namespace {

using testing_support::PixelCanvas;

constexpr COLORREF kMagenta = RGB(255, 0, 255);  // the canvas: shows what a paint left untouched
constexpr int kItemWidth = 160;

COLORREF Sys(int index) { return GetSysColor(index); }

// The owner window: counts the owner-draw requests it passes on.
class HostDialog : public fw::Dialog {
public:
    HostDialog() : fw::Dialog(IDD_HOTKEY) {}
    int measured = 0;
    int drawn = 0;

protected:
    bool OnMessage(UINT message, WPARAM, LPARAM, LRESULT&) override {
        measured += message == WM_MEASUREITEM;
        drawn += message == WM_DRAWITEM;
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
        GlyphMenu::iconEffects = true;
        ASSERT_TRUE(host.Create());
        ASSERT_TRUE(tray.LoadFromResource(IDR_TRAYMENU));
        ASSERT_TRUE(tray.LoadToolbarImages(IDR_TOOLBAR));
        popup = dynamic_cast<GlyphMenu*>(tray.GetSubMenu(0));
        ASSERT_NE(popup, nullptr);
        font = fw::CreateMenuFont();
    }
    void TearDown() override {
        DestroyWindow(host.GetSafeHwnd());
        GlyphMenu::platformClass = savedPlatform;
        GlyphMenu::drawModeOther = savedOther;
    }

    // Asks the host window to draw item `position` of `menu` at `rect` of the canvas, as Windows would.
    void Draw(PixelCanvas& canvas, GlyphMenu& menu, int position, UINT state, const RECT& rect) {
        DRAWITEMSTRUCT draw{};
        draw.CtlType = ODT_MENU;
        draw.itemID = menu.GetMenuItemID(position);
        draw.itemAction = ODA_DRAWENTIRE;
        draw.itemState = state;
        draw.hwndItem = reinterpret_cast<HWND>(menu.GetSafeHmenu());
        draw.hDC = canvas.dc();
        draw.rcItem = rect;
        draw.itemData = reinterpret_cast<ULONG_PTR>(menu.Items()[position].get());
        ASSERT_EQ(SendMessageW(host.GetSafeHwnd(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)), TRUE);
    }

    SIZE Measure(GlyphMenu& menu, int position) {
        MEASUREITEMSTRUCT measure{};
        measure.CtlType = ODT_MENU;
        measure.itemID = menu.GetMenuItemID(position);
        measure.itemData = reinterpret_cast<ULONG_PTR>(menu.Items()[position].get());
        EXPECT_EQ(SendMessageW(host.GetSafeHwnd(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)), TRUE);
        return SIZE{static_cast<LONG>(measure.itemWidth), static_cast<LONG>(measure.itemHeight)};
    }

    int TextWidth(const std::wstring& text) {
        fw::ClientDc screen(nullptr);
        fw::ScopedSelect select(screen.get(), font.get());
        SIZE size{};
        GetTextExtentPoint32W(screen.get(), text.c_str(), static_cast<int>(text.size()), &size);
        return size.cx;
    }

    int Slot(int position) const { return popup->Items()[position]->imageSlot; }

    HostDialog host;
    GlyphMenu tray;
    GlyphMenu* popup = nullptr;
    fw::UniqueFont font;
    PlatformClass savedPlatform = GlyphMenu::platformClass;
    int savedOther = GlyphMenu::drawModeOther;
};

// Pictures of the shared list composed on `background`, each at its offset: what an icon area should show.
std::vector<COLORREF> Composed(int width, int height, COLORREF background,
                               const std::vector<std::tuple<int, int, int>>& slotsAt) {
    PixelCanvas canvas(width, height);
    canvas.Fill(background);
    for (const auto& [slot, x, y] : slotsAt)
        ImageList_Draw(GlyphMenu::SharedImages(), slot, canvas.dc(), x, y, ILD_TRANSPARENT);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.push_back(canvas.At(x, y));
    return pixels;
}

std::vector<COLORREF> Region(const PixelCanvas& canvas, int left, int top, int width, int height) {
    std::vector<COLORREF> pixels;
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x) pixels.push_back(canvas.At(x, y));
    return pixels;
}

// Every pixel of the canvas outside `rect` is still the canvas colour.
bool UntouchedOutside(const PixelCanvas& canvas, const RECT& rect) {
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x) {
            const POINT p{x, y};
            if (!PtInRect(&rect, p) && canvas.At(x, y) != kMagenta) return false;
        }
    return true;
}

TEST_F(MenuDrawingTest, MeasuresBothLooksAndSeparators) {
    GlyphMenu separators;
    ASSERT_TRUE(separators.CreatePopupMenu());
    ASSERT_TRUE(separators.AppendGlyphItem(L"", 0, 0));
    const int menuHeight = GetSystemMetrics(SM_CYMENU);
    const int width = TextWidth(L"定义热键(&K)");
    ASSERT_GT(width, 30);

    SIZE flat = Measure(*popup, 1);
    EXPECT_EQ(flat.cx, width + 31);
    EXPECT_EQ(flat.cy, std::max(menuHeight, 22));
    EXPECT_EQ(Measure(separators, 0).cy, 3);

    GlyphMenu::drawModeOther = 0;
    SIZE classic = Measure(*popup, 1);
    EXPECT_EQ(classic.cx, width + 33);
    EXPECT_EQ(classic.cy, std::max(menuHeight, 19));
    EXPECT_EQ(Measure(separators, 0).cy, std::max(menuHeight >> 1, 9));
    EXPECT_EQ(Measure(separators, 0).cx, 0);

    // Without icon effects the flat look keeps 4 pixels to spare instead of 7.
    GlyphMenu::drawModeOther = 1;
    GlyphMenu::iconEffects = false;
    flat = Measure(*popup, 1);
    GlyphMenu::iconEffects = true;
    EXPECT_EQ(flat.cx, width + 28);
    EXPECT_EQ(flat.cy, std::max(menuHeight, 19));
}

TEST_F(MenuDrawingTest, FlatItemAtRestAndHot) {
    const FlatColours c;
    PixelCanvas canvas(kItemWidth + 20, 40, font.get());
    const RECT rect{10, 8, 10 + kItemWidth, 8 + 22};
    const int left = rect.left, top = rect.top;

    // At rest: the faded picture at (L + 4, T + 4) in a column of the button face 23 wide, the rest 2 % below the
    // window colour, the label from L + 31 in the menu text colour.
    canvas.Fill(kMagenta);
    Draw(canvas, *popup, 1, 0, rect);
    EXPECT_TRUE(UntouchedOutside(canvas, rect));
    EXPECT_EQ(Region(canvas, left + 4, top + 4, 16, 15), Composed(16, 15, c.face, {{Slot(1) + 1, 0, 0}}));
    for (int y = top; y < rect.bottom; ++y) {
        EXPECT_EQ(canvas.At(left, y), c.face) << y;
        EXPECT_EQ(canvas.At(left + 22, y), c.face) << y;
        EXPECT_EQ(canvas.At(left + 23, y), c.window) << y;
        EXPECT_EQ(canvas.At(rect.right - 1, y), c.window) << y;
    }
    const RECT text = canvas.BoxOf(Sys(COLOR_MENUTEXT));
    EXPECT_GE(text.left, left + 31);
    EXPECT_GT(text.right - text.left, 30);
    EXPECT_FALSE(canvas.Has(c.selection));

    // Hot: the pale bar framed in the highlight colour; the picture lifted one pixel up and left over its silhouette
    // one pixel down and right; the label stays in the menu text colour.
    canvas.Fill(kMagenta);
    Draw(canvas, *popup, 1, ODS_SELECTED, rect);
    EXPECT_TRUE(UntouchedOutside(canvas, rect));
    for (int x = left; x < rect.right; ++x) {
        EXPECT_EQ(canvas.At(x, top), c.highlight) << x;
        EXPECT_EQ(canvas.At(x, rect.bottom - 1), c.highlight) << x;
    }
    EXPECT_EQ(canvas.At(left, top + 10), c.highlight);
    EXPECT_EQ(canvas.At(rect.right - 1, top + 10), c.highlight);
    EXPECT_EQ(canvas.At(left + 1, top + 1), c.selection);
    EXPECT_EQ(canvas.At(left + 24, top + 1), c.selection) << "no column while hot";
    EXPECT_EQ(Region(canvas, left + 3, top + 3, 18, 17),
              Composed(18, 17, c.selection, {{Slot(1) + 2, 2, 2}, {Slot(1), 0, 0}}));
    EXPECT_TRUE(canvas.Has(Sys(COLOR_MENUTEXT)));
}

TEST_F(MenuDrawingTest, FlatDisabledItemIsGrayAndNeverHot) {
    const FlatColours c;
    // A canvas with no font of its own: the off-screen paint brings the menu font itself.
    PixelCanvas canvas(kItemWidth + 20, 40);
    const RECT rect{10, 8, 10 + kItemWidth, 8 + 22};
    canvas.Fill(kMagenta);
    Draw(canvas, *popup, 0, ODS_GRAYED | ODS_SELECTED, rect);

    EXPECT_TRUE(UntouchedOutside(canvas, rect));
    EXPECT_EQ(Region(canvas, rect.left + 4, rect.top + 4, 16, 15), Composed(16, 15, c.face, {{Slot(0) + 3, 0, 0}}));
    EXPECT_FALSE(canvas.Has(c.selection));
    EXPECT_FALSE(canvas.Has(c.highlight));
    EXPECT_FALSE(canvas.Has(Sys(COLOR_MENUTEXT)));
    const RECT text = canvas.BoxOf(core::TintTowardWhite(Sys(COLOR_GRAYTEXT), 0.4));
    EXPECT_GE(text.left, rect.left + 31);
    EXPECT_LE(text.right, rect.left + 31 + TextWidth(L"显示(&S)") + 1) << "drawn in the menu font";
    EXPECT_GT(text.right - text.left, TextWidth(L"显示(&S)") / 2);
    EXPECT_EQ(canvas.At(rect.left + 30, rect.top + 1), c.window);
}

TEST_F(MenuDrawingTest, FlatSeparatorAndCheckMarks) {
    const FlatColours c;
    GlyphMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    ASSERT_TRUE(menu.AppendGlyphItem(L"", 0, 0));
    ASSERT_TRUE(menu.AppendGlyphItem(L"Check", 0, 901));
    ASSERT_TRUE(menu.AppendGlyphItem(L"Radio", 0, 902));
    // A checked-state bitmap makes an item a radio item.
    fw::UniqueBitmap dot(CreateBitmap(13, 13, 1, 1, nullptr));
    ASSERT_TRUE(SetMenuItemBitmaps(menu.GetSafeHmenu(), 902, MF_BYCOMMAND, nullptr, dot.get()));
    PixelCanvas canvas(kItemWidth, 30, font.get());

    // The separator's etched line starts 30 pixels in; the column runs on unbroken.
    canvas.Fill(kMagenta);
    Draw(canvas, menu, 0, 0, RECT{0, 0, kItemWidth, 3});
    EXPECT_EQ(canvas.At(10, 1), c.face);
    EXPECT_EQ(canvas.At(29, 1), c.window);
    EXPECT_EQ(canvas.At(30, 1), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.At(30, 2), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(canvas.At(kItemWidth - 1, 1), Sys(COLOR_BTNSHADOW));

    // A checked item without a picture: a 20 x 20 box framed in the highlight colour, the thin tick 7 pixels in.
    const COLORREF text = Sys(COLOR_MENUTEXT);
    const int tops[7] = {2, 3, 4, 3, 2, 1, 0};
    for (UINT state : {UINT{ODS_CHECKED}, UINT{ODS_CHECKED | ODS_SELECTED}}) {
        SCOPED_TRACE(state);
        canvas.Fill(kMagenta);
        Draw(canvas, menu, 1, state, RECT{0, 0, kItemWidth, 22});
        const COLORREF box = core::TintTowardWhite(c.highlight, state & ODS_SELECTED ? 0.55 : 0.85);
        EXPECT_EQ(canvas.At(1, 1), c.highlight);
        EXPECT_EQ(canvas.At(20, 20), c.highlight);
        EXPECT_EQ(canvas.At(2, 2), box);
        EXPECT_EQ(canvas.At(19, 19), box);
        for (int k = 0; k < 7; ++k)
            for (int y = 1; y < 21; ++y) {
                const bool stroke = y >= 8 + tops[k] && y < 8 + tops[k] + 2;
                EXPECT_EQ(canvas.At(8 + k, y) == text, stroke) << k << "," << y;
            }
    }
    canvas.Fill(kMagenta);
    Draw(canvas, menu, 2, ODS_CHECKED, RECT{0, 0, kItemWidth, 22});
    const RECT radio = canvas.BoxOf(text, RECT{2, 2, 20, 20});
    EXPECT_EQ(radio.left, 8);
    EXPECT_EQ(radio.top, 8);
    EXPECT_EQ(radio.right, 14);
    EXPECT_EQ(radio.bottom, 14);
}

TEST_F(MenuDrawingTest, ClassicBoxesAndHighlight) {
    GlyphMenu::drawModeOther = 0;
    GlyphMenu::platformClass = PlatformWin2000;  // 3-D edges
    const COLORREF menu = Sys(COLOR_MENU), highlight = Sys(COLOR_HIGHLIGHT);
    const COLORREF light = Sys(COLOR_BTNHIGHLIGHT), shadow = Sys(COLOR_BTNSHADOW);
    PixelCanvas canvas(kItemWidth, 19, font.get());
    const RECT rect{0, 0, kItemWidth, 19};
    // dy = (19 - 15 - 4) / 2 = 0: the outer box is (0, 0)-(20, 19), the picture at (2, 2).
    auto frameOf = [&](int left, int top, int right, int bottom) {
        return std::vector<COLORREF>{canvas.At(left, top), canvas.At(right - 1, bottom - 1)};
    };

    // Hot: the bar starts at L + 21 so the picture keeps the menu colour; the box is raised.
    canvas.Fill(kMagenta);
    Draw(canvas, *popup, 1, ODS_SELECTED, rect);
    EXPECT_NE(canvas.At(20, 9), highlight);
    EXPECT_EQ(canvas.At(21, 9), highlight);
    EXPECT_EQ(canvas.At(kItemWidth - 1, 9), highlight);
    EXPECT_EQ(frameOf(0, 0, 20, 19), (std::vector<COLORREF>{light, shadow}));
    EXPECT_EQ(Region(canvas, 2, 2, 16, 15), Composed(16, 15, menu, {{Slot(1), 0, 0}}));
    EXPECT_TRUE(canvas.Has(Sys(COLOR_HIGHLIGHTTEXT)));

    // Checked: sunken, hot or not; at rest the box is tinted.
    Draw(canvas, *popup, 1, ODS_SELECTED | ODS_CHECKED, rect);
    EXPECT_EQ(frameOf(0, 0, 20, 19), (std::vector<COLORREF>{shadow, light}));
    Draw(canvas, *popup, 1, ODS_CHECKED, rect);
    EXPECT_EQ(frameOf(0, 0, 20, 19), (std::vector<COLORREF>{shadow, light}));
    EXPECT_EQ(canvas.At(2, 1), core::TintTowardWhite(menu, 0.6));
    EXPECT_EQ(canvas.At(21, 9), menu);

    // At rest, plain: no frame at all. Where 3-D edges are off, hot draws none either.
    Draw(canvas, *popup, 1, 0, rect);
    EXPECT_EQ(frameOf(0, 0, 20, 19), (std::vector<COLORREF>{menu, menu}));
    GlyphMenu::platformClass = PlatformNtOther;
    Draw(canvas, *popup, 1, ODS_SELECTED, rect);
    EXPECT_EQ(frameOf(0, 0, 20, 19), (std::vector<COLORREF>{menu, menu}));
    EXPECT_EQ(canvas.At(21, 9), highlight);

    // Without a picture the bar covers the whole item.
    GlyphMenu plain;
    ASSERT_TRUE(plain.CreatePopupMenu());
    ASSERT_TRUE(plain.AppendGlyphItem(L"Plain", 0, 903));
    canvas.Fill(kMagenta);
    Draw(canvas, plain, 0, ODS_SELECTED, rect);
    EXPECT_EQ(canvas.At(0, 9), highlight);
    EXPECT_EQ(canvas.At(0, 0), highlight);
}

TEST_F(MenuDrawingTest, ClassicDisabledItemIsEmbossedAndEngraved) {
    GlyphMenu::drawModeOther = 0;
    const COLORREF menu = Sys(COLOR_MENU), light = Sys(COLOR_BTNHIGHLIGHT), shadow = Sys(COLOR_BTNSHADOW);
    PixelCanvas canvas(kItemWidth, 19, font.get());
    canvas.Fill(kMagenta);
    Draw(canvas, *popup, 0, ODS_GRAYED, RECT{0, 0, kItemWidth, 19});

    // The picture's dark parts in the shadow colour, a highlight copy one pixel down and right, nothing else.
    const auto picture = Composed(16, 15, Sys(COLOR_BTNFACE), {{Slot(0), 0, 0}});
    int engraved = 0;
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 16; ++x) {
            const COLORREF source = picture[y * 16 + x];
            const bool dark = source != Sys(COLOR_BTNFACE) && source != light;
            const COLORREF drawn = canvas.At(2 + x, 2 + y);
            if (dark) {
                ++engraved;
                EXPECT_EQ(drawn, shadow) << x << "," << y;
            } else {
                EXPECT_TRUE(drawn == menu || drawn == light) << x << "," << y;
            }
        }
    EXPECT_GT(engraved, 10);
    // The label engraved from L + 25: gray over a highlight copy one pixel down and right.
    const RECT label{21, 0, kItemWidth, 19};
    const RECT grayText = canvas.BoxOf(Sys(COLOR_GRAYTEXT), label);
    EXPECT_GE(grayText.left, 25);
    EXPECT_GT(grayText.right - grayText.left, 20);
    bool copied = true;
    for (int y = grayText.top; y < grayText.bottom; ++y)
        for (int x = grayText.left; x < grayText.right; ++x)
            if (canvas.At(x, y) == Sys(COLOR_GRAYTEXT) && canvas.At(x + 1, y + 1) != Sys(COLOR_GRAYTEXT))
                copied = copied && canvas.At(x + 1, y + 1) == light;
    EXPECT_TRUE(copied);
    EXPECT_FALSE(canvas.Has(Sys(COLOR_MENUTEXT)));
}

// ---- Real popups on the screen.

// Runs `step` from a thread timer every 30 ms while a popup menu is open, with the menu window and its picture on
// the screen; a step returns true when it has closed the menu or chosen from it.
class MenuDriver {
public:
    explicit MenuDriver(std::function<bool(HWND, int)> step) : step_(std::move(step)) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 30, &MenuDriver::Tick);
    }
    ~MenuDriver() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    MenuDriver(const MenuDriver&) = delete;
    MenuDriver& operator=(const MenuDriver&) = delete;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        HWND menu = FindWindowW(L"#32768", nullptr);
        if (!current_ || !menu || !IsWindowVisible(menu)) return;
        if (current_->done_ || ++current_->ticks_ > 100) {
            EndMenu();  // a failing test ends instead of hanging
            return;
        }
        current_->done_ = current_->step_(menu, current_->calls_++);
    }

    static inline MenuDriver* current_ = nullptr;
    std::function<bool(HWND, int)> step_;
    UINT_PTR timer_ = 0;
    int calls_ = 0;
    int ticks_ = 0;
    bool done_ = false;
};

PixelCanvas Capture(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    PixelCanvas canvas(rect.right - rect.left, rect.bottom - rect.top);
    fw::ClientDc screen(nullptr);
    BitBlt(canvas.dc(), 0, 0, canvas.Width(), canvas.Height(), screen.get(), rect.left, rect.top, SRCCOPY);
    return canvas;
}

TEST_F(MenuDrawingTest, TrackedTrayMenuShowsTheFlatLookAndReturnsTheChosenCommand) {
    const FlatColours c;
    fw::Menu* shown = tray.GetSubMenu(0);
    shown->EnableMenuItem(ID_SHOW, MF_BYCOMMAND | MF_DISABLED | MF_GRAYED);
    int columnPixels = 0, selectionBefore = -1, selectionAfter = 0;
    MenuDriver driver([&](HWND menu, int call) {
        if (call == 0) {
            const PixelCanvas shot = Capture(menu);
            columnPixels = shot.Count(c.face);
            selectionBefore = shot.Count(c.selection);
            // Down twice: past the greyed first item to "定义热键(&K)".
            PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
            PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
            return false;
        }
        selectionAfter = Capture(menu).Count(c.selection);
        PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
        return true;
    });
    const BOOL chosen = shown->TrackPopupMenu(TPM_RIGHTBUTTON | TPM_RETURNCMD, 200, 150, &host);
    EXPECT_EQ(chosen, IDC_HOTKEYBTN);
    EXPECT_GT(columnPixels, 6 * 20) << "the icon column is on the screen";
    EXPECT_EQ(selectionBefore, 0);
    EXPECT_GT(selectionAfter, 100) << "one item hot";
}

TEST_F(MenuDrawingTest, UnderlinedLettersChooseOwnerDrawnItems) {
    // Owner-drawn items have no text of their own for the system to search: the menu answers for them.
    fw::Menu* shown = tray.GetSubMenu(0);
    shown->EnableMenuItem(ID_SHOW, MF_BYCOMMAND | MF_GRAYED);
    const struct {
        wchar_t key;
        UINT expected;
    } rows[] = {{L'x', ID_EXIT}, {L'M', IDC_MINIBTN}, {L'a', IDC_ABOUTBTN}, {L'h', 0}, {L's', 0}};
    for (const auto& row : rows) {
        // "帮助(H)" underlines nothing; "显示(&S)" is greyed: both leave the menu open until Escape.
        for (WPARAM key : {static_cast<WPARAM>(row.key), WPARAM{0}})
            PostThreadMessageW(GetCurrentThreadId(), key ? WM_CHAR : WM_KEYDOWN, key ? key : VK_ESCAPE, 0);
        EXPECT_EQ(shown->TrackPopupMenu(TPM_RIGHTBUTTON | TPM_RETURNCMD, 200, 150, &host), row.expected)
            << static_cast<char>(row.key);
        MSG left;  // the Escape a chosen command did not need
        while (PeekMessageW(&left, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
        }
    }
}

TEST_F(MenuDrawingTest, OpeningAndClosingEachMenuAThousandTimesKeepsObjectCountsFlat) {
    // Opens a menu as the tray and the mini window do, with one item hot and the first one greyed, and closes it:
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
    // The first rounds fill the shared list and the system's own caches.
    for (int i = 0; i < 3; ++i) {
        openAndClose(IDR_TRAYMENU);
        openAndClose(IDR_MINIMENU);
    }
    const int pictures = ImageList_GetImageCount(GlyphMenu::SharedImages());
    for (UINT menuId : {IDR_TRAYMENU, IDR_MINIMENU}) {
        const int items = menuId == IDR_TRAYMENU ? 6 : 2;
        host.measured = host.drawn = 0;
        const testing_support::GuiObjectCounts before = testing_support::CountGuiObjects();
        for (int i = 0; i < 1000; ++i) ASSERT_EQ(openAndClose(menuId), 0);
        const testing_support::GuiObjectCounts after = testing_support::CountGuiObjects();
        std::printf("menu %u: GDI objects %lu -> %lu, USER objects %lu -> %lu, %d measured, %d drawn\n", menuId,
                    before.gdi, after.gdi, before.user, after.user, host.measured, host.drawn);
        EXPECT_EQ(after.gdi, before.gdi) << "menu " << menuId;
        EXPECT_EQ(after.user, before.user) << "menu " << menuId;
        EXPECT_GE(host.measured, 1000 * items) << "every opening measures its items";
        EXPECT_GE(host.drawn, 1000 * (items + 1)) << "and paints them, one hot";
    }
    EXPECT_EQ(ImageList_GetImageCount(GlyphMenu::SharedImages()), pictures);
}

}  // namespace
