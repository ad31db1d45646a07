// The radical chart popups with the real main window: which chart a mouse move over the thumbnail shows and where,
// what the user sees of it on the screen, hiding, dragging, a picture that cannot load, the end with the main
// window, and GDI objects and windows after a thousand shows.
#include <windows.h>

#include <gtest/gtest.h>

#include <iostream>
#include <vector>

#include "tests/support/MainWindowFixture.h"
#include "tests/support/ScreenKit.h"
#include "tests/support/UiObjectCounts.h"
#include "windows/ChartDialog.h"

namespace {

using testing_support::MainWindowTest;

constexpr COLORREF kChartFrame = RGB(52, 58, 64);  // the dark border of every chart picture
constexpr COLORREF kDialogBlue = RGB(49, 106, 197);  // the program's dialog colour
const SIZE kPictureSizes[3] = {{598, 166}, {598, 166}, {476, 186}};
const int kEditionRadios[3] = {IDC_ED86, IDC_ED98, IDC_EDRARE};

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

RECT WindowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

class ChartPopupTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        SetCursorPos(0, 0);  // away from every window, so no move the system reports shows a chart
        Open();
        SetWindowPos(hwnd, nullptr, 300, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }

    ChartDialog* Chart(int k) const {
        const std::unique_ptr<fw::Modeless<ChartDialog>>* charts[] = {&window->chart86, &window->chart98, &window->chartRare};
        return charts[k]->get();
    }
    HWND ChartWindow(int k) const { return Chart(k)->GetSafeHwnd(); }
    std::vector<bool> Visible() const {
        return {IsWindowVisible(ChartWindow(0)) != 0, IsWindowVisible(ChartWindow(1)) != 0,
                IsWindowVisible(ChartWindow(2)) != 0};
    }

    RECT ThumbOnScreen() const { return WindowRect(Item(IDC_THUMB)); }
    // The pointer goes there too, so that moves the system reports while messages are pumped agree.
    void MoveTo(POINT client) const {
        POINT screen = client;
        ClientToScreen(hwnd, &screen);
        SetCursorPos(screen.x, screen.y);
        SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
    }
    // The thumbnail's top-left pixel, inside it; and a point of the window's own surface.
    void MoveOverThumb() const {
        POINT p{ThumbOnScreen().left, ThumbOnScreen().top};
        ScreenToClient(hwnd, &p);
        MoveTo(p);
    }
    void MoveOffThumb() const { MoveTo(POINT{4, 4}); }
    void SelectEdition(int k) const { Click(kEditionRadios[k]); }
};

TEST_F(ChartPopupTest, ThumbnailShowsOnlyTheSelectedEditionsChartAtItsPlace) {
    const std::vector<bool> none{false, false, false};
    EXPECT_EQ(Visible(), none) << "created hidden";
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        // Switched while the previous chart is still shown.
        SelectEdition(k);
        MoveOverThumb();
        std::vector<bool> expected = none;
        expected[static_cast<std::size_t>(k)] = true;
        EXPECT_EQ(Visible(), expected);

        const RECT thumb = ThumbOnScreen();
        const RECT chart = WindowRect(ChartWindow(k));
        EXPECT_EQ(chart.left, thumb.left - kChartKinds[k].leftOfThumb);
        EXPECT_EQ(chart.top, thumb.top);
        RECT client{};
        GetClientRect(ChartWindow(k), &client);
        EXPECT_EQ(client.right, kPictureSizes[k].cx) << "the whole picture and no empty strip";
        EXPECT_EQ(client.bottom, kPictureSizes[k].cy);
        EXPECT_EQ(GetWindow(ChartWindow(k), GW_OWNER), hwnd);
    }
    // The thumbnail's right and bottom edges lie outside it.
    const RECT thumb = ThumbOnScreen();
    POINT corner{thumb.right, thumb.bottom - 1};
    ScreenToClient(hwnd, &corner);
    MoveTo(corner);
    EXPECT_EQ(Visible(), none);
    MoveOverThumb();
    MoveOffThumb();
    EXPECT_EQ(Visible(), none);
}

TEST_F(ChartPopupTest, ShownChartIsOnTheScreenOverTheThumbnail) {
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        SelectEdition(k);
        MoveOverThumb();
        POINT origin{0, 0};
        ClientToScreen(ChartWindow(k), &origin);
        // Until the X server has shown the new window.
        testing_support::PumpUntil([&] { return ScreenPixel(origin.x, origin.y) == kChartFrame; }, 3000);

        // What the screen shows is the picture: its corners, and where it covers the thumbnail.
        const SIZE size = kPictureSizes[k];
        const AnimatedPicture& picture = Chart(k)->chartPicture;
        for (POINT p : {POINT{0, 0}, POINT{size.cx - 8, 5}, POINT{size.cx - 1, size.cy - 1},
                        POINT{kChartKinds[k].leftOfThumb + 5, 5}, POINT{kChartKinds[k].leftOfThumb + 100, 30}})
            EXPECT_EQ(ScreenPixel(origin.x + p.x, origin.y + p.y), picture.BackBufferPixel(p.x, p.y))
                << p.x << "," << p.y;
        EXPECT_EQ(ScreenPixel(origin.x, origin.y), kChartFrame);
        const RECT thumb = ThumbOnScreen();
        EXPECT_EQ(WindowFromPoint(POINT{thumb.left + 5, thumb.top + 5}), ChartWindow(k));
        // The thin border around it.
        EXPECT_EQ(ScreenPixel(origin.x - 1, origin.y - 1), GetSysColor(COLOR_WINDOWFRAME));
        MoveOffThumb();
    }
}

