// Small drawing helpers shared by the owner-drawn controls and menus.
#include "framework/Gdi.h"

#include <cstddef>

namespace fw {

void FillSolid(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
    const RECT rect{left, top, right, bottom};
    const COLORREF previous = SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    SetBkColor(dc, previous);
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
    FillSolid(dc, rect.left, rect.top, rect.right, rect.bottom, colour);
}

void Draw3dRect(HDC dc, const RECT& rect, COLORREF topLeft, COLORREF bottomRight) {
    FillSolid(dc, rect.left, rect.top, rect.right - 1, rect.top + 1, topLeft);
    FillSolid(dc, rect.left, rect.top, rect.left + 1, rect.bottom - 1, topLeft);
    FillSolid(dc, rect.right - 1, rect.top, rect.right, rect.bottom, bottomRight);
    FillSolid(dc, rect.left, rect.bottom - 1, rect.right, rect.bottom, bottomRight);
}

UniqueFont CreateMenuFont() {
    // The record without the field Vista added, so the call succeeds on every version.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
        return UniqueFont(static_cast<HFONT>(nullptr));
    return UniqueFont(CreateFontIndirectW(&metrics.lfMenuFont));
}

}  // namespace fw
