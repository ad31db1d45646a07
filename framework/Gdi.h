// Small drawing helpers shared by the owner-drawn controls and menus.
#pragma once

#include <windows.h>

#include "framework/Handles.h"

namespace fw {

// A solid rectangle in `colour`, without a brush: ExtTextOut's opaque fill. The DC's background colour is put back.
void FillSolid(HDC dc, int left, int top, int right, int bottom, COLORREF colour);
void FillSolid(HDC dc, const RECT& rect, COLORREF colour);

// A one-pixel 3-D frame just inside `rect`: top and left edges in `topLeft`, right and bottom edges (the corners they
// share with the others included) in `bottomRight`.
void Draw3dRect(HDC dc, const RECT& rect, COLORREF topLeft, COLORREF bottomRight);

// The font the system draws menus with (the non-client metrics' menu font).
UniqueFont CreateMenuFont();

}  // namespace fw
