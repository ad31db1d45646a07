// The picture control under Wine with the platform's own loader: the chart pictures as still pictures, a bitmap, the
// loads that must fail and leave the control empty, and a generated three-frame GIF played frame by frame (the test
// decides when each frame's wait ends) with the back buffer read after every step.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "controls/AnimatedPicture.h"
#include "framework/Handles.h"
#include "resources/resource.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kChartFrame = RGB(52, 58, 64);  // the dark border of every chart picture

// --- Pictures made in memory -------------------------------------------------------------------------------------

void PutU16(Bytes& b, unsigned value) {
    b.push_back(static_cast<std::uint8_t>(value));
    b.push_back(static_cast<std::uint8_t>(value >> 8));
}

// LZW data of 2-bit pixels that a decoder reads without building long codes: every two pixels a clear code, so all
// codes stay 3 bits wide. Returned as sub-blocks, with the minimum code size in front and the terminator behind.
Bytes LzwPixels(const std::vector<std::uint8_t>& pixels) {
    std::vector<unsigned> codes{4};
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        if (i > 0 && i % 2 == 0) codes.push_back(4);
        codes.push_back(pixels[i]);
    }
    codes.push_back(5);
    Bytes packed;
    unsigned bits = 0, count = 0;
    for (unsigned code : codes) {
        bits |= code << count;
        count += 3;
        while (count >= 8) {
            packed.push_back(static_cast<std::uint8_t>(bits));
            bits >>= 8;
            count -= 8;
        }
    }
    if (count) packed.push_back(static_cast<std::uint8_t>(bits));
    Bytes out{2};
    for (std::size_t at = 0; at < packed.size(); at += 255) {
        const std::size_t n = std::min<std::size_t>(255, packed.size() - at);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), packed.begin() + static_cast<std::ptrdiff_t>(at),
                   packed.begin() + static_cast<std::ptrdiff_t>(at + n));
    }
    out.push_back(0);
    return out;
}

struct GifFrame {
    int left, top, width, height;
    std::uint8_t colour;  // index into red, green, blue, white
    int disposal;         // -1: no control block
    unsigned delay;
    bool decodable = true;
};

// An 8 x 8 GIF89a with a four-colour global table.
Bytes MakeGif(const std::vector<GifFrame>& frames) {
    Bytes b{'G', 'I', 'F', '8', '9', 'a'};
    PutU16(b, 8);
    PutU16(b, 8);
    b.insert(b.end(), {0x81, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255});
    for (const GifFrame& f : frames) {
        if (f.disposal >= 0) {
            b.insert(b.end(), {0x21, 0xF9, 0x04, static_cast<std::uint8_t>(f.disposal << 2)});
            PutU16(b, f.delay);
            b.insert(b.end(), {0, 0});
        }
        b.push_back(0x2C);
        for (int v : {f.left, f.top, f.width, f.height}) PutU16(b, static_cast<unsigned>(v));
        b.push_back(0);
        Bytes data = LzwPixels(std::vector<std::uint8_t>(static_cast<std::size_t>(f.width * f.height), f.colour));
        if (!f.decodable) data[0] = 0x0F;  // no valid minimum code size
        b.insert(b.end(), data.begin(), data.end());
    }
    b.push_back(0x3B);
    return b;
}

