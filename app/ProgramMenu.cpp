#include "app/ProgramMenu.h"

#include "framework/Window.h"
#include "menu/GlyphMenu.h"
#include "resources/resource.h"

UINT TrackMenuAtPointer(GlyphMenu& menu, UINT menuId, const fw::Window& owner, UINT greyedCommand) {
    POINT cursor{};
    GetCursorPos(&cursor);
    menu.LoadFromResource(menuId);
    menu.LoadToolbarImages(IDR_TOOLBAR);
    fw::Menu* popup = menu.GetSubMenu(0);
    if (!popup) return 0;
    if (greyedCommand) popup->EnableMenuItem(greyedCommand, MF_BYCOMMAND | MF_DISABLED | MF_GRAYED);
    SetForegroundWindow(owner.GetSafeHwnd());
    return static_cast<UINT>(popup->TrackPopupMenu(TPM_RIGHTBUTTON | TPM_RETURNCMD, cursor.x, cursor.y, &owner));
}
