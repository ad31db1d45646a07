// The icon menu's pictures: loading a strip, the faded, silhouette and grayed forms of a picture, the two ways of
// drawing a disabled one, and the check and radio glyphs.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "core/ColourMix.h"
#include "core/MenuResources.h"
#include "framework/Application.h"
#include "framework/Gdi.h"
#include "framework/Resources.h"
#include "menu/BitmapPixels.h"
#include "menu/GlyphMenu.h"

namespace {

constexpr COLORREF kLightGray = RGB(0xC0, 0xC0, 0xC0);
constexpr DWORD kPaintWhereMaskIsClear = 0xE20746;  // brush where the source is set, destination elsewhere

BITMAPINFO BlockFormat(int width, int height) {
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    return format;
}

// Rewrites every pixel of `bitmap` with map(pixel, isBackground), where the background is `reference` as the bitmap's
// format stores it: the colour is put into a bitmap of the same format and read back, so a display that rounds
// colours compares like with like.
template <typename Map>
void RewritePixels(HBITMAP bitmap, COLORREF reference, Map map) {
    BitmapPixels block = BitmapPixels::Read(bitmap);
    if (block.pixels.empty()) return;
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    fw::UniqueBitmap probe(CreateBitmap(block.width, block.height, info.bmPlanes, info.bmBitsPixel, nullptr));
    {
        fw::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
        fw::ScopedSelect select(dc.get(), probe.get());
        fw::UniqueBrush brush(CreateSolidBrush(reference));
        const RECT all{0, 0, block.width, block.height};
        FillRect(dc.get(), &all, brush.get());
    }
    const BitmapPixels probed = BitmapPixels::Read(probe.get());
    if (probed.pixels.empty()) return;
    const std::uint32_t background = probed.pixels[block.width > 1 && block.height > 1 ? block.width + 1 : 0];
    for (std::uint32_t& pixel : block.pixels)
        pixel = BitmapPixels::FromColour(map(BitmapPixels::ToColour(pixel), pixel == background));
    block.Write(bitmap);
}

// A 16-colour strip with the standard button colours of its table replaced by the system's, so the pictures follow
// the colour scheme: black, dark gray, light gray and white become button text, shadow, face and highlight.
fw::UniqueBitmap LoadSystemColourBitmap(std::span<const std::uint8_t> data, const core::StripBitmapHeader& header) {
    std::vector<std::uint8_t> info(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(header.pixels));
    const struct {
        COLORREF from;
        int to;
    } map[] = {{RGB(0, 0, 0), COLOR_BTNTEXT},
               {RGB(0x80, 0x80, 0x80), COLOR_BTNSHADOW},
               {kLightGray, COLOR_BTNFACE},
               {RGB(0xFF, 0xFF, 0xFF), COLOR_BTNHIGHLIGHT}};
    for (int i = 0; i < header.colourCount; ++i) {
        std::uint8_t* entry = info.data() + header.colourTable + 4 * static_cast<std::size_t>(i);  // blue, green, red
        const COLORREF colour = RGB(entry[2], entry[1], entry[0]);
        for (const auto& row : map) {
            if (colour != row.from) continue;
            const COLORREF system = GetSysColor(row.to);
            entry[0] = GetBValue(system);
            entry[1] = GetGValue(system);
            entry[2] = GetRValue(system);
            break;
        }
    }
    fw::ClientDc screen(nullptr);
    const auto* bitmapInfo = reinterpret_cast<const BITMAPINFO*>(info.data());
    return fw::UniqueBitmap(CreateDIBitmap(screen.get(), &bitmapInfo->bmiHeader, CBM_INIT,
                                           data.data() + header.pixels, bitmapInfo, DIB_RGB_COLORS));
}

}  // namespace

