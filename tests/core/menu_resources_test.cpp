// Menu template, toolbar and strip header readers: the structure they report, and that every cut-short or malformed
// input is refused rather than read past its end (the sanitizers of the native tree watch every read).
#include "core/MenuResources.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using core::kMenuEnd;
using core::kMenuPopup;

void PutWord(Bytes& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutDword(Bytes& out, std::uint32_t value) {
    PutWord(out, static_cast<std::uint16_t>(value & 0xFFFF));
    PutWord(out, static_cast<std::uint16_t>(value >> 16));
}

// A menu template written the way the resource compiler writes one.
class TemplateWriter {
public:
    explicit TemplateWriter(std::uint16_t offset = 0) {
        PutWord(bytes, 0);
        PutWord(bytes, offset);
        bytes.resize(bytes.size() + offset, 0xEE);
    }
    TemplateWriter& Item(std::uint16_t options, std::uint16_t id, const std::u16string& label) {
        PutWord(bytes, options);
        if (!(options & kMenuPopup)) PutWord(bytes, id);
        for (char16_t unit : label) PutWord(bytes, unit);
        PutWord(bytes, 0);
        return *this;
    }
    Bytes bytes;
};

// The tray menu: one popup of six commands, no separators.
Bytes TrayTemplate() {
    TemplateWriter w;
    w.Item(kMenuPopup | kMenuEnd, 0, u"ZADI");
    w.Item(0, 32771, u"\u663e\u793a(&S)");
    w.Item(0, 1017, u"\u5b9a\u4e49\u70ed\u952e(&K)");
    w.Item(0, 1034, u"\u8ff7\u4f60\u7a97\u53e3(&M)");
    w.Item(0, 1032, u"\u5e2e\u52a9(H)");
    w.Item(0, 1021, u"\u5173\u4e8e(&A)");
    w.Item(kMenuEnd, 32774, u"\u9000\u51fa(&X)");
    return w.bytes;
}

TEST(MenuTemplateTest, ReadsTheTrayMenu) {
    const auto items = core::ParseMenuTemplate(TrayTemplate());
    ASSERT_TRUE(items);
    ASSERT_EQ(items->size(), 7u);
    EXPECT_EQ((*items)[0].options, kMenuPopup | kMenuEnd);
    EXPECT_EQ((*items)[0].label, u"ZADI");
    const std::uint16_t ids[] = {32771, 1017, 1034, 1032, 1021, 32774};
    for (int i = 0; i < 6; ++i) EXPECT_EQ((*items)[i + 1].id, ids[i]);
    EXPECT_EQ((*items)[1].label, u"\u663e\u793a(&S)");
    // The last command ends both the popup and the top level.
    for (int i = 0; i < 6; ++i) EXPECT_EQ((*items)[i].closes, 0);
    EXPECT_EQ((*items)[6].closes, 2);
}

TEST(MenuTemplateTest, NestedLevelsSeparatorsAndHeaderOffset) {
    // Top level: popup "A" { "a1", separator, popup "B" { "b1" } }, then "z".
    TemplateWriter w(6);
    w.Item(kMenuPopup, 0, u"A");
    w.Item(0, 11, u"a1");
    w.Item(0, 0, u"");
    w.Item(kMenuPopup | kMenuEnd, 0, u"B");
    w.Item(kMenuEnd, 21, u"b1");
    w.Item(kMenuEnd, 99, u"z");
    w.Item(kMenuEnd, 77, u"after the end, never read");
    const auto items = core::ParseMenuTemplate(w.bytes);
    ASSERT_TRUE(items);
    ASSERT_EQ(items->size(), 6u);
    EXPECT_EQ((*items)[1].label, u"a1");
    EXPECT_EQ((*items)[2].id, 0);
    EXPECT_EQ((*items)[2].label, u"");
    EXPECT_EQ((*items)[4].closes, 2) << "b1 ends B and, B being A's last item, A too";
    EXPECT_EQ((*items)[5].closes, 1);
    EXPECT_EQ((*items)[5].id, 99);
}

TEST(MenuTemplateTest, RefusesEveryCutAndForeignHeaders) {
    const Bytes full = TrayTemplate();
    for (std::size_t size = 0; size < full.size(); ++size) {
        EXPECT_FALSE(core::ParseMenuTemplate(std::span(full.data(), size))) << "cut to " << size << " bytes";
    }
    Bytes extended = full;
    extended[0] = 1;  // an extended template is laid out differently
    EXPECT_FALSE(core::ParseMenuTemplate(extended));
    Bytes farOffset = full;
    farOffset[2] = 0xFF;
    farOffset[3] = 0xFF;
    EXPECT_FALSE(core::ParseMenuTemplate(farOffset));
    // A level that never ends runs into the data's end.
    TemplateWriter open;
    open.Item(kMenuPopup | kMenuEnd, 0, u"P").Item(0, 1, u"x").Item(0, 2, u"y");
    EXPECT_FALSE(core::ParseMenuTemplate(open.bytes));
}

Bytes Toolbar(std::uint16_t version, const std::vector<std::uint16_t>& ids) {
    Bytes out;
    for (std::uint16_t word : {version, std::uint16_t{16}, std::uint16_t{15}, static_cast<std::uint16_t>(ids.size())})
        PutWord(out, word);
    for (std::uint16_t id : ids) PutWord(out, id);
    return out;
}

TEST(ToolbarResourceTest, ButtonsPicturesAndCuts) {
    const Bytes full = Toolbar(1, {1021, 32774, 1034, 1032, 1017, 32771});
    ASSERT_TRUE(core::ParseToolbarResource(full));
    for (std::size_t size = 0; size < full.size(); ++size)
        EXPECT_FALSE(core::ParseToolbarResource(std::span(full.data(), size))) << "cut to " << size << " bytes";
    EXPECT_FALSE(core::ParseToolbarResource(Toolbar(2, {1021})));
    Bytes padded = full;
    padded.push_back(0);
    EXPECT_TRUE(core::ParseToolbarResource(padded)) << "resources are padded to a word or more";

    // Separators take no picture: the strip holds one per command button. A leading separator does not shift the
    // pictures, and a command named twice shows its first picture both times.
    const auto pictures = core::ToolbarPictures(*core::ParseToolbarResource(Toolbar(1, {0, 7, 0, 8, 7, 9})));
    ASSERT_EQ(pictures.size(), 4u);
    const int expected[][2] = {{7, 0}, {8, 1}, {7, 0}, {9, 3}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(pictures[i].id, expected[i][0]) << i;
        EXPECT_EQ(pictures[i].picture, expected[i][1]) << i;
    }
}

Bytes Bitmap(std::int32_t width, std::int32_t height, std::uint16_t bits, std::uint32_t compression = 0,
             std::uint32_t used = 0, bool withPixels = true) {  // withPixels: the colour table too
    Bytes out;
    PutDword(out, 40);
    PutDword(out, static_cast<std::uint32_t>(width));
    PutDword(out, static_cast<std::uint32_t>(height));
    PutWord(out, 1);
    PutWord(out, bits);
    PutDword(out, compression);
    for (int i = 0; i < 3; ++i) PutDword(out, 0);  // image size, resolution
    PutDword(out, used);
    PutDword(out, 0);
    if (withPixels) {
        const std::uint32_t colours = used ? used : bits <= 8 ? 1u << bits : 0;
        out.resize(out.size() + 4 * colours);
        const std::int64_t rows = height < 0 ? -static_cast<std::int64_t>(height) : height;
        out.resize(out.size() + static_cast<std::size_t>((width * bits + 31) / 32 * 4 * rows));
    }
    return out;
}

TEST(StripBitmapHeaderTest, LocatesTableAndPixels) {
    const Bytes strip = Bitmap(96, 15, 4);
    const auto header = core::ReadStripBitmapHeader(strip);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->colourCount, 16);
    EXPECT_EQ(header->colourTable, 40u);
    EXPECT_EQ(header->pixels, 40u + 64u);
    EXPECT_EQ(core::ReadStripBitmapHeader(Bitmap(8, 2, 8, 0, 3))->colourCount, 3) << "used colours counted";
    EXPECT_EQ(core::ReadStripBitmapHeader(Bitmap(8, -2, 24))->colourCount, 0) << "top-down, no table";

    for (std::size_t size = 0; size < strip.size(); ++size)
        EXPECT_FALSE(core::ReadStripBitmapHeader(std::span(strip.data(), size))) << "cut to " << size << " bytes";
    EXPECT_FALSE(core::ReadStripBitmapHeader(Bitmap(96, 15, 4, 2))) << "run-length compressed";
    EXPECT_FALSE(core::ReadStripBitmapHeader(Bitmap(96, 15, 3))) << "no such depth";
    EXPECT_FALSE(core::ReadStripBitmapHeader(Bitmap(96, 15, 4, 0, 0x40000000u, false))) << "a table past the end";
    // Sizes that would wrap round in 32 or 64 bits are refused, not trusted.
    EXPECT_FALSE(core::ReadStripBitmapHeader(Bitmap(0x7FFFFFFF, 0x7FFFFFFF, 32, 0, 0, false)));
    EXPECT_FALSE(core::ReadStripBitmapHeader(Bitmap(0x7FFFFFFF, -0x7FFFFFFF - 1, 32, 0, 0, false)));
}

}  // namespace
