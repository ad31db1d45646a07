// The compiled pictures as the program loads them: every icon, the cursor, the bitmaps, the toolbar resource and the
// three chart GIFs exist under their ids in the form the code relies on (sizes, colour depths, hot spot, GIF version
// and blocks), and the platform decodes each of them.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "resources/resource.h"

namespace {

HMODULE Self() { return GetModuleHandleW(nullptr); }

// The wide forms of the standard resource types, whatever the build's character set.
const wchar_t* const kBitmapType = MAKEINTRESOURCEW(2);       // RT_BITMAP
const wchar_t* const kGroupCursorType = MAKEINTRESOURCEW(12); // RT_GROUP_CURSOR
const wchar_t* const kGroupIconType = MAKEINTRESOURCEW(14);   // RT_GROUP_ICON
const wchar_t* const kToolbarType = MAKEINTRESOURCEW(241);    // RT_TOOLBAR

// Bytes of a resource of this executable, empty when it is missing.
std::vector<std::uint8_t> ResourceBytes(int id, const wchar_t* type) {
    HRSRC found = FindResourceW(Self(), MAKEINTRESOURCEW(id), type);
    if (!found) return {};
    HGLOBAL loaded = LoadResource(Self(), found);
    const auto* data = static_cast<const std::uint8_t*>(LockResource(loaded));
    return {data, data + SizeofResource(Self(), found)};
}

std::uint16_t Word(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b.at(at) | (b.at(at + 1) << 8));
}

// ---------------------------------------------------------------------------------------------------------------
// Icons

struct IconRow {
    int id;
    const char* role;
    std::vector<int> sizes;
    int bitCount;   // of every image in the group; 0 = not checked
};

const std::vector<IconRow>& Icons() {
    static const std::vector<IconRow> rows = {
        {IDI_APP, "program", {16, 32, 48}, 0},
        {IDI_OK_NORMAL, "OK, normal", {32}, 8},
        {IDI_CANCEL_HOT, "Cancel, hot", {32}, 8},
        {IDI_HELP, "help", {32}, 8},
        {IDI_OK_HOT, "OK, hot", {32}, 8},
        {IDI_ABOUT, "About", {32}, 8},
        {IDI_EXIT, "exit", {32}, 8},
        {IDI_HOTKEY, "hotkey", {32}, 8},
        {IDI_CANCEL_NORMAL, "Cancel, normal", {32}, 8},
        {IDI_MINI, "mini window", {32}, 8},
    };
    return rows;
}

// GRPICONDIR: reserved, type, count, then 14-byte entries (width, height, colours, reserved, planes, bit count,
// bytes, id).
TEST(ResourceIcons, GroupsHoldExactlyTheSizesAndDepthsAsked) {
    for (const IconRow& row : Icons()) {
        SCOPED_TRACE(row.role);
        std::vector<std::uint8_t> group = ResourceBytes(row.id, kGroupIconType);
        ASSERT_GE(group.size(), 6u);
        ASSERT_EQ(Word(group, 2), 1) << "an icon group, not a cursor group";
        int count = Word(group, 4);
        ASSERT_EQ(group.size(), 6u + 14u * count);
        std::vector<int> sizes;
        for (int i = 0; i < count; ++i) {
            std::size_t e = 6 + 14 * i;
            int width = group[e] ? group[e] : 256;
            EXPECT_EQ(width, group[e + 1] ? group[e + 1] : 256) << "square";
            sizes.push_back(width);
            if (row.bitCount) {
                EXPECT_EQ(Word(group, e + 6), row.bitCount);
                EXPECT_EQ(group[e + 2], 0) << "256 colours are written as 0";
            }
        }
        EXPECT_EQ(sizes, row.sizes);
    }
}

