// Menu objects: one C++ object per menu handle the program handles itself.
//
// A menu object owns its handle and is entered in a map from handles to objects while it holds one, so code that has
// only a handle (a popup of a loaded menu, the menu named in a draw record) finds the object. Windows asks the owner
// window of a tracked popup to measure and draw its owner-drawn items; every framework window hands those requests
// to the menu object that holds the item (RouteOwnerDraw), so no window needs to know which menus it shows.
#pragma once

#include <windows.h>

namespace fw {

class Window;

class Menu {
public:
    Menu() = default;
    // Destroys the menu handle (and with it the popups it holds) when the object still has one.
    virtual ~Menu();
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    HMENU GetSafeHmenu() const { return hmenu_; }

    // The object holding `menu`, or nullptr when the program has none for it.
    static Menu* FromHandle(HMENU menu);

    // Takes `menu` (false when this object already holds one, or another object holds `menu`).
    bool Attach(HMENU menu);
    // Gives up the handle without destroying it.
    HMENU Detach();

    BOOL CreateMenu();
    BOOL CreatePopupMenu();
    // Destroys the handle and forgets it.
    BOOL DestroyMenu();

    // The object of the popup at `position`: nullptr when there is no popup there or no object holds it.
    Menu* GetSubMenu(int position) const;
    int GetMenuItemCount() const;
    UINT GetMenuItemID(int position) const;
    UINT GetMenuState(UINT item, UINT flags) const;
    UINT EnableMenuItem(UINT item, UINT flags);
    DWORD CheckMenuItem(UINT item, UINT flags);

    // Shows this menu as a popup at (x, y) for `owner`, which receives its notifications and owner-draw requests, and
    // returns when it closes. With TPM_RETURNCMD the result is the chosen command, 0 when the menu was dismissed.
    // Through the platform seam, so tests can answer it.
    BOOL TrackPopupMenu(UINT flags, int x, int y, const Window* owner) const;

    // Owner-drawn items of this menu; true when handled.
    virtual bool MeasureItem(MEASUREITEMSTRUCT* measureItem);
    virtual bool DrawItem(DRAWITEMSTRUCT* drawItem);
    // A key pressed while this menu is open that no item's text answers (owner-drawn items have none): the answer
    // to WM_MENUCHAR (MAKELRESULT(position, MNC_EXECUTE or MNC_SELECT)), 0 to let the system beep.
    virtual LRESULT MenuChar(wchar_t key, UINT flags);

    // Hands a WM_MEASUREITEM or WM_DRAWITEM about a menu item (ODT_MENU) that any window received to the object of
    // the menu that holds the item: for drawing the record names the menu; for measuring the item is found by its
    // item data and id among the menus that have objects. True when an object handled it.
    static bool RouteOwnerDraw(UINT message, LPARAM lParam);
    // Hands a WM_MENUCHAR to the object of the menu it names; true with `result` when the object answered.
    static bool RouteMenuChar(WPARAM wParam, LPARAM lParam, LRESULT& result);

protected:
    HMENU hmenu_ = nullptr;
};

}  // namespace fw
