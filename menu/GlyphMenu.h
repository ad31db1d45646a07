// The icon menu: a popup menu whose items are all owner-drawn, each with a small picture bound to its command id
// from a toolbar resource, painted in a classic look (raised and sunken boxes, the system menu colours) or a flat look
// (a tinted icon column, a pale selection bar with a border, lifted icons with a shadow).
//
// How the program uses it (tray menu: menu 131; mini window: menu 132):
//
//     GlyphMenu menu;
//     menu.LoadFromResource(IDR_TRAYMENU);
//     menu.LoadToolbarImages(IDR_TOOLBAR);
//     fw::Menu* popup = menu.GetSubMenu(0);
//     popup->EnableMenuItem(ID_SHOW, MF_BYCOMMAND | MF_DISABLED | MF_GRAYED);
//     const UINT command = popup->TrackPopupMenu(TPM_RIGHTBUTTON | TPM_RETURNCMD, cursor.x, cursor.y, this);
//
// The owner passed to TrackPopupMenu must be a framework window: it hands the measuring and drawing requests of the
// items to this class (fw::Menu::RouteOwnerDraw). The menu's handles, its popups and its item records go with the
// object; the pictures stay in one image list shared by every icon menu of the process, so building the same menu
// again finds them by command id.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "core/ColourMix.h"
#include "framework/Handles.h"
#include "framework/Menu.h"

// The record of one owner-drawn item; its address is the item's data.
struct GlyphItem {
    std::wstring text;       // the label, then a tab and the shortcut when there is one
    int imageSlot = -1;      // the item's normal picture in the shared image list; -1 = none
    UINT flags = 0;          // the MF_ flags it was appended or last modified with
    UINT_PTR commandId = 0;  // its command id; for a popup entry the popup's handle
};

// The running Windows version, as the looks tell versions apart.
enum PlatformClass {
    PlatformWin32s = 0,
    PlatformNtOther = 1,  // NT 3.x, and every NT version after XP
    PlatformWin95 = 2,
    PlatformWin98 = 3,
    PlatformWinMe = 4,
    PlatformNt4 = 5,
    PlatformWin2000 = 6,
    PlatformWinXp = 7,
};

class GlyphMenu : public fw::Menu {
public:
    // Where an item is: the menu object that holds it and its position there; {nullptr, -1} for nowhere.
    struct Found {
        GlyphMenu* menu = nullptr;
        int position = -1;
        bool operator==(const Found&) const = default;
    };

    GlyphMenu();
    ~GlyphMenu() override;

    // Builds the menu from a menu template resource: every item of every popup becomes an owner-drawn item with a
    // record, and the entries of the top level become plain string entries. Any earlier content goes first. False
    // (the menu left as it was) when the resource is missing or malformed.
    bool LoadFromResource(UINT id);
    bool LoadFromResource(const wchar_t* name);
    // Binds the pictures of toolbar `id` (its button list and the bitmap strip of the same id) to the items with the
    // same command ids, here and in every popup. False when the toolbar or its strip cannot be read.
    bool LoadToolbarImages(UINT id);

    // Appends an owner-drawn item (id 0: a separator; with MF_POPUP, `id` is the popup's handle). An item whose
    // command already has a shared picture shows it; with `imageResource` (a toolbar id) the item's picture is taken
    // from that toolbar instead. The result of the append.
    BOOL AppendGlyphItem(const std::wstring& text, UINT flags, UINT_PTR id, int imageResource = -1);
    // Gives every item of command `id` (in this menu and its popups) the text `gbkText` when given and picture `index`
    // of `list` when given; each stays owner-drawn with its record. False when the command is nowhere in the menu.
    BOOL SetItemImage(const char* gbkText, UINT id, HIMAGELIST list, int index);

    // The first item of command `id`, depth first through the popups; FindNextItem skips the places in `visited`.
    Found FindItem(UINT id);
    Found FindNextItem(UINT id, const std::vector<Found>& visited);

    // Pads each label that has a shortcut with spaces so that all shortcuts of this menu start in one column (loading
    // does it for every menu it fills).
    void AlignShortcutColumns();

    // Deletes the popups this menu built and every record, and destroys the handle: the result of that.
    bool DestroyGlyphMenu();

    // The records in append order; for a loaded menu a record's index is its item's position.
    const std::vector<std::unique_ptr<GlyphItem>>& Items() const { return items_; }
    const std::vector<HMENU>& PopupHandles() const { return popupHandles_; }
    bool LoadedFromResource() const { return loadedFromResource_; }

