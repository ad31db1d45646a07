// Measuring and painting the icon menu's items, in the classic and the flat look.
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>

#include "framework/Gdi.h"
#include "menu/GlyphMenu.h"
#include "menu/MenuDevice.h"
#include "menu/OffscreenDC.h"

namespace {

COLORREF Colour(int index) { return GetSysColor(index); }

// The label left-aligned from the rectangle's left; after a tab, the shortcut right-aligned, ending an icon's width
// before the right edge. "&" underlines the next character.
void DrawItemText(HDC dc, const std::wstring& text, RECT rect, COLORREF colour) {
    if (text.empty()) return;
    const std::size_t tab = text.find(L'\t');
    const std::wstring label = text.substr(0, tab);
    const int previousMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF previousColour = SetTextColor(dc, colour);
    if (tab != std::wstring::npos) rect.right -= GlyphMenu::iconWidth;
    DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &rect, DT_LEFT | DT_SINGLELINE | DT_VCENTER);
    if (tab != std::wstring::npos) {
        const std::wstring shortcut = text.substr(text.rfind(L'\t') + 1);
        DrawTextW(dc, shortcut.c_str(), static_cast<int>(shortcut.size()), &rect,
                  DT_RIGHT | DT_SINGLELINE | DT_VCENTER);
    }
    SetTextColor(dc, previousColour);
    SetBkMode(dc, previousMode);
}

// An item whose checked state has its own bitmap is a radio item.
bool IsRadioItem(const DRAWITEMSTRUCT& draw) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_CHECKMARKS;
    return GetMenuItemInfoW(reinterpret_cast<HMENU>(draw.hwndItem), draw.itemID, FALSE, &info) &&
           info.hbmpChecked != nullptr;
}

void DrawSharedImage(HDC dc, int slot, int x, int y) {
    ImageList_Draw(GlyphMenu::SharedImages(), slot, dc, x, y, ILD_TRANSPARENT);
}

}  // namespace

bool GlyphMenu::MeasureItem(MEASUREITEMSTRUCT* measureItem) {
    const GlyphItem* item = ItemFor(measureItem->itemData);
    if (!item) return false;
    const bool flat = IsFlatStyle();
    const int extra = flat && iconEffects ? 7 : 4;
    if (item->flags & MF_SEPARATOR) {
        measureItem->itemWidth = 0;
        measureItem->itemHeight =
            flat ? 3 : static_cast<UINT>(std::max(GetSystemMetrics(SM_CYMENU) >> 1, (iconHeight + extra) / 2));
        return true;
    }

    // Measured in the font the menu draws with.
    fw::UniqueFont font = fw::CreateMenuFont();
    fw::ClientDc dc(MenuReferenceWindow());
    fw::ScopedSelect selectFont(dc.get(), font.get());
    const std::wstring& text = item->text;
    int width = 0;
    if (platformClass == PlatformWin32s) {
        RECT box{};
        DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &box,
                  DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
        const int base = box.right - box.left + 3;
        width = text.empty() ? base : base + 3 * (base / static_cast<int>(text.size()));
    } else {
        SIZE size{};
        GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
        width = size.cx;
    }
    measureItem->itemWidth = static_cast<UINT>(flat ? width + iconWidth + extra + 8 : width + 2 * iconWidth + 1);
    measureItem->itemHeight = static_cast<UINT>(std::max(GetSystemMetrics(SM_CYMENU), iconHeight + extra));
    return true;
}

bool GlyphMenu::DrawItem(DRAWITEMSTRUCT* drawItem) {
    if (!ItemFor(drawItem->itemData)) return false;
    // A palette display cannot show the flat look's tints.
    if (GetDeviceCaps(drawItem->hDC, RASTERCAPS) & RC_PALETTE)
        DrawClassic(drawItem);
    else if (IsFlatStyle())
        DrawFlat(drawItem);
    else
        DrawClassic(drawItem);
    return true;
}