// One block each way: a call per pixel costs about a tenth of a second per menu under Wine.
BitmapPixels BitmapPixels::Read(HBITMAP bitmap) {
    BitmapPixels block;
    BITMAP info{};
    if (!bitmap || !GetObjectW(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return block;
    block.width = info.bmWidth;
    block.height = info.bmHeight;
    block.pixels.resize(static_cast<std::size_t>(block.width) * block.height);
    BITMAPINFO format = BlockFormat(block.width, block.height);
    fw::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    if (GetDIBits(dc.get(), bitmap, 0, block.height, block.pixels.data(), &format, DIB_RGB_COLORS) != block.height)
        block.pixels.clear();
    return block;
}

bool BitmapPixels::Write(HBITMAP bitmap) const {
    BITMAPINFO format = BlockFormat(width, height);
    fw::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    return SetDIBits(dc.get(), bitmap, 0, height, pixels.data(), &format, DIB_RGB_COLORS) == height;
}

fw::UniqueBitmap GlyphMenu::RenderIconBitmap(HDC dc, HIMAGELIST list, int index) {
    fw::UniqueBitmap bitmap(CreateCompatibleBitmap(dc, iconWidth, iconHeight));
    fw::UniqueMemoryDc memory(CreateCompatibleDC(dc));
    fw::ScopedSelect select(memory.get(), bitmap.get());
    fw::FillSolid(memory.get(), 0, 0, iconWidth, iconHeight, GetSysColor(COLOR_BTNFACE));
    // Drawn straight from the list: the same pixels as the picture taken out as an icon and drawn, at a fraction of
    // the cost.
    ImageList_Draw(list, index, memory.get(), 0, 0, ILD_TRANSPARENT);
    return bitmap;
}

void GlyphMenu::FadeIconBitmap(HBITMAP bitmap) {
    RewritePixels(bitmap, GetSysColor(COLOR_BTNFACE), [](COLORREF pixel, bool background) {
        return background ? pixel : TintTowardWhite(pixel, 0.3);
    });
}

void GlyphMenu::SilhouetteIconBitmap(HBITMAP bitmap) {
    COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    if (!IsThemedXp()) shadow = TintTowardWhite(shadow, 0.49);
    RewritePixels(bitmap, GetSysColor(COLOR_BTNFACE),
                  [shadow](COLORREF pixel, bool background) { return background ? pixel : shadow; });
}

void GlyphMenu::GrayIconBitmap(HBITMAP bitmap, COLORREF background) {
    const COLORREF base = GetSysColor(COLOR_BTNSHADOW);
    RewritePixels(bitmap, GetSysColor(COLOR_BTNFACE), [base, background](COLORREF pixel, bool isBackground) {
        if (isBackground) return background ? background : pixel;
        return static_cast<COLORREF>(core::GrayTone(pixel, base));
    });
}

bool GlyphMenu::AddImageStrip(HIMAGELIST list, UINT bitmapId) {
    const wchar_t* name = MAKEINTRESOURCEW(bitmapId & 0xFFFF);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const std::span<const std::uint8_t> data = fw::FindResourceData(name, RT_BITMAP);
    if (const auto header = core::ReadStripBitmapHeader(data); header && header->colourCount == 16) {
        if (fw::UniqueBitmap mapped = LoadSystemColourBitmap(data, *header))
            return ImageList_AddMasked(list, mapped.get(), face) >= 0;
    }

    fw::UniqueBitmap plain(static_cast<HBITMAP>(LoadImageW(fw::ResourceModule(), name, IMAGE_BITMAP, 0, 0, 0)));
    if (!plain) return false;
    plainBitmapLoaded = true;
    RewritePixels(plain.get(), kLightGray, [face](COLORREF pixel, bool background) {
        return background ? face : pixel;
    });
    return ImageList_AddMasked(list, plain.get(), face) >= 0;
}

void GlyphMenu::DrawEmbossed(HDC dc, int x, int y, int width, int height, HBITMAP bitmap, int sourceX, int sourceY,
                             COLORREF background) {
    fw::UniqueMemoryDc source(CreateCompatibleDC(dc));
    fw::ScopedSelect selectSource(source.get(), bitmap);

    // The mask is clear exactly where the picture is neither button face nor highlight: its dark parts. A bitmap
    // compatible with a fresh memory DC is monochrome, and a colour-to-mono copy sets the source's background colour.
    fw::UniqueMemoryDc maskDc(CreateCompatibleDC(dc));
    fw::UniqueBitmap mask(CreateCompatibleBitmap(maskDc.get(), width, height));
    fw::ScopedSelect selectMask(maskDc.get(), mask.get());
    PatBlt(maskDc.get(), 0, 0, width, height, WHITENESS);
    SetBkColor(source.get(), GetSysColor(COLOR_BTNFACE));
    BitBlt(maskDc.get(), 0, 0, width, height, source.get(), sourceX, sourceY, SRCCOPY);
    SetBkColor(source.get(), GetSysColor(COLOR_BTNHIGHLIGHT));
    BitBlt(maskDc.get(), 0, 0, width, height, source.get(), sourceX, sourceY, SRCPAINT);

    // Mono-to-colour copies turn clear mask bits into the text colour (white: the brush shows) and set bits into the
    // background colour (black: the destination stays).
    fw::FillSolid(source.get(), 0, 0, width, height, background);
    SetBkColor(source.get(), RGB(0, 0, 0));
    SetTextColor(source.get(), RGB(255, 255, 255));
    fw::UniqueBrush highlight(CreateSolidBrush(GetSysColor(COLOR_BTNHIGHLIGHT)));
    fw::UniqueBrush shadow(CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW)));
    {
        fw::ScopedSelect selectBrush(source.get(), highlight.get());
        BitBlt(source.get(), 0, 0, width, height, maskDc.get(), 0, 0, kPaintWhereMaskIsClear);
        BitBlt(dc, x + 1, y + 1, width, height, source.get(), 0, 0, SRCCOPY);
        BitBlt(source.get(), 1, 1, width, height, maskDc.get(), 0, 0, kPaintWhereMaskIsClear);
    }
    fw::ScopedSelect selectBrush(source.get(), shadow.get());
    BitBlt(source.get(), 0, 0, width, height, maskDc.get(), 0, 0, kPaintWhereMaskIsClear);
    BitBlt(dc, x, y, width, height, source.get(), 0, 0, SRCCOPY);
}