TEST(ResourceIcons, LoadAtEachSizeWithoutScaling) {
    for (const IconRow& row : Icons()) {
        for (int size : row.sizes) {
            SCOPED_TRACE(std::string(row.role) + " at " + std::to_string(size));
            HICON icon = static_cast<HICON>(
                LoadImageW(Self(), MAKEINTRESOURCEW(row.id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
            ASSERT_NE(icon, nullptr);
            ICONINFO info{};
            ASSERT_TRUE(GetIconInfo(icon, &info));
            EXPECT_TRUE(info.fIcon);
            // The icon button takes an icon's size from its hot spot (2 x xHotspot), so it must be the centre.
            EXPECT_EQ(static_cast<int>(info.xHotspot) * 2, size);
            EXPECT_EQ(static_cast<int>(info.yHotspot) * 2, size);
            ASSERT_NE(info.hbmColor, nullptr) << "a colour icon";
            BITMAP bm{};
            GetObjectW(info.hbmColor, sizeof bm, &bm);
            EXPECT_EQ(bm.bmWidth, size);
            EXPECT_EQ(bm.bmHeight, size);
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
            DestroyIcon(icon);
        }
    }
}

TEST(ResourceIcons, ButtonIconsAreOpaqueInTheMiddleAndClearInTheCorners) {
    // The buttons are narrower than 32 pixels and cut the icons' edges; what matters sits in the middle.
    for (const IconRow& row : Icons()) {
        if (row.id == IDI_APP) continue;
        SCOPED_TRACE(row.role);
        HICON icon = static_cast<HICON>(LoadImageW(Self(), MAKEINTRESOURCEW(row.id), IMAGE_ICON, 32, 32, 0));
        ASSERT_NE(icon, nullptr);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, info.hbmMask);
        EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255)) << "top-left corner shows the background";
        EXPECT_EQ(GetPixel(dc, 31, 31), RGB(255, 255, 255)) << "bottom-right corner shows the background";
        EXPECT_EQ(GetPixel(dc, 16, 16), RGB(0, 0, 0)) << "the centre is drawn";
        EXPECT_EQ(GetPixel(dc, 5, 16), RGB(0, 0, 0)) << "the badge reaches into the cut edge";
        // Under a clear mask the colour bits are XORed onto the background, so they must be black there.
        SelectObject(dc, info.hbmColor);
        EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 0));
        EXPECT_EQ(GetPixel(dc, 31, 31), RGB(0, 0, 0));
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

// ---------------------------------------------------------------------------------------------------------------
// Cursor

TEST(ResourceCursor, PointingHandIsMonochromeWithItsHotSpotAtTheFingertip) {
    HCURSOR cursor = static_cast<HCURSOR>(
        LoadImageW(Self(), MAKEINTRESOURCEW(IDC_HAND_POINT), IMAGE_CURSOR, 0, 0, LR_DEFAULTCOLOR));
    ASSERT_NE(cursor, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 0u);
    EXPECT_EQ(info.yHotspot, 0u);
    EXPECT_EQ(info.hbmColor, nullptr) << "monochrome: AND and XOR masks stacked in one bitmap";
    ASSERT_NE(info.hbmMask, nullptr);
    BITMAP bm{};
    GetObjectW(info.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 32);
    EXPECT_EQ(bm.bmHeight, 64);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    // The hot spot is on the drawing (AND bit clear), not on a transparent pixel beside it.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, info.hbmMask);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 0));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(info.hbmMask);
    DestroyCursor(cursor);

    std::vector<std::uint8_t> group = ResourceBytes(IDC_HAND_POINT, kGroupCursorType);
    ASSERT_EQ(group.size(), 6u + 14u);
    EXPECT_EQ(Word(group, 2), 2) << "a cursor group";
    EXPECT_EQ(Word(group, 6), 32);       // width
    EXPECT_EQ(Word(group, 8), 64);       // height of both masks
    EXPECT_EQ(Word(group, 12), 1);       // bits per pixel
}

// ---------------------------------------------------------------------------------------------------------------
// Bitmaps

struct BitmapRow {
    int id;
    const char* role;
    int width, height, bitCount, colours;
};

// 153 fills control 1018: 60 x 18 dialog units at the Fixedsys font's 8 x 15 base units, MulDiv-rounded.
constexpr int kThumbHeight = (18 * 15 + 4) / 8;