void GlyphMenu::DrawClassic(DRAWITEMSTRUCT* drawItem) {
    const GlyphItem& item = *ItemFor(drawItem->itemData);
    HDC dc = drawItem->hDC;
    const RECT rect = drawItem->rcItem;
    const int left = rect.left, top = rect.top, height = rect.bottom - rect.top;
    const COLORREF back = IsThemedXp() ? Colour(COLOR_BTNFACE) : Colour(COLOR_MENU);
    COLORREF textColour = Colour(COLOR_MENUTEXT);

    const bool grayed = drawItem->itemState & ODS_GRAYED;
    if (grayed && (drawItem->itemState & ODS_SELECTED) && !selectDisabledClassic)
        drawItem->itemState &= ~static_cast<UINT>(ODS_SELECTED);
    const bool selected = drawItem->itemState & ODS_SELECTED;
    const bool checked = drawItem->itemState & ODS_CHECKED;

    if (item.flags & MF_SEPARATOR) {
        fw::FillSolid(dc, rect, back);
        RECT line = rect;
        line.top += height >> 1;
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }

    const bool hasIcon = item.imageSlot >= 0;
    if (selected) {
        RECT bar = rect;
        // The icon keeps its column in the menu colour.
        if (hasIcon || checked) bar.left = left + iconWidth + 5;
        fw::FillSolid(dc, bar, Colour(COLOR_HIGHLIGHT));
        textColour = Colour(COLOR_HIGHLIGHTTEXT);
    } else {
        fw::FillSolid(dc, rect, back);
    }

    const int dy = std::max(0, (height - iconHeight - 4) / 2);
    const RECT inner{left + 1, top + dy + 1, left + iconWidth + 3, top + dy + iconHeight + 3};
    const RECT outer{left, top + dy, left + iconWidth + 4, top + dy + iconHeight + 4};
    const int iconX = left + 2, iconY = top + dy + 2;
    const COLORREF highlight = Colour(COLOR_BTNHIGHLIGHT), shadow = Colour(COLOR_BTNSHADOW);

    if (hasIcon) {
        fw::Draw3dRect(dc, inner, back, back);  // wipes the frame of an earlier state
        if (grayed) {
            fw::Draw3dRect(dc, outer, back, back);
            fw::UniqueBitmap picture = RenderIconBitmap(dc, SharedImages(), item.imageSlot);
            if (plainBitmapLoaded)
                DrawGrayedOpaque(dc, iconX, iconY, iconWidth, iconHeight, picture.get(), back);
            else
                DrawEmbossed(dc, iconX, iconY, iconWidth, iconHeight, picture.get(), 0, 0, back);
        } else {
            if (selected) {
                fw::FillSolid(dc, inner, back);
                if (IsModernShell()) {
                    if (checked)
                        fw::Draw3dRect(dc, outer, shadow, highlight);
                    else
                        fw::Draw3dRect(dc, outer, highlight, shadow);
                }
            } else if (checked) {
                fw::FillSolid(dc, inner, TintTowardWhite(back, 0.6));
                if (IsModernShell()) fw::Draw3dRect(dc, outer, shadow, highlight);
            } else {
                fw::FillSolid(dc, inner, back);
                fw::Draw3dRect(dc, outer, back, back);
            }
            DrawSharedImage(dc, item.imageSlot, iconX, iconY);
        }
    } else if (checked) {
        const RECT box{left + 1, top + dy + 2, left + iconWidth + 1, top + dy + iconHeight + 2};
        DrawClassicCheck(dc, box, selected, IsRadioItem(*drawItem));
    }

    const RECT textRect{left + iconWidth + 9, top - 1, rect.right, rect.bottom - 1};
    if (!grayed) {
        DrawItemText(dc, item.text, textRect, textColour);
    } else if (!selected) {
        // Engraved: a highlight copy one pixel down and right under the gray text.
        RECT moved = textRect;
        OffsetRect(&moved, 1, 1);
        DrawItemText(dc, item.text, moved, highlight);
        DrawItemText(dc, item.text, textRect, Colour(COLOR_GRAYTEXT));
    } else {
        DrawItemText(dc, item.text, textRect, back);
    }
}

void GlyphMenu::DrawClassicCheck(HDC dc, const RECT& box, bool selected, bool radio) {
    COLORREF colour = IsThemedXp() ? Colour(COLOR_BTNFACE) : Colour(COLOR_MENU);
    if (!selected) colour = TintTowardWhite(colour, 0.6);
    fw::FillSolid(dc, box, colour);
    if (IsModernShell()) {
        RECT edge = box;
        DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
    }
    if (radio)
        DrawRadioGlyph(dc, box.left + 5, box.top + 4, Colour(COLOR_MENUTEXT));
    else
        DrawCheckGlyph(dc, box.left + 4, box.top + 4, Colour(COLOR_MENUTEXT), false);
}

