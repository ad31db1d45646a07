// The icon menu's model: loading a menu template into owner-drawn items, binding toolbar pictures to them, finding
// items, the process-wide picture list, and teardown.
#include "menu/GlyphMenu.h"

#include <algorithm>
#include <cstdint>
#include <map>

#include "core/MenuResources.h"
#include "framework/Gdi.h"
#include "framework/Resources.h"
#include "framework/Text.h"
#include "menu/BitmapPixels.h"
#include "menu/MenuDevice.h"

namespace {

const wchar_t* const kToolbarType = MAKEINTRESOURCEW(241);

// The process-wide pictures. The list lives until the process ends; it only grows.
struct SharedPictures {
    fw::UniqueImageList list;
    std::vector<UINT> ids;
    // What each command's pictures were made from, by first slot (see StoreSharedImage).
    std::map<int, std::vector<std::uint32_t>> signatures;
};

SharedPictures& Shared() {
    static SharedPictures shared;
    return shared;
}

fw::UniqueImageList NewIconList() {
    return fw::UniqueImageList(
        ImageList_Create(GlyphMenu::iconWidth, GlyphMenu::iconHeight, ILC_COLORDDB | ILC_MASK, 1, 1));
}

// An icon of a bitmap whose button-face pixels are transparent, made through a one-picture list.
fw::UniqueIcon IconOfRendered(HBITMAP bitmap) {
    fw::UniqueImageList single = NewIconList();
    if (!single || ImageList_AddMasked(single.get(), bitmap, GetSysColor(COLOR_BTNFACE)) < 0) return {};
    return fw::UniqueIcon(ImageList_GetIcon(single.get(), 0, ILD_NORMAL));
}

std::wstring MenuString(HMENU menu, int position) {
    wchar_t text[256] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), text, 256, MF_BYPOSITION);
    return text;
}

}  // namespace

GlyphMenu::GlyphMenu() = default;

GlyphMenu::~GlyphMenu() { DestroyGlyphMenu(); }

bool GlyphMenu::LoadFromResource(UINT id) { return LoadFromResource(MAKEINTRESOURCEW(id & 0xFFFF)); }

bool GlyphMenu::LoadFromResource(const wchar_t* name) {
    const auto parsed = core::ParseMenuTemplate(fw::FindResourceData(name, RT_MENU));
    if (!parsed) return false;
    DestroyGlyphMenu();
    if (!CreateMenu()) return false;

    // The menus still being filled, innermost last.
    std::vector<GlyphMenu*> open{this};
    for (const core::MenuTemplateItem& item : *parsed) {
        const UINT flags = item.options & ~static_cast<UINT>(MF_END);
        const std::wstring label(item.label.begin(), item.label.end());
        GlyphMenu* parent = open.back();
        if (flags & MF_POPUP) {
            auto popup = std::make_unique<GlyphMenu>();
            if (!popup->CreatePopupMenu()) {
                DestroyGlyphMenu();
                return false;
            }
            GlyphMenu* child = popup.get();
            parent->builtPopups_.push_back(std::move(popup));
            parent->AppendGlyphItem(label, flags, reinterpret_cast<UINT_PTR>(child->GetSafeHmenu()));
            open.push_back(child);
            continue;
        }
        parent->AppendGlyphItem(label, flags, item.id);
        for (int closed = 0; closed < item.closes; ++closed) {
            open.back()->AlignShortcutColumns();
            open.pop_back();
        }
    }
    MakeTopLevelPlain(0);
    loadedFromResource_ = true;
    return true;
}

void GlyphMenu::MakeTopLevelPlain(int first) {
    const int count = GetMenuItemCount();
    for (int position = first; position < count; ++position) {
        const std::size_t index = static_cast<std::size_t>(position - first);
        if (index >= items_.size()) break;
        GlyphItem& record = *items_[index];
        if (HMENU popup = ::GetSubMenu(hmenu_, position)) {
            record.flags = MF_BYPOSITION | MF_POPUP;
            ModifyMenuW(hmenu_, static_cast<UINT>(position), record.flags | MF_STRING,
                        reinterpret_cast<UINT_PTR>(popup), record.text.c_str());
        } else {
            record.flags = MF_BYPOSITION;
            ModifyMenuW(hmenu_, static_cast<UINT>(position), record.flags | MF_STRING, record.commandId,
                        record.text.c_str());
        }
    }
}