// A 24-bit bitmap file whose top row is red and the rest blue.
Bytes MakeBitmap(int width, int height) {
    const int stride = (width * 3 + 3) & ~3;
    Bytes b{'B', 'M'};
    auto put32 = [&b](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    put32(static_cast<std::uint32_t>(54 + stride * height));
    put32(0);
    put32(54);
    put32(40);
    put32(static_cast<std::uint32_t>(width));
    put32(static_cast<std::uint32_t>(height));
    PutU16(b, 1);
    PutU16(b, 24);
    for (int i = 0; i < 6; ++i) put32(0);
    for (int row = 0; row < height; ++row) {  // bottom-up
        const bool top = row == height - 1;
        for (int x = 0; x < width; ++x) b.insert(b.end(), {top ? std::uint8_t{0} : std::uint8_t{255}, 0,
                                                          top ? std::uint8_t{255} : std::uint8_t{0}});
        b.insert(b.end(), static_cast<std::size_t>(stride - width * 3), 0);
    }
    return b;
}

fw::UniqueGlobal ToGlobal(const Bytes& bytes) {
    fw::UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
    std::memcpy(GlobalLock(block.get()), bytes.data(), bytes.size());
    GlobalUnlock(block.get());
    return block;
}

// --- A window to attach to, and a player the test steps ------------------------------------------------------------

class PictureTest : public ::testing::Test {
protected:
    void SetUp() override {
        host_ = CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 50, 50, 700, 300, nullptr, nullptr,
                                nullptr, nullptr);
        control_ = CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE | SS_BLACKFRAME, 5, 7, 30, 30, host_,
                                   nullptr, nullptr, nullptr);
        ASSERT_TRUE(picture.SubclassWindow(control_));
    }
    void TearDown() override { DestroyWindow(host_); }

    BOOL Load(const Bytes& bytes) {
        fw::UniqueGlobal block = ToGlobal(bytes);
        return picture.LoadPicture(block.get(), static_cast<DWORD>(bytes.size()));
    }

    SIZE ControlSize() const {
        RECT r{};
        GetWindowRect(control_, &r);
        return SIZE{r.right - r.left, r.bottom - r.top};
    }

    // Empty: no back buffer, no size taken, no thread.
    void ExpectEmpty(const char* what) {
        EXPECT_FALSE(picture.IsReady()) << what;
        EXPECT_FALSE(picture.IsPlaying()) << what;
        EXPECT_EQ(picture.BackBufferPixel(0, 0), CLR_INVALID) << what;
        EXPECT_FALSE(picture.ShowPicture()) << what;
        EXPECT_EQ(ControlSize().cx, 30) << what;
    }

    HWND host_ = nullptr;
    HWND control_ = nullptr;
    AnimatedPicture picture;
};

// Holds the player in each frame's wait until the test lets it go on.
class Stepper {
public:
    Stepper()
        : reached_(CreateEventW(nullptr, FALSE, FALSE, nullptr)), go_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

    AnimatedPicture::FrameWait Wait() {
        return [this](HANDLE stopEvent, DWORD milliseconds) {
            {
                std::lock_guard lock(mutex_);
                waits_.push_back(milliseconds);
            }
            SetEvent(reached_.get());
            HANDLE either[] = {stopEvent, go_.get()};
            WaitForMultipleObjects(2, either, FALSE, INFINITE);
        };
    }
    // Until the player has drawn its next frame and is waiting.
    bool Reached() { return WaitForSingleObject(reached_.get(), 5000) == WAIT_OBJECT_0; }
    bool Next() {
        SetEvent(go_.get());
        return Reached();
    }
    std::vector<DWORD> Waits() {
        std::lock_guard lock(mutex_);
        return waits_;
    }

private:
    fw::UniqueKernelHandle reached_, go_;
    std::mutex mutex_;
    std::vector<DWORD> waits_;
};

// --- Still pictures ------------------------------------------------------------------------------------------------

TEST_F(PictureTest, ChartResourcesAreStillPicturesOfTheirSize) {
    const struct {
        int id;
        int width, height;
        POINT topRight;
        COLORREF topRightColour, bottomRightColour;
    } charts[] = {
        {IDG_CHART86, 598, 166, {590, 5}, RGB(252, 236, 234), RGB(206, 212, 218)},
        {IDG_CHART98, 598, 166, {590, 5}, RGB(252, 236, 234), RGB(206, 212, 218)},
        {IDG_CHARTRARE, 476, 186, {468, 5}, kChartFrame, kWhite},
    };
    for (const auto& chart : charts) {
        SCOPED_TRACE(chart.id);
        ASSERT_TRUE(picture.LoadPicture(MAKEINTRESOURCEW(chart.id), L"GIF"));
        EXPECT_FALSE(picture.IsAnimated());
        EXPECT_EQ(ControlSize().cx, chart.width);
        EXPECT_EQ(ControlSize().cy, chart.height);
        RECT place{};
        GetWindowRect(control_, &place);
        MapWindowPoints(nullptr, host_, reinterpret_cast<POINT*>(&place), 2);
        EXPECT_EQ(place.left, 5);
        EXPECT_EQ(place.top, 7);
        // Until shown, the buffer is in the menu colour.
        EXPECT_EQ(picture.BackBufferPixel(0, 0), GetSysColor(COLOR_MENU));

        EXPECT_TRUE(picture.ShowPicture());
        EXPECT_FALSE(picture.IsPlaying());
        EXPECT_EQ(picture.BackBufferPixel(0, 0), kChartFrame);
        EXPECT_EQ(picture.BackBufferPixel(chart.topRight.x, chart.topRight.y), chart.topRightColour);
        EXPECT_EQ(picture.BackBufferPixel(chart.width - 1, chart.height - 1), chart.bottomRightColour);
        EXPECT_EQ(picture.BackBufferPixel(chart.width, 0), CLR_INVALID);
    }
}

