#include "tests/support/PixelCanvas.h"

#include "tests/support/ScreenKit.h"

namespace testing_support {

PixelCanvas::PixelCanvas(int width, int height, HFONT font) : width_(width), height_(height) {
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* bits = nullptr;
    dc_.reset(CreateCompatibleDC(nullptr));
    bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<const std::uint32_t*>(bits);
    bitmapSelect_.emplace(dc_.get(), bitmap_.get());
    if (font) fontSelect_.emplace(dc_.get(), font);
}

COLORREF PixelCanvas::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    GdiFlush();
    const std::uint32_t p = bits_[y * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

void PixelCanvas::Fill(COLORREF colour) {
    fw::UniqueBrush brush(CreateSolidBrush(colour));
    const RECT all{0, 0, width_, height_};
    FillRect(dc_.get(), &all, brush.get());
}

RECT PixelCanvas::BoxOf(COLORREF colour) const { return BoxOf(colour, RECT{0, 0, width_, height_}); }

RECT PixelCanvas::BoxOf(COLORREF colour, const RECT& area) const {
    return BoundingBox(width_, height_, [&](int x, int y) {
        return x >= area.left && x < area.right && y >= area.top && y < area.bottom && At(x, y) == colour;
    });
}

bool PixelCanvas::Has(COLORREF colour) const { return Count(colour) > 0; }

int PixelCanvas::Count(COLORREF colour) const {
    int count = 0;
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) count += At(x, y) == colour;
    return count;
}

}  // namespace testing_support