BOOL GlyphMenu::AppendGlyphItem(const std::wstring& text, UINT flags, UINT_PTR id, int imageResource) {
    if (id == 0)
        flags = (flags & MF_BYPOSITION) | MF_SEPARATOR | MF_OWNERDRAW;
    else
        flags |= MF_OWNERDRAW;

    auto record = std::make_unique<GlyphItem>();
    record->text = text;
    // A popup's "id" is a handle value: it names no command and has no picture.
    if (!(flags & MF_POPUP) && id != 0) {
        const UINT command = static_cast<UINT>(id);
        if (imageResource < 0) {
            record->imageSlot = FindSharedImage(command);
        } else {
            int picture = 0;
            const auto toolbar = core::ParseToolbarResource(
                fw::FindResourceData(MAKEINTRESOURCEW(imageResource & 0xFFFF), kToolbarType));
            for (const core::ToolbarPicture& known : toolbar ? core::ToolbarPictures(*toolbar)
                                                             : std::vector<core::ToolbarPicture>{}) {
                if (known.id == command) {
                    picture = known.picture;
                    break;
                }
            }
            fw::UniqueImageList strip = NewIconList();
            if (strip && AddImageStrip(strip.get(), static_cast<UINT>(imageResource)))
                record->imageSlot = StoreSharedImage(strip.get(), picture, command);
        }
    }
    record->commandId = id;
    record->flags = flags;

    GlyphItem* item = record.get();
    items_.push_back(std::move(record));
    if (!AppendMenuW(hmenu_, flags, id, reinterpret_cast<const wchar_t*>(item))) {
        // Keep the records in step with the menu's items.
        items_.pop_back();
        return FALSE;
    }
    if (flags & MF_POPUP) popupHandles_.push_back(reinterpret_cast<HMENU>(id));

    if (loadedFromResource_) {
        // Entries put in front of the loaded ones by other code have no record: skip them.
        int first = 0;
        const int count = GetMenuItemCount();
        while (first < count && MenuString(hmenu_, first) != items_.front()->text) ++first;
        MakeTopLevelPlain(first < count ? first : 0);
    }
    return TRUE;
}

void GlyphMenu::AlignShortcutColumns() {
    fw::UniqueFont font = fw::CreateMenuFont();
    const HWND window = MenuReferenceWindow();
    fw::ClientDc dc(window);
    if (!dc) return;
    fw::ScopedSelect selectFont(dc.get(), font.get());
    auto widthOf = [&](const std::wstring& text) {
        SIZE size{};
        GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
    };
    auto labelOf = [](const std::wstring& text) { return text.substr(0, text.find(L'\t')); };

    int column = 0;
    for (const auto& item : items_) column = std::max(column, widthOf(labelOf(item->text) + L" "));
    for (const auto& item : items_) {
        const std::size_t tab = item->text.find(L'\t');
        if (tab == std::wstring::npos) continue;
        std::wstring label = item->text.substr(0, tab);
        // Each space widens the label, so this ends; the cap only guards against a font that reports no width.
        for (int spaces = 0; widthOf(label) < column && spaces < 256; ++spaces) label += L' ';
        item->text = label + item->text.substr(tab);
    }
}

bool GlyphMenu::LoadToolbarImages(UINT id) {
    const auto toolbar =
        core::ParseToolbarResource(fw::FindResourceData(MAKEINTRESOURCEW(id & 0xFFFF), kToolbarType));
    if (!toolbar) return false;
    fw::UniqueImageList strip = NewIconList();
    if (!strip || !AddImageStrip(strip.get(), id)) return false;
    for (const core::ToolbarPicture& button : core::ToolbarPictures(*toolbar)) {
        if (GetMenuState(button.id, MF_BYCOMMAND) == static_cast<UINT>(-1)) continue;
        SetItemImage(nullptr, button.id, strip.get(), button.picture);
    }
    return true;
}

