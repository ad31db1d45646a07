// What a user sees and does, for tests that drive real windows: the screen's pixels in a rectangle, and mouse clicks
// and key presses that go through the system's input queue like a person's.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace testing_support {

// A copy of the screen's pixels in `area` (screen coordinates), taken when constructed.
class ScreenPixels {
public:
    explicit ScreenPixels(const RECT& area);

    int Width() const { return width_; }
    int Height() const { return height_; }
    COLORREF At(int x, int y) const;  // relative to the area's top-left corner
    int Count(const std::function<bool(COLORREF)>& match) const;
    // Bounding box of the matching pixels, relative to the area (empty when none match).
    RECT BoxOf(const std::function<bool(COLORREF)>& match) const;
    // The largest share (0..1) of matching pixels in any one row.
    double FullestRow(const std::function<bool(COLORREF)>& match) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> bits_;
};

// Bounding box of the points of a width x height area that `match` picks (an empty rectangle when none).
RECT BoundingBox(int width, int height, const std::function<bool(int x, int y)>& match);

// The window's rectangle on the screen.
RECT ScreenRectOf(HWND window);
POINT CentreOf(const RECT& rect);

// Text is drawn smoothed, so a text colour is recognised within a tolerance on each channel.
bool Near(COLORREF colour, COLORREF wanted, int tolerance = 40);

// The pointer moved to a screen point as a mouse would move it; a press and release of the left (or right) mouse
// button there; a key's press and release.
void MoveTo(POINT screen);
void ClickAt(POINT screen, bool rightButton = false);
void PressKey(WORD virtualKey);

}  // namespace testing_support
