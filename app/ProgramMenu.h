// The program's right-click menus (the tray icon's and the main window's menu 131, the mini window's menu 132): icon
// menus with the pictures of the program's toolbar, opened at the pointer and answered at once.
#pragma once

#include <windows.h>

class GlyphMenu;

namespace fw {
class Window;
}

// Loads menu `menuId` into `menu` with the toolbar's pictures, greys `greyedCommand` (0: none), brings `owner` to the
// front (so that a click elsewhere closes the menu) and tracks the menu's popup at the pointer for `owner`. The chosen
// command; 0 when the menu was dismissed or could not be loaded. The menu stays in `menu` until the caller lets it go.
UINT TrackMenuAtPointer(GlyphMenu& menu, UINT menuId, const fw::Window& owner, UINT greyedCommand = 0);