BOOL GlyphMenu::SetItemImage(const char* gbkText, UINT id, HIMAGELIST list, int index) {
    const std::wstring text = gbkText ? fw::Widen(gbkText) : std::wstring();
    std::vector<Found> visited;
    BOOL result = FALSE;
    for (Found found = FindItem(id); found.menu; found = FindNextItem(id, visited)) {
        visited.push_back(found);
        GlyphItem* record = found.menu->ItemAt(found.position);
        if (!record) continue;
        if (gbkText) record->text = text;
        if (list) record->imageSlot = StoreSharedImage(list, index, id);
        record->commandId = id;
        record->flags = (record->flags & ~static_cast<UINT>(MF_BYPOSITION)) | MF_OWNERDRAW;
        // Each item by its own position: by command, a command listed twice would get one record for both.
        result = ModifyMenuW(found.menu->hmenu_, static_cast<UINT>(found.position), record->flags | MF_BYPOSITION,
                             id, reinterpret_cast<const wchar_t*>(record));
    }
    return result;
}

GlyphMenu::Found GlyphMenu::FindItem(UINT id) { return Search(id, nullptr); }

GlyphMenu::Found GlyphMenu::FindNextItem(UINT id, const std::vector<Found>& visited) {
    return Search(id, &visited);
}

GlyphMenu::Found GlyphMenu::Search(UINT id, const std::vector<Found>* skip) {
    const int count = GetMenuItemCount();
    for (int position = 0; position < count; ++position) {
        if (HMENU popup = ::GetSubMenu(hmenu_, position)) {
            if (auto* object = dynamic_cast<GlyphMenu*>(fw::Menu::FromHandle(popup))) {
                const Found inner = object->Search(id, skip);
                if (inner.menu) return inner;
            }
            continue;
        }
        const Found here{this, position};
        if (GetMenuItemID(position) == id && !(skip && std::ranges::find(*skip, here) != skip->end())) return here;
    }
    return {};
}

LRESULT GlyphMenu::MenuChar(wchar_t key, UINT) {
    // The character after a single "&" of the label ("&&" is a plain ampersand).
    auto mnemonicOf = [](const std::wstring& text) -> wchar_t {
        const std::wstring label = text.substr(0, text.find(L'\t'));
        for (std::size_t at = label.find(L'&'); at != std::wstring::npos && at + 1 < label.size();
             at = label.find(L'&', at + 2)) {
            if (label[at + 1] != L'&') return label[at + 1];
        }
        return 0;
    };
    auto upper = [](wchar_t character) {
        CharUpperBuffW(&character, 1);
        return character;
    };
    const wchar_t wanted = upper(key);
    std::vector<int> matches;
    int selected = -1;
    const int count = GetMenuItemCount();
    for (int position = 0; position < count; ++position) {
        if (GetMenuState(static_cast<UINT>(position), MF_BYPOSITION) & MF_HILITE) selected = position;
        const GlyphItem* item = ItemAt(position);
        if (!item) continue;
        const wchar_t mnemonic = mnemonicOf(item->text);
        if (mnemonic && upper(mnemonic) == wanted) matches.push_back(position);
    }
    if (matches.empty()) return 0;
    if (matches.size() == 1) return MAKELRESULT(matches.front(), MNC_EXECUTE);
    // Several items share the letter: each press moves to the next of them.
    const auto next = std::ranges::find_if(matches, [selected](int position) { return position > selected; });
    return MAKELRESULT(next == matches.end() ? matches.front() : *next, MNC_SELECT);
}

GlyphItem* GlyphMenu::ItemFor(ULONG_PTR data) const {
    for (const auto& item : items_)
        if (reinterpret_cast<ULONG_PTR>(item.get()) == data) return item.get();
    return nullptr;
}

GlyphItem* GlyphMenu::ItemAt(int position) const {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA;
    if (!GetMenuItemInfoW(hmenu_, static_cast<UINT>(position), TRUE, &info)) return nullptr;
    return ItemFor(info.dwItemData);
}

