// A bitmap's pixels as one block of 32-bit values (0x00RRGGBB, top row first), whatever the bitmap's own format.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

struct BitmapPixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // empty when the bitmap could not be read

    static BitmapPixels Read(HBITMAP bitmap);
    // Writes the block back into `bitmap` (same size), converted to its format.
    bool Write(HBITMAP bitmap) const;

    static COLORREF ToColour(std::uint32_t pixel) { return RGB(pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF); }
    static std::uint32_t FromColour(COLORREF colour) {
        return static_cast<std::uint32_t>(GetRValue(colour)) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
    }
};