TEST_F(PictureTest, OtherFormatsTakeTheirSizeAtScreenResolution) {
    ASSERT_TRUE(Load(MakeBitmap(10, 6)));
    const int dpi = GetDeviceCaps(fw::ClientDc(nullptr).get(), LOGPIXELSX);
    EXPECT_EQ(ControlSize().cx, MulDiv(10, dpi, 96));
    EXPECT_EQ(ControlSize().cy, MulDiv(6, dpi, 96));
    EXPECT_TRUE(picture.ShowPicture());
    EXPECT_EQ(picture.BackBufferPixel(0, 0), kRed);
    EXPECT_EQ(picture.BackBufferPixel(9, 5), kBlue);

    // Another GIF version is not walked: the loader gets it whole and the picture's own size counts.
    Bytes otherVersion = MakeGif({{0, 0, 8, 8, 0, 0, 0}, {0, 0, 4, 4, 1, 0, 0}});
    otherVersion[3] = '9';
    otherVersion[4] = '0';
    ASSERT_TRUE(Load(otherVersion)) << "Wine's loader reads any GIF version";
    EXPECT_EQ(picture.FrameCount(), 0u);
    EXPECT_FALSE(picture.IsAnimated());
    EXPECT_EQ(ControlSize().cx, MulDiv(8, dpi, 96));
    EXPECT_TRUE(picture.ShowPicture());
    EXPECT_FALSE(picture.IsPlaying());
}

TEST_F(PictureTest, FailedLoadsLeaveTheControlEmpty) {
    const Bytes gif = MakeGif({{0, 0, 8, 8, 0, 0, 0}});
    Bytes noFrame(gif.begin(), gif.begin() + 25);
    noFrame.push_back(0x3B);
    const struct {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"no frame", noFrame},
        {"image cut short", Bytes(gif.begin(), gif.end() - 6)},
        {"not a picture", Bytes{'B', 'M', 0, 0}},
        {"undecodable single frame", MakeGif({{0, 0, 8, 8, 0, 0, 0, false}})},
        {"no frame decodable", MakeGif({{0, 0, 8, 8, 0, 0, 0, false}, {0, 0, 8, 8, 1, 0, 0, false}})},
    };
    for (const auto& c : cases) {
        // Loaded first, so a failure must also let go of what was there.
        ASSERT_TRUE(Load(gif)) << c.name;
        SetWindowPos(control_, nullptr, 0, 0, 30, 30, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_FALSE(Load(c.bytes)) << c.name;
        ExpectEmpty(c.name);
    }
    EXPECT_FALSE(picture.LoadPicture(MAKEINTRESOURCEW(9999), L"GIF"));
    ExpectEmpty("missing resource");
}

TEST_F(PictureTest, OneDecodableFrameOfSeveralIsShownAsAStill) {
    ASSERT_TRUE(Load(MakeGif({{0, 0, 8, 8, 3, 0, 0, false}, {2, 4, 4, 2, 1, 1, 20}, {0, 0, 8, 8, 2, 0, 0, false}})));
    EXPECT_EQ(picture.FrameCount(), 1u);
    EXPECT_FALSE(picture.IsAnimated());
    EXPECT_TRUE(picture.ShowPicture());
    EXPECT_FALSE(picture.IsPlaying());
    EXPECT_EQ(picture.BackBufferPixel(3, 5), kGreen);
    EXPECT_EQ(picture.BackBufferPixel(1, 1), GetSysColor(COLOR_MENU)) << "drawn at its own place only";
}

// --- Playing -------------------------------------------------------------------------------------------------------