bool GlyphMenu::DestroyGlyphMenu() {
    // Popups first, last to first: each takes its own popups and records with it. A popup whose handle the caller
    // destroyed already is deleted all the same.
    while (!builtPopups_.empty()) builtPopups_.pop_back();
    popupHandles_.clear();
    items_.clear();
    loadedFromResource_ = false;
    return DestroyMenu() != FALSE;
}

// ---- The shared pictures.

HIMAGELIST GlyphMenu::SharedImages() { return Shared().list.get(); }

const std::vector<UINT>& GlyphMenu::SharedImageIds() { return Shared().ids; }

int GlyphMenu::FindSharedImage(UINT id) {
    const auto& ids = Shared().ids;
    const auto found = std::ranges::find(ids, id);
    return found == ids.end() ? -1 : static_cast<int>(found - ids.begin());
}

bool GlyphMenu::HasImageVariants(int slot) {
    const auto& ids = Shared().ids;
    if (slot < 0 || static_cast<std::size_t>(slot) + 2 >= ids.size()) return false;
    return ids[slot + 1] == ids[slot] && ids[slot + 2] == ids[slot];
}

int GlyphMenu::StoreSharedImage(HIMAGELIST list, int index, UINT id) {
    SharedPictures& shared = Shared();
    if (!shared.list) shared.list = NewIconList();
    if (!shared.list || !list || index < 0 || index >= ImageList_GetImageCount(list)) return -1;

    // The picture on the button face fixes the normal picture (its transparent parts show the face) and, with the
    // shadow colour and the theme, every variant: when all of them are as stored, storing again changes nothing.
    const bool makeVariants = IsFlatStyle() && iconEffects;
    fw::ClientDc dc(MenuReferenceWindow());
    fw::UniqueBitmap rendered = RenderIconBitmap(dc.get(), list, index);
    std::vector<std::uint32_t> signature = BitmapPixels::Read(rendered.get()).pixels;
    signature.push_back(GetSysColor(COLOR_BTNSHADOW));
    signature.push_back(makeVariants ? 1u + IsThemedXp() : 0u);

    // Faded, silhouette and grayed forms, made on the button face (which the list then treats as transparent).
    std::vector<fw::UniqueBitmap> variants;
    auto makeThem = [&] {
        variants.push_back(std::move(rendered));
        for (int i = 0; i < 2; ++i) variants.push_back(RenderIconBitmap(dc.get(), list, index));
        FadeIconBitmap(variants[0].get());
        SilhouetteIconBitmap(variants[1].get());
        GrayIconBitmap(variants[2].get(), 0);
    };

    const int existing = FindSharedImage(id);
    if (existing >= 0) {
        if (shared.signatures[existing] == signature) return existing;
        fw::UniqueIcon icon(ImageList_GetIcon(list, index, ILD_NORMAL));
        if (!icon) return -1;
        shared.signatures[existing] = std::move(signature);
        ImageList_ReplaceIcon(shared.list.get(), existing, icon.get());
        if (makeVariants && HasImageVariants(existing)) {
            makeThem();
            for (int i = 0; i < 3; ++i) {
                fw::UniqueIcon variant = IconOfRendered(variants[i].get());
                if (variant) ImageList_ReplaceIcon(shared.list.get(), existing + 1 + i, variant.get());
            }
        }
        return existing;
    }

    fw::UniqueIcon icon(ImageList_GetIcon(list, index, ILD_NORMAL));
    if (!icon) return -1;
    const int slot = ImageList_ReplaceIcon(shared.list.get(), -1, icon.get());
    if (slot < 0) return -1;
    shared.ids.push_back(id);
    shared.signatures[slot] = std::move(signature);
    if (makeVariants) makeThem();
    for (const fw::UniqueBitmap& variant : variants) {
        // Keep the id array in step with the list even when a variant cannot be added.
        if (ImageList_AddMasked(shared.list.get(), variant.get(), GetSysColor(COLOR_BTNFACE)) < 0) break;
        shared.ids.push_back(id);
    }
    return slot;
}