TEST_F(ChartPopupTest, RightClickHidesAndAMovedChartGoesBackToItsPlace) {
    SelectEdition(1);
    MoveOverThumb();
    const RECT home = WindowRect(ChartWindow(1));
    SendMessageW(ChartWindow(1), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
    EXPECT_FALSE(IsWindowVisible(ChartWindow(1)));
    MoveOverThumb();
    EXPECT_TRUE(IsWindowVisible(ChartWindow(1)));

    // A left press hands the chart to the system's move loop as if its caption had been grabbed.
    SendMessageW(ChartWindow(1), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 34));
    MSG posted{};
    ASSERT_TRUE(PeekMessageW(&posted, ChartWindow(1), WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE));
    EXPECT_EQ(posted.wParam, static_cast<WPARAM>(HTCAPTION));
    EXPECT_EQ(posted.lParam, MAKELPARAM(12, 34));

    // Dropped elsewhere, it goes back to its place when the pointer next rests on the thumbnail.
    SetWindowPos(ChartWindow(1), nullptr, home.left + 50, home.top + 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    MoveOverThumb();
    EXPECT_EQ(WindowRect(ChartWindow(1)).left, home.left);
    EXPECT_EQ(WindowRect(ChartWindow(1)).top, home.top);
}

TEST_F(ChartPopupTest, PictureThatCannotLoadSaysSoInABorderedPopup) {
    ChartKind broken = kChartKinds[0];
    broken.gifId = 9999;
    fw::Modeless<ChartDialog> chart(broken);
    ASSERT_TRUE(chart.Create(broken.templateId, window.get()));
    EXPECT_FALSE(chart.chartPicture.IsReady());
    SetWindowPos(chart.GetSafeHwnd(), HWND_TOP, 20, 300, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    Pump();
    UpdateWindow(chart.GetSafeHwnd());

    // The template's size, the dialog's colour inside a thin border, nothing drawn where the picture would be, and a
    // line of white text across the middle.
    RECT client{};
    GetClientRect(chart.GetSafeHwnd(), &client);
    RECT units{0, 0, 299, 83};
    MapDialogRect(chart.GetSafeHwnd(), &units);
    EXPECT_EQ(client.right, units.right);
    EXPECT_EQ(client.bottom, units.bottom);
    POINT origin{0, 0};
    ClientToScreen(chart.GetSafeHwnd(), &origin);
    EXPECT_EQ(ScreenPixel(origin.x - 1, origin.y - 1), GetSysColor(COLOR_WINDOWFRAME));
    for (POINT p : {POINT{0, 0}, POINT{5, 5}, POINT{39, 0}, POINT{0, 39}, POINT{client.right - 1, client.bottom - 1}})
        EXPECT_EQ(ScreenPixel(origin.x + p.x, origin.y + p.y), kDialogBlue) << p.x << "," << p.y;
    const testing_support::ScreenPixels pixels(
        RECT{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom});
    const RECT text = pixels.BoxOf([](COLORREF c) { return testing_support::Near(c, RGB(255, 255, 255)); });
    EXPECT_GT(text.right - text.left, client.right / 3);
    EXPECT_LT(text.bottom - text.top, client.bottom / 3);
    EXPECT_NEAR((text.top + text.bottom) / 2, client.bottom / 2, 4);
}

TEST_F(ChartPopupTest, ChartsAndTheThumbnailsPictureEndWithTheMainWindow) {
    const HWND charts[] = {ChartWindow(0), ChartWindow(1), ChartWindow(2)};
    const auto thumbnail = reinterpret_cast<HGDIOBJ>(SendMessageW(Item(IDC_THUMB), STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(thumbnail, nullptr);
    SelectEdition(2);
    MoveOverThumb();
    Close();
    for (HWND chart : charts) EXPECT_FALSE(IsWindow(chart));
    EXPECT_EQ(GetObjectType(thumbnail), 0u);
}

TEST_F(ChartPopupTest, AThousandShowsLeaveGdiObjectsAndWindowsFlat) {
    auto showAndHide = [&] {
        MoveOverThumb();
        Pump();
        MoveOffThumb();
        Pump();
    };
    for (int k = 0; k < 3; ++k) {
        SelectEdition(k);
        showAndHide();  // anything made once, on first use, is made now
    }
    const auto before = testing_support::CountUiObjects();
    const int count = testing_support::RoundsFromEnvironment("TARVISK_CHART_SHOWS", 50);  // 1,000 in the full run
    for (int k = 0; k < 3; ++k) {
        SelectEdition(k);
        for (int i = 0; i < count; ++i) showAndHide();
    }
    const auto after = testing_support::CountUiObjects();
    std::cout << "before: " << before.Describe() << "\nafter 3 x " << count << " shows: " << after.Describe() << "\n";
    EXPECT_GT(before.gdiObjects, 0);
    EXPECT_EQ(after, before);
}

}  // namespace