void GlyphMenu::DrawFlat(DRAWITEMSTRUCT* drawItem) {
    const GlyphItem& item = *ItemFor(drawItem->itemData);
    const RECT rect = drawItem->rcItem;
    const int left = rect.left, top = rect.top, height = rect.bottom - rect.top;
    const bool themedXp = IsThemedXp();
    const COLORREF face = themedXp ? Colour(COLOR_BTNFACE) : TintTowardWhite(Colour(COLOR_BTNFACE), 0.25);
    const COLORREF window = ShadeTowardBlack(Colour(COLOR_WINDOW), 0.02);
    const COLORREF highlight = Colour(COLOR_HIGHLIGHT);
    const COLORREF selection = TintTowardWhite(highlight, themedXp ? 0.7 : 0.85);
    const int extra = iconEffects ? 7 : 4;
    const int column = iconWidth + extra;
    const RECT columnRect{left, top, left + column, rect.bottom};

    const bool grayed = drawItem->itemState & ODS_GRAYED;
    // A disabled item is painted off screen and copied in one piece; the off-screen DC needs the menu font itself.
    // Declared in this order so that the font leaves the DC, then is deleted, before the copy is made.
    std::optional<OffscreenDC> offscreen;
    fw::UniqueFont font;
    std::optional<fw::ScopedSelect> selectFont;
    HDC dc = drawItem->hDC;
    if (grayed && !selectDisabledFlat) {
        drawItem->itemState &= ~static_cast<UINT>(ODS_SELECTED);
        offscreen.emplace(drawItem->hDC, rect);
        font = fw::CreateMenuFont();
        dc = offscreen->get();
        selectFont.emplace(dc, font.get());
    }
    const bool selected = drawItem->itemState & ODS_SELECTED;
    const bool checked = drawItem->itemState & ODS_CHECKED;

    if (item.flags & MF_SEPARATOR) {
        fw::FillSolid(dc, rect, window);
        RECT line{left + column + extra, top + (height >> 1), rect.right, rect.bottom};
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        fw::FillSolid(dc, columnRect, face);
        fw::Draw3dRect(dc, columnRect, face, face);
        return;
    }

    const bool hasIcon = item.imageSlot >= 0;
    const bool variants = hasIcon && iconEffects && HasImageVariants(item.imageSlot);
    const int faded = item.imageSlot + 1, silhouette = item.imageSlot + 2, grayedSlot = item.imageSlot + 3;

    if (selected) {
        fw::FillSolid(dc, rect, selection);
        fw::Draw3dRect(dc, rect, highlight, highlight);
    } else {
        fw::FillSolid(dc, rect, window);
        fw::FillSolid(dc, columnRect, face);
        fw::Draw3dRect(dc, rect, window, window);
        fw::Draw3dRect(dc, columnRect, face, face);
    }

    const int dy = std::max(0, static_cast<int>((height - iconHeight + 1) * 0.5));
    const int dx = std::max(0, static_cast<int>((column - iconWidth + 1) * 0.5));
    const int x = left + dx, y = top + dy;
    const RECT iconBox{left + 1, top + 1, left + column - 2, rect.bottom - 1};

    if (hasIcon && grayed) {
        if (variants) {
            DrawSharedImage(dc, grayedSlot, x, y);
        } else {
            fw::UniqueBitmap picture = RenderIconBitmap(dc, SharedImages(), item.imageSlot);
            DrawEmbossed(dc, x, y, iconWidth, iconHeight, picture.get(), 0, 0, selected ? selection : face);
            if (selected) fw::Draw3dRect(dc, rect, highlight, highlight);
        }
    } else if (hasIcon && checked) {
        fw::FillSolid(dc, iconBox, TintTowardWhite(highlight, selected ? 0.55 : 0.85));
        fw::Draw3dRect(dc, iconBox, highlight, highlight);
        DrawSharedImage(dc, item.imageSlot, x - 1, y - 1);
    } else if (hasIcon && selected) {
        // Lifted: the picture one pixel up and left, its silhouette one pixel down and right.
        fw::FillSolid(dc, iconBox, selection);
        if (variants) {
            DrawSharedImage(dc, silhouette, x + 1, y + 1);
            DrawSharedImage(dc, item.imageSlot, x - 1, y - 1);
        } else {
            DrawSharedImage(dc, item.imageSlot, x, y);
        }
    } else if (hasIcon) {
        fw::FillSolid(dc, iconBox, face);
        fw::Draw3dRect(dc, iconBox, face, face);
        DrawSharedImage(dc, variants ? faded : item.imageSlot, x, y);
    } else if (checked) {
        DrawFlatCheck(dc, iconBox, IsRadioItem(*drawItem), highlight, selected);
    }

    COLORREF textColour = Colour(COLOR_MENUTEXT);
    if (grayed) {
        textColour = Colour(COLOR_GRAYTEXT);
        if (!themedXp && !selected) textColour = TintTowardWhite(textColour, 0.4);
    }
    DrawItemText(dc, item.text, RECT{left + column + 8, top - 1, rect.right, rect.bottom - 1}, textColour);
}

void GlyphMenu::DrawFlatCheck(HDC dc, const RECT& box, bool radio, COLORREF highlight, bool selected) {
    fw::FillSolid(dc, box, TintTowardWhite(highlight, selected ? 0.55 : 0.85));
    fw::Draw3dRect(dc, box, highlight, highlight);
    const int offsetX = std::max(0, static_cast<int>((box.right - box.left) >> 1) - 3);
    const int offsetY = std::max(0, static_cast<int>((box.bottom - box.top) >> 1) - 3);
    if (radio)
        DrawRadioGlyph(dc, box.left + offsetX, box.top + offsetY, Colour(COLOR_MENUTEXT));
    else
        DrawCheckGlyph(dc, box.left + offsetX, box.top + offsetY, Colour(COLOR_MENUTEXT), true);
}