TEST(ResourceBitmaps, SizesDepthsAndColourCounts) {
    const BitmapRow rows[] = {
        {IDB_THUMB, "chart thumbnail", 120, kThumbHeight, 8, 256},
        {IDB_ABOUT, "About picture", 120, 58, 8, 256},
        {IDB_TOOLBAR, "menu strip", 96, 15, 4, 16},
    };
    for (const BitmapRow& row : rows) {
        SCOPED_TRACE(row.role);
        std::vector<std::uint8_t> dib = ResourceBytes(row.id, kBitmapType);
        ASSERT_GE(dib.size(), sizeof(BITMAPINFOHEADER));
        BITMAPINFOHEADER h;
        std::memcpy(&h, dib.data(), sizeof h);
        EXPECT_EQ(h.biSize, sizeof(BITMAPINFOHEADER));
        EXPECT_EQ(h.biWidth, row.width);
        EXPECT_EQ(h.biHeight, row.height) << "bottom-up, as every loader expects";
        EXPECT_EQ(h.biBitCount, row.bitCount);
        EXPECT_EQ(h.biCompression, static_cast<DWORD>(BI_RGB));
        // The menus count colours as the menu code does: the used-colours field, else 2 ** depth.
        int colours = h.biClrUsed ? static_cast<int>(h.biClrUsed) : 1 << h.biBitCount;
        EXPECT_EQ(colours, row.colours);
        std::size_t stride = ((row.width * row.bitCount + 31) / 32) * 4;
        EXPECT_EQ(dib.size(), sizeof h + 4u * colours + stride * row.height);

        HBITMAP loaded = static_cast<HBITMAP>(LoadImageW(Self(), MAKEINTRESOURCEW(row.id), IMAGE_BITMAP, 0, 0, 0));
        ASSERT_NE(loaded, nullptr);
        BITMAP bm{};
        GetObjectW(loaded, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, row.width);
        EXPECT_EQ(bm.bmHeight, row.height);
        DeleteObject(loaded);
    }
}

TEST(ResourceBitmaps, MenuStripUsesTheStandardColoursWithLightGrayAround) {
    std::vector<std::uint8_t> dib = ResourceBytes(IDB_TOOLBAR, kBitmapType);
    constexpr std::size_t kStride = 96 / 2;   // 4 bits a pixel, already a multiple of 4 bytes
    ASSERT_EQ(dib.size(), 40u + 64u + kStride * 15u);
    // The menus map black, dark gray, light gray and white of a 16-colour strip to the system colours, so those
    // four must be in the table exactly; light gray is the transparent colour.
    auto entry = [&](int i) { return RGB(dib[40 + 4 * i + 2], dib[40 + 4 * i + 1], dib[40 + 4 * i]); };
    int lightGray = -1;
    for (int i = 0; i < 16; ++i) {
        if (entry(i) == RGB(0xC0, 0xC0, 0xC0)) lightGray = i;
    }
    ASSERT_GE(lightGray, 0);
    auto pixel = [&](int x, int y) {
        std::uint8_t b = dib[40 + 64 + kStride * (14 - y) + x / 2];
        return x % 2 ? b & 0x0F : b >> 4;
    };
    for (int picture = 0; picture < 6; ++picture) {
        SCOPED_TRACE("picture " + std::to_string(picture));
        int drawn = 0;
        for (int y = 0; y < 15; ++y) {
            for (int x = 0; x < 16; ++x) drawn += pixel(16 * picture + x, y) != lightGray;
        }
        EXPECT_EQ(pixel(16 * picture, 0), lightGray) << "the corner is background";
        EXPECT_GT(drawn, 40) << "a picture, not an empty cell";
        EXPECT_LT(drawn, 16 * 15) << "some background shows";
    }
}

// ---------------------------------------------------------------------------------------------------------------
// Toolbar

