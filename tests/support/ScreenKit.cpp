#include "tests/support/ScreenKit.h"

#include <algorithm>
#include <cstdlib>

#include "framework/Handles.h"

namespace testing_support {

ScreenPixels::ScreenPixels(const RECT& area)
    : width_(std::max<int>(0, area.right - area.left)), height_(std::max<int>(0, area.bottom - area.top)) {
    bits_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0);
    if (bits_.empty()) return;
    GdiFlush();
    fw::ClientDc screen(nullptr);
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), width_, -height_, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* raw = nullptr;
    fw::UniqueMemoryDc dc(CreateCompatibleDC(screen.get()));
    fw::UniqueBitmap bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &raw, nullptr, 0));
    if (!bitmap) return;
    {
        fw::ScopedSelect select(dc.get(), bitmap.get());
        BitBlt(dc.get(), 0, 0, width_, height_, screen.get(), area.left, area.top, SRCCOPY);
    }
    GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(raw);
    std::copy(pixels, pixels + bits_.size(), bits_.begin());
}

COLORREF ScreenPixels::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    const std::uint32_t p = bits_[static_cast<std::size_t>(y) * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

int ScreenPixels::Count(const std::function<bool(COLORREF)>& match) const {
    int count = 0;
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) count += match(At(x, y)) ? 1 : 0;
    return count;
}

RECT ScreenPixels::BoxOf(const std::function<bool(COLORREF)>& match) const {
    return BoundingBox(width_, height_, [&](int x, int y) { return match(At(x, y)); });
}

double ScreenPixels::FullestRow(const std::function<bool(COLORREF)>& match) const {
    int best = 0;
    for (int y = 0; y < height_; ++y) {
        int count = 0;
        for (int x = 0; x < width_; ++x) count += match(At(x, y)) ? 1 : 0;
        best = std::max(best, count);
    }
    return width_ ? static_cast<double>(best) / width_ : 0.0;
}

RECT BoundingBox(int width, int height, const std::function<bool(int x, int y)>& match) {
    RECT box{width, height, 0, 0};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (match(x, y)) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    if (box.right == 0) box = RECT{};
    return box;
}

RECT ScreenRectOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

POINT CentreOf(const RECT& rect) { return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

bool Near(COLORREF colour, COLORREF wanted, int tolerance) {
    return std::abs(GetRValue(colour) - GetRValue(wanted)) <= tolerance &&
           std::abs(GetGValue(colour) - GetGValue(wanted)) <= tolerance &&
           std::abs(GetBValue(colour) - GetBValue(wanted)) <= tolerance;
}

void MoveTo(POINT screen) {
    // Absolute positions run from 0 to 65535 across the primary screen.
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screen.x, 65535, width > 1 ? width - 1 : 1);
    input.mi.dy = MulDiv(screen.y, 65535, height > 1 ? height - 1 : 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

void ClickAt(POINT screen, bool rightButton) {
    MoveTo(screen);
    INPUT inputs[2]{};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = rightButton ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = rightButton ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    SendInput(2, inputs, sizeof(INPUT));
}

void PressKey(WORD virtualKey) {
    INPUT inputs[2]{};
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = virtualKey;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}

}  // namespace testing_support