void GlyphMenu::DrawGrayedOpaque(HDC dc, int x, int y, int width, int height, HBITMAP bitmap, COLORREF background) {
    GrayIconBitmap(bitmap, background);
    fw::UniqueMemoryDc source(CreateCompatibleDC(dc));
    fw::ScopedSelect select(source.get(), bitmap);
    BitBlt(dc, x, y, width, height, source.get(), 0, 0, SRCCOPY);
}

void GlyphMenu::DrawCheckGlyph(HDC dc, int x, int y, COLORREF colour, bool thin) {
    // Seven columns of a tick: down three, up to the right four; each stroke 3 (thin: 2) pixels long.
    static constexpr int kTops[7] = {2, 3, 4, 3, 2, 1, 0};
    const int length = thin ? 2 : 3;
    fw::UniquePen pen(CreatePen(PS_SOLID, 0, colour));
    fw::ScopedSelect select(dc, pen.get());
    for (int k = 0; k < 7; ++k) {
        MoveToEx(dc, x + k, y + kTops[k], nullptr);
        LineTo(dc, x + k, y + kTops[k] + length);
    }
}

void GlyphMenu::DrawRadioGlyph(HDC dc, int x, int y, COLORREF colour) {
    fw::UniquePen pen(CreatePen(PS_SOLID, 0, colour));
    fw::UniqueBrush brush(CreateSolidBrush(colour));
    fw::ScopedSelect selectPen(dc, pen.get());
    fw::ScopedSelect selectBrush(dc, brush.get());
    Ellipse(dc, x, y, x + 6, y + 6);
}