// Frame 1 restores what was under it, frame 2 restores the background, frame 3 has no control block.
const std::vector<GifFrame> kThreeFrames{
    {0, 4, 8, 4, 0, 3, 0},   // red bottom half, restore previous, delay 0
    {2, 2, 4, 4, 1, 2, 5},   // green centre, restore background, delay 5
    {4, 0, 4, 4, 2, -1, 0},  // blue top right
};

TEST_F(PictureTest, PlayerDrawsDisposesAndLoops) {
    const COLORREF menu = GetSysColor(COLOR_MENU);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    ASSERT_NE(menu, face) << "the steps below tell the two apart";

    Stepper stepper;
    picture.SetFrameWait(stepper.Wait());
    ASSERT_TRUE(Load(MakeGif(kThreeFrames)));
    EXPECT_TRUE(picture.IsAnimated());
    EXPECT_EQ(picture.FrameCount(), 3u);
    EXPECT_EQ(ControlSize().cx, 8);
    EXPECT_EQ(picture.BackgroundColour(), face);
    EXPECT_FALSE(picture.ShowPicture()) << "an animated picture answers FALSE although it plays";
    EXPECT_TRUE(picture.IsPlaying());

    // Pixels (x, y) looked at after each frame: bottom left, centre, top right, top left.
    auto look = [&] {
        return std::vector<COLORREF>{picture.BackBufferPixel(0, 7), picture.BackBufferPixel(3, 3),
                                     picture.BackBufferPixel(3, 5), picture.BackBufferPixel(5, 1),
                                     picture.BackBufferPixel(0, 0)};
    };
    using Px = std::vector<COLORREF>;
    ASSERT_TRUE(stepper.Reached());
    EXPECT_EQ(look(), (Px{kRed, menu, kRed, menu, menu})) << "frame 1";
    ASSERT_TRUE(stepper.Next());
    EXPECT_EQ(look(), (Px{menu, kGreen, kGreen, menu, menu})) << "frame 2 over frame 1 put back";
    ASSERT_TRUE(stepper.Next());
    EXPECT_EQ(look(), (Px{menu, face, face, kBlue, menu})) << "frame 3 after frame 2 cleared to the background";
    ASSERT_TRUE(stepper.Next());
    EXPECT_EQ(look(), (Px{kRed, face, kRed, face, face})) << "frame 1 again on a picture cleared for the loop";
    ASSERT_TRUE(stepper.Next());
    EXPECT_EQ(look(), (Px{face, kGreen, kGreen, face, face})) << "frame 2 again";

    // Stopped during frame 2's wait, a new start completes its disposal and draws it again.
    picture.StopPlayer();
    EXPECT_FALSE(picture.IsPlaying());
    EXPECT_FALSE(picture.ShowPicture());
    ASSERT_TRUE(stepper.Reached());
    EXPECT_EQ(look(), (Px{face, kGreen, kGreen, face, face}));
    ASSERT_TRUE(stepper.Next());
    EXPECT_EQ(look(), (Px{face, face, face, kBlue, face}));

    // Delay 0 and no control block wait 100 ms, delay 5 waits 50 ms.
    EXPECT_EQ(stepper.Waits(), (std::vector<DWORD>{100, 50, 100, 100, 50, 50, 100}));

    // Loading again stops the player first.
    ASSERT_TRUE(picture.LoadPicture(MAKEINTRESOURCEW(IDG_CHART86), L"GIF"));
    EXPECT_FALSE(picture.IsPlaying());
    EXPECT_FALSE(picture.IsAnimated());
}

TEST_F(PictureTest, PaintCopiesTheBackBufferWhileThePlayerRuns) {
    // The real wait: frames come every 50-100 ms while the window is painted; the copy never tears or crashes.
    ASSERT_TRUE(Load(MakeGif(kThreeFrames)));
    picture.ShowPicture();
    const ULONGLONG until = GetTickCount64() + 400;
    int paints = 0;
    while (GetTickCount64() < until) {
        InvalidateRect(control_, nullptr, FALSE);
        UpdateWindow(control_);
        ++paints;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    EXPECT_GT(paints, 0);
    EXPECT_TRUE(picture.IsPlaying());
    DestroyWindow(host_);  // the control's destruction stops the player
    host_ = nullptr;
    EXPECT_FALSE(picture.IsPlaying());
}

}  // namespace