TEST(ResourceToolbar, NamesTheStripCommandsInOrder) {
    std::vector<std::uint8_t> raw = ResourceBytes(IDR_TOOLBAR, kToolbarType);
    const std::vector<std::uint16_t> expected = {1, 16, 15, 6, IDC_ABOUTBTN, ID_EXIT, IDC_MINIBTN, IDC_HELPBTN,
                                                 IDC_HOTKEYBTN, ID_SHOW};
    ASSERT_EQ(raw.size(), 2 * expected.size());
    std::vector<std::uint16_t> words;
    for (std::size_t i = 0; i < raw.size(); i += 2) words.push_back(Word(raw, i));
    EXPECT_EQ(words, expected);

    // The strip it refers to has one 16 x 15 picture per button.
    std::vector<std::uint8_t> dib = ResourceBytes(IDR_TOOLBAR, kBitmapType);
    ASSERT_GE(dib.size(), sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER h;
    std::memcpy(&h, dib.data(), sizeof h);
    EXPECT_EQ(h.biWidth, words[1] * words[3]);
    EXPECT_EQ(h.biHeight, words[2]);
}

// ---------------------------------------------------------------------------------------------------------------
// Chart GIFs

struct GifRow {
    int id;
    const char* role;
    int width, height;
    const char* version;
    bool controlBlock;
};

struct GifShape {
    std::string version;
    int width = 0, height = 0;
    int images = 0;
    bool controlBlockBeforeFirstImage = false;
    int extensions = 0;
    bool endsWithTrailer = false;
};

// Walks the block structure the way a decoder does; stops at the first malformed block.
GifShape Walk(const std::vector<std::uint8_t>& b) {
    GifShape s;
    if (b.size() < 13) return s;
    s.version.assign(b.begin(), b.begin() + 6);
    s.width = Word(b, 6);
    s.height = Word(b, 8);
    std::size_t at = 13;
    if (b[10] & 0x80) at += 3u * (2u << (b[10] & 7));
    auto skipSubBlocks = [&](std::size_t p) {
        while (p < b.size() && b[p] != 0) p += 1 + b[p];
        return p + 1;
    };
    bool sawControl = false;
    while (at < b.size()) {
        std::uint8_t tag = b[at];
        if (tag == 0x3B) {
            s.endsWithTrailer = at + 1 == b.size();
            break;
        }
        if (tag == 0x21 && at + 1 < b.size()) {
            ++s.extensions;
            if (b[at + 1] == 0xF9) sawControl = true;
            at = skipSubBlocks(at + 2);
        } else if (tag == 0x2C && at + 10 <= b.size()) {
            if (s.images == 0) s.controlBlockBeforeFirstImage = sawControl;
            ++s.images;
            std::size_t p = at + 10;
            if (b[at + 9] & 0x80) p += 3u * (2u << (b[at + 9] & 7));
            at = skipSubBlocks(p + 1);   // after the LZW minimum code size
        } else {
            break;
        }
    }
    return s;
}

// Decodes with the platform's picture loader, the one the chart popups use, and returns the size in pixels.
SIZE DecodedSize(const std::vector<std::uint8_t>& bytes) {
    SIZE size{0, 0};
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
    GlobalUnlock(memory);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) return size;
    IPicture* picture = nullptr;
    if (SUCCEEDED(OleLoadPicture(stream, static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                                 reinterpret_cast<void**>(&picture)))) {
        OLE_XSIZE_HIMETRIC w = 0;
        OLE_YSIZE_HIMETRIC h = 0;
        picture->get_Width(&w);
        picture->get_Height(&h);
        size.cx = MulDiv(w, 96, 2540);
        size.cy = MulDiv(h, 96, 2540);
        picture->Release();
    }
    stream->Release();
    return size;
}

TEST(ResourceCharts, VersionsSizesAndBlocks) {
    const GifRow rows[] = {
        {IDG_CHART86, "86 chart", 598, 166, "GIF89a", true},
        {IDG_CHART98, "98 chart", 598, 166, "GIF89a", true},
        {IDG_CHARTRARE, "identification-code chart", 476, 186, "GIF87a", false},
    };
    CoInitialize(nullptr);
    for (const GifRow& row : rows) {
        SCOPED_TRACE(row.role);
        std::vector<std::uint8_t> bytes = ResourceBytes(row.id, L"GIF");
        ASSERT_FALSE(bytes.empty());
        GifShape shape = Walk(bytes);
        EXPECT_EQ(shape.version, row.version);
        EXPECT_EQ(shape.width, row.width);
        EXPECT_EQ(shape.height, row.height);
        EXPECT_EQ(shape.images, 1) << "a still picture: one frame, no player thread";
        EXPECT_EQ(shape.controlBlockBeforeFirstImage, row.controlBlock);
        EXPECT_EQ(shape.extensions, row.controlBlock ? 1 : 0);
        EXPECT_TRUE(shape.endsWithTrailer);
        SIZE decoded = DecodedSize(bytes);
        EXPECT_EQ(decoded.cx, row.width);
        EXPECT_EQ(decoded.cy, row.height);
    }
    CoUninitialize();
}

}  // namespace
