// Menu objects and the routing of owner-drawn menu items to them.
#include "framework/Menu.h"

#include <unordered_map>

#include "framework/Platform.h"
#include "framework/Window.h"

namespace fw {
namespace {

// Menus, like windows, are only handled on the user-interface thread.
std::unordered_map<HMENU, Menu*>& Objects() {
    static std::unordered_map<HMENU, Menu*> objects;
    return objects;
}

// The object whose menu holds an item with this data and id. Item data alone names an item when it is set (it is
// the address of the item's record); an item without data is known by its id.
Menu* HolderOf(ULONG_PTR data, UINT id) {
    for (const auto& [handle, object] : Objects()) {
        const int count = ::GetMenuItemCount(handle);
        for (int position = 0; position < count; ++position) {
            MENUITEMINFOW info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_DATA | MIIM_ID;
            if (!GetMenuItemInfoW(handle, static_cast<UINT>(position), TRUE, &info)) continue;
            if (data ? info.dwItemData == data : info.dwItemData == 0 && info.wID == id) return object;
        }
    }
    return nullptr;
}

}  // namespace

Menu::~Menu() { DestroyMenu(); }

Menu* Menu::FromHandle(HMENU menu) {
    if (!menu) return nullptr;
    auto& objects = Objects();
    auto found = objects.find(menu);
    return found == objects.end() ? nullptr : found->second;
}

bool Menu::Attach(HMENU menu) {
    if (hmenu_ || !menu || FromHandle(menu)) return false;
    hmenu_ = menu;
    Objects()[menu] = this;
    return true;
}

HMENU Menu::Detach() {
    HMENU menu = hmenu_;
    if (menu) Objects().erase(menu);
    hmenu_ = nullptr;
    return menu;
}

BOOL Menu::CreateMenu() { return Attach(::CreateMenu()) ? TRUE : FALSE; }
BOOL Menu::CreatePopupMenu() { return Attach(::CreatePopupMenu()) ? TRUE : FALSE; }

BOOL Menu::DestroyMenu() {
    HMENU menu = Detach();
    return menu ? ::DestroyMenu(menu) : FALSE;
}

Menu* Menu::GetSubMenu(int position) const { return FromHandle(::GetSubMenu(hmenu_, position)); }
int Menu::GetMenuItemCount() const { return ::GetMenuItemCount(hmenu_); }
UINT Menu::GetMenuItemID(int position) const { return ::GetMenuItemID(hmenu_, position); }
UINT Menu::GetMenuState(UINT item, UINT flags) const { return ::GetMenuState(hmenu_, item, flags); }
UINT Menu::EnableMenuItem(UINT item, UINT flags) { return ::EnableMenuItem(hmenu_, item, flags); }
DWORD Menu::CheckMenuItem(UINT item, UINT flags) { return ::CheckMenuItem(hmenu_, item, flags); }

BOOL Menu::TrackPopupMenu(UINT flags, int x, int y, const Window* owner) const {
    return Sys().TrackPopupMenu(hmenu_, flags, x, y, owner ? owner->GetSafeHwnd() : nullptr);
}

bool Menu::MeasureItem(MEASUREITEMSTRUCT*) { return false; }
bool Menu::DrawItem(DRAWITEMSTRUCT*) { return false; }
LRESULT Menu::MenuChar(wchar_t, UINT) { return 0; }

bool Menu::RouteMenuChar(WPARAM wParam, LPARAM lParam, LRESULT& result) {
    Menu* object = FromHandle(reinterpret_cast<HMENU>(lParam));
    if (!object) return false;
    result = object->MenuChar(static_cast<wchar_t>(LOWORD(wParam)), HIWORD(wParam));
    return result != 0;
}

bool Menu::RouteOwnerDraw(UINT message, LPARAM lParam) {
    if (message == WM_DRAWITEM) {
        auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (!draw || draw->CtlType != ODT_MENU) return false;
        Menu* object = FromHandle(reinterpret_cast<HMENU>(draw->hwndItem));
        return object && object->DrawItem(draw);
    }
    if (message == WM_MEASUREITEM) {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (!measure || measure->CtlType != ODT_MENU) return false;
        Menu* object = HolderOf(measure->itemData, measure->itemID);
        return object && object->MeasureItem(measure);
    }
    return false;
}

}  // namespace fw