    bool MeasureItem(MEASUREITEMSTRUCT* measureItem) override;
    bool DrawItem(DRAWITEMSTRUCT* drawItem) override;
    // The item whose label underlines `key` ("&K"): chosen when it is the only one, else the next one selected.
    LRESULT MenuChar(wchar_t key, UINT flags) override;

    // ---- Class-wide settings (the main window sets both draw modes to 1, the flat look, when it starts).
    static int iconWidth;                // 16
    static int iconHeight;               // 15
    static int drawModeThemedXp;         // look on Windows XP with a visual theme: 1 flat, else classic
    static int drawModeOther;            // look everywhere else
    static bool selectDisabledClassic;   // a disabled item may show the selection bar in the classic look
    static bool selectDisabledFlat;      // ... in the flat look
    static bool iconEffects;             // the flat look keeps faded, silhouette and grayed forms of each picture
    static bool plainBitmapLoaded;       // a strip was loaded without system-colour mapping (classic disabled icons)
    static PlatformClass platformClass;  // classified once when the program starts

    // ---- Style selection.
    // Classifies the running version through the platform seam.
    static PlatformClass ClassifyPlatform();
    // Whether the current theme setting names the classic theme, read through the platform seam.
    static bool ReadClassicTheme();
    // Version 95 or later: 3-D edges are drawn.
    static bool IsModernShell();
    // ReadClassicTheme, asked once and remembered (ForgetClassicTheme makes the next call ask again).
    static bool IsClassicTheme();
    static void ForgetClassicTheme();
    static bool IsThemedXp();
    static bool IsFlatStyle();

    static COLORREF TintTowardWhite(COLORREF colour, double factor) { return core::TintTowardWhite(colour, factor); }
    static COLORREF ShadeTowardBlack(COLORREF colour, double factor) { return core::ShadeTowardBlack(colour, factor); }

    // ---- The shared pictures: one image list for the process, with the command id of every slot. In the flat look
    // with effects a command owns four slots in a row: normal, faded, silhouette, grayed.
    static int StoreSharedImage(HIMAGELIST list, int index, UINT id);
    static int FindSharedImage(UINT id);
    static bool HasImageVariants(int slot);
    static HIMAGELIST SharedImages();
    static const std::vector<UINT>& SharedImageIds();

    // ---- Icon imaging. Bitmaps are device-dependent, iconWidth x iconHeight.
    // Picture `index` of `list` drawn on the button-face colour, in a bitmap compatible with `dc`.
    static fw::UniqueBitmap RenderIconBitmap(HDC dc, HIMAGELIST list, int index);
    // Rewrite a rendered picture in place; the button-face background stays.
    static void FadeIconBitmap(HBITMAP bitmap);
    static void SilhouetteIconBitmap(HBITMAP bitmap);
    static void GrayIconBitmap(HBITMAP bitmap, COLORREF background);  // background 0: keep the button face
    // Appends the pictures of a bitmap strip resource, cut by iconWidth, light gray being transparent.
    static bool AddImageStrip(HIMAGELIST list, UINT bitmapId);
    // A disabled picture: its dark parts engraved in the shadow colour over a highlight copy one pixel down and
    // right, on `background`. The bitmap is used as a scratch surface.
    static void DrawEmbossed(HDC dc, int x, int y, int width, int height, HBITMAP bitmap, int sourceX, int sourceY,
                             COLORREF background);
    // A disabled picture in gray tones, copied opaquely. Grays the bitmap in place.
    static void DrawGrayedOpaque(HDC dc, int x, int y, int width, int height, HBITMAP bitmap, COLORREF background);
    static void DrawCheckGlyph(HDC dc, int x, int y, COLORREF colour, bool thin);
    static void DrawRadioGlyph(HDC dc, int x, int y, COLORREF colour);

protected:
    void DrawClassic(DRAWITEMSTRUCT* drawItem);
    void DrawFlat(DRAWITEMSTRUCT* drawItem);
    static void DrawClassicCheck(HDC dc, const RECT& box, bool selected, bool radio);
    static void DrawFlatCheck(HDC dc, const RECT& box, bool radio, COLORREF highlight, bool selected);

private:
    // The record whose address is `data`, when it is one of this menu's.
    GlyphItem* ItemFor(ULONG_PTR data) const;
    GlyphItem* ItemAt(int position) const;
    Found Search(UINT id, const std::vector<Found>* skip);
    // Turns the top-level entries, from `first` on, into plain string entries with their records' texts.
    void MakeTopLevelPlain(int first);

    std::vector<std::unique_ptr<GlyphItem>> items_;
    std::vector<HMENU> popupHandles_;
    std::vector<std::unique_ptr<GlyphMenu>> builtPopups_;  // the popup objects loading created
    bool loadedFromResource_ = false;
};
