// A 32-bit top-down bitmap in a memory DC for owner-drawn output to be drawn into and read back pixel by pixel.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <ostream>

#include "framework/Handles.h"

// Rectangles compare and print in test expectations.
inline bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }
inline void PrintTo(const RECT& r, std::ostream* out) {
    *out << "(" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
}

namespace testing_support {

class PixelCanvas {
public:
    // `font` (not owned) is selected for the canvas's life, as a control's or menu's DC would have it.
    PixelCanvas(int width, int height, HFONT font = nullptr);

    HDC dc() const { return dc_.get(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    COLORREF At(int x, int y) const;
    void Fill(COLORREF colour);
    // Bounding box of the pixels of `colour` (an empty rectangle when there are none), in `area` when given.
    RECT BoxOf(COLORREF colour) const;
    RECT BoxOf(COLORREF colour, const RECT& area) const;
    bool Has(COLORREF colour) const;
    int Count(COLORREF colour) const;

private:
    int width_, height_;
    fw::UniqueMemoryDc dc_;
    fw::UniqueBitmap bitmap_;
    const std::uint32_t* bits_ = nullptr;
    std::optional<fw::ScopedSelect> bitmapSelect_;
    std::optional<fw::ScopedSelect> fontSelect_;
};

}  // namespace testing_support
