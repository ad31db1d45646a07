// The icon menu's model on the real resources: the shared picture list filled by the tray menu and reused by the
// mini menu (pictures compared pixel by pixel with the strip), loading menus 131 and 132, finding and relabelling
// items, teardown, the look chosen for every platform row and theme setting.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ColourMix.h"
#include "framework/Platform.h"
#include "menu/GlyphMenu.h"
#include "resources/resource.h"
#include "tests/support/PixelCanvas.h"
#include "tests/support/RecordingPlatform.h"

namespace {

using testing_support::PixelCanvas;
using testing_support::PlatformScope;
using testing_support::RecordingPlatform;

constexpr COLORREF kMagenta = RGB(255, 0, 255);  // in none of the pictures: shows where they are transparent
const UINT kToolbarOrder[] = {IDC_ABOUTBTN, ID_EXIT, IDC_MINIBTN, IDC_HELPBTN, IDC_HOTKEYBTN, ID_SHOW};

// The class-wide settings a test changes, put back afterwards.
class MenuSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        GlyphMenu::platformClass = PlatformNtOther;
        GlyphMenu::drawModeOther = 1;
        GlyphMenu::drawModeThemedXp = 1;
        GlyphMenu::iconEffects = true;
    }
    void TearDown() override {
        GlyphMenu::platformClass = savedPlatform_;
        GlyphMenu::drawModeOther = savedOther_;
        GlyphMenu::drawModeThemedXp = savedXp_;
        GlyphMenu::iconEffects = true;
        GlyphMenu::ForgetClassicTheme();
    }

private:
    PlatformClass savedPlatform_ = GlyphMenu::platformClass;
    int savedOther_ = GlyphMenu::drawModeOther;
    int savedXp_ = GlyphMenu::drawModeThemedXp;
};

// A picture of an image list drawn on magenta, read back.
std::vector<COLORREF> Picture(HIMAGELIST list, int index) {
    PixelCanvas canvas(GlyphMenu::iconWidth, GlyphMenu::iconHeight);
    canvas.Fill(kMagenta);
    ImageList_Draw(list, index, canvas.dc(), 0, 0, ILD_TRANSPARENT);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x) pixels.push_back(canvas.At(x, y));
    return pixels;
}

GlyphMenu* Popup(GlyphMenu& menu) { return dynamic_cast<GlyphMenu*>(menu.GetSubMenu(0)); }

using SharedPicturesTest = MenuSettingsTest;

// First in this program: it needs the process's shared list still empty.
TEST_F(SharedPicturesTest, TrayMenuFillsGroupsOfFourAndTheMiniMenuAddsNothing) {
    ASSERT_EQ(GlyphMenu::SharedImages(), nullptr) << "another test stored pictures first";

    GlyphMenu tray;
    ASSERT_TRUE(tray.LoadFromResource(IDR_TRAYMENU));
    ASSERT_TRUE(tray.LoadToolbarImages(IDR_TOOLBAR));
    HIMAGELIST shared = GlyphMenu::SharedImages();
    ASSERT_NE(shared, nullptr);
    ASSERT_EQ(ImageList_GetImageCount(shared), 24);
    const std::vector<UINT>& ids = GlyphMenu::SharedImageIds();
    ASSERT_EQ(ids.size(), 24u);
    for (int group = 0; group < 6; ++group)
        for (int k = 0; k < 4; ++k) EXPECT_EQ(ids[4 * group + k], kToolbarOrder[group]) << "slot " << 4 * group + k;

    // Each command shows its own picture of the strip, and its variants are made from it.
    fw::UniqueImageList strip(ImageList_Create(16, 15, ILC_COLORDDB | ILC_MASK, 1, 1));
    ASSERT_TRUE(GlyphMenu::AddImageStrip(strip.get(), IDB_TOOLBAR));
    ASSERT_EQ(ImageList_GetImageCount(strip.get()), 6);
    const COLORREF silhouette = core::TintTowardWhite(GetSysColor(COLOR_BTNSHADOW), 0.49);
    GlyphMenu* popup = Popup(tray);
    ASSERT_NE(popup, nullptr);
    for (int picture = 0; picture < 6; ++picture) {
        SCOPED_TRACE("command " + std::to_string(kToolbarOrder[picture]));
        const GlyphMenu::Found found = tray.FindItem(kToolbarOrder[picture]);
        ASSERT_EQ(found.menu, popup);
        EXPECT_EQ(popup->Items()[found.position]->imageSlot, 4 * picture);

        const auto expected = Picture(strip.get(), picture);
        const auto normal = Picture(shared, 4 * picture), faded = Picture(shared, 4 * picture + 1),
                   shadow = Picture(shared, 4 * picture + 2), grayed = Picture(shared, 4 * picture + 3);
        int drawn = 0;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            ASSERT_EQ(normal[i], expected[i]) << "pixel " << i;
            if (expected[i] == kMagenta) {
                ASSERT_EQ(faded[i], kMagenta);
                ASSERT_EQ(shadow[i], kMagenta);
                ASSERT_EQ(grayed[i], kMagenta);
                continue;
            }
            ++drawn;
            ASSERT_EQ(faded[i], core::TintTowardWhite(expected[i], 0.3)) << "pixel " << i;
            ASSERT_EQ(shadow[i], silhouette) << "pixel " << i;
            ASSERT_EQ(grayed[i], core::GrayTone(expected[i], GetSysColor(COLOR_BTNSHADOW))) << "pixel " << i;
        }
        EXPECT_GT(drawn, 20);
        EXPECT_LT(drawn, 16 * 15) << "light gray is transparent";
    }

    // The mini menu finds its two commands' pictures while loading and replaces them in place.
    GlyphMenu mini;
    ASSERT_TRUE(mini.LoadFromResource(IDR_MINIMENU));
    GlyphMenu* miniPopup = Popup(mini);
    ASSERT_NE(miniPopup, nullptr);
    EXPECT_EQ(miniPopup->Items()[0]->imageSlot, 20) << "32771 already has a picture when appended";
    EXPECT_EQ(miniPopup->Items()[1]->imageSlot, 4);
    ASSERT_TRUE(mini.LoadToolbarImages(IDR_TOOLBAR));
    EXPECT_EQ(ImageList_GetImageCount(shared), 24);
    EXPECT_EQ(GlyphMenu::SharedImageIds().size(), 24u);
    EXPECT_EQ(miniPopup->Items().size(), 2u) << "1021 is not in this menu: no record for it";
    EXPECT_EQ(Picture(shared, 20), Picture(strip.get(), 5));

    // Under a themed Windows XP the silhouette is the plain shadow colour: loading again remakes the pictures in
    // place; back on this system they are remade once more.
    auto silhouettePixels = [&](COLORREF colour) {
        int count = 0;
        for (COLORREF pixel : Picture(shared, 6)) count += pixel == colour;  // 32774
        return count;
    };
    const int tinted = silhouettePixels(silhouette);
    ASSERT_GT(tinted, 20);
    {
        RecordingPlatform platform;  // no theme setting: a themed desktop
        PlatformScope scope(platform);
        GlyphMenu::platformClass = PlatformWinXp;
        ASSERT_TRUE(GlyphMenu::IsThemedXp());
        GlyphMenu again;
        ASSERT_TRUE(again.LoadFromResource(IDR_TRAYMENU));
        ASSERT_TRUE(again.LoadToolbarImages(IDR_TOOLBAR));
    }
    EXPECT_EQ(silhouettePixels(GetSysColor(COLOR_BTNSHADOW)), tinted);
    EXPECT_EQ(ImageList_GetImageCount(shared), 24);
    GlyphMenu::platformClass = PlatformNtOther;
    GlyphMenu::ForgetClassicTheme();
    GlyphMenu last;
    ASSERT_TRUE(last.LoadFromResource(IDR_MINIMENU));
    ASSERT_TRUE(last.LoadToolbarImages(IDR_TOOLBAR));
    EXPECT_EQ(silhouettePixels(GetSysColor(COLOR_BTNSHADOW)), 0) << "32774's silhouette made again";
    EXPECT_EQ(silhouettePixels(silhouette), tinted);
}

// The bytes of the menu item at `position`: its type, id, data, submenu and string.
struct ItemInfo {
    UINT type = 0;
    UINT id = 0;
    ULONG_PTR data = 0;
    HMENU submenu = nullptr;
    std::wstring text;
};

ItemInfo Info(HMENU menu, int position) {
    wchar_t text[256] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = 256;
    EXPECT_TRUE(GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info));
    const bool ownerDrawn = info.fType & MFT_OWNERDRAW;
    return {info.fType, info.wID, info.dwItemData, info.hSubMenu, ownerDrawn ? std::wstring() : std::wstring(text)};
}

using MenuLoadingTest = MenuSettingsTest;

TEST_F(MenuLoadingTest, TrayAndMiniMenusLoadAsOwnerDrawnPopupsUnderAPlainEntry) {
    const struct {
        UINT id;
        const wchar_t* title;
        std::vector<std::pair<UINT, std::wstring>> items;
    } menus[] = {
        {IDR_TRAYMENU, L"ZADI",
         {{ID_SHOW, L"显示(&S)"}, {IDC_HOTKEYBTN, L"定义热键(&K)"}, {IDC_MINIBTN, L"迷你窗口(&M)"},
          {IDC_HELPBTN, L"帮助(H)"}, {IDC_ABOUTBTN, L"关于(&A)"}, {ID_EXIT, L"退出(&X)"}}},
        {IDR_MINIMENU, L"MINI", {{ID_SHOW, L"隐藏(&H)"}, {ID_EXIT, L"返回(&R)"}}},
    };
    for (const auto& expected : menus) {
        SCOPED_TRACE("menu " + std::to_string(expected.id));
        GlyphMenu menu;
        ASSERT_TRUE(menu.LoadFromResource(expected.id));
        HMENU root = menu.GetSafeHmenu();
        ASSERT_EQ(GetMenuItemCount(root), 1);
        const ItemInfo top = Info(root, 0);
        EXPECT_FALSE(top.type & MFT_OWNERDRAW) << "the top level is plain";
        EXPECT_EQ(top.text, expected.title);
        ASSERT_NE(top.submenu, nullptr);
        ASSERT_EQ(menu.Items().size(), 1u);
        EXPECT_EQ(menu.Items()[0]->flags, static_cast<UINT>(MF_BYPOSITION | MF_POPUP));
        EXPECT_EQ(menu.PopupHandles(), std::vector<HMENU>{top.submenu});

        GlyphMenu* popup = Popup(menu);
        ASSERT_NE(popup, nullptr);
        ASSERT_EQ(GetMenuItemCount(top.submenu), static_cast<int>(expected.items.size()));
        ASSERT_EQ(popup->Items().size(), expected.items.size());
        for (int i = 0; i < static_cast<int>(expected.items.size()); ++i) {
            const ItemInfo item = Info(top.submenu, i);
            const GlyphItem& record = *popup->Items()[i];
            EXPECT_TRUE(item.type & MFT_OWNERDRAW) << i;
            EXPECT_EQ(item.id, expected.items[i].first);
            EXPECT_EQ(item.data, reinterpret_cast<ULONG_PTR>(&record)) << "the record at index " << i;
            EXPECT_EQ(record.text, expected.items[i].second);
            EXPECT_EQ(record.flags, static_cast<UINT>(MF_OWNERDRAW));
        }
    }
}

TEST_F(MenuLoadingTest, LoadingAgainLeavesNothingOfTheFirstAndAMissingMenuChangesNothing) {
    GlyphMenu menu;
    ASSERT_TRUE(menu.LoadFromResource(IDR_TRAYMENU));
    HMENU firstRoot = menu.GetSafeHmenu();
    HMENU firstPopup = GetSubMenu(firstRoot, 0);
    ASSERT_TRUE(menu.LoadFromResource(IDR_MINIMENU));
    EXPECT_FALSE(IsMenu(firstRoot));
    EXPECT_FALSE(IsMenu(firstPopup));
    EXPECT_EQ(fw::Menu::FromHandle(firstPopup), nullptr);
    EXPECT_EQ(menu.Items().size(), 1u);
    EXPECT_EQ(menu.PopupHandles().size(), 1u);
    EXPECT_EQ(Popup(menu)->Items().size(), 2u);

    HMENU kept = menu.GetSafeHmenu();
    EXPECT_FALSE(menu.LoadFromResource(4242));
    EXPECT_FALSE(menu.LoadToolbarImages(4242));
    EXPECT_EQ(menu.GetSafeHmenu(), kept);
    EXPECT_EQ(Popup(menu)->Items().size(), 2u);

    // An item appended to a loaded menu's top level is plain like the others, and the popup stays.
    ASSERT_TRUE(menu.AppendGlyphItem(L"extra", 0, 777));
    ASSERT_EQ(GetMenuItemCount(kept), 2);
    EXPECT_EQ(Info(kept, 0).text, L"MINI");
    EXPECT_NE(Info(kept, 0).submenu, nullptr);
    EXPECT_EQ(Info(kept, 1).text, L"extra");
    EXPECT_EQ(Info(kept, 1).id, 777u);
    EXPECT_EQ(Popup(menu)->Items().size(), 2u);

    // The caller may destroy the tracked popup before the menu goes; the popup object is deleted all the same.
    HMENU popup = Popup(menu)->GetSafeHmenu();
    EXPECT_TRUE(Popup(menu)->DestroyMenu());
    EXPECT_TRUE(menu.DestroyGlyphMenu());
    EXPECT_FALSE(IsMenu(kept));
    EXPECT_FALSE(IsMenu(popup));
    EXPECT_TRUE(menu.Items().empty());
}

TEST_F(MenuLoadingTest, AppendedSeparatorsPopupsAndRelabellingEveryItemOfACommand) {
    // A menu built by hand: the same command directly and inside a popup.
    GlyphMenu root;
    ASSERT_TRUE(root.CreatePopupMenu());
    GlyphMenu inner;
    ASSERT_TRUE(inner.CreatePopupMenu());
    ASSERT_TRUE(inner.AppendGlyphItem(L"inner", 0, 500));
    ASSERT_TRUE(root.AppendGlyphItem(L"sub", MF_POPUP, reinterpret_cast<UINT_PTR>(inner.GetSafeHmenu())));
    ASSERT_TRUE(root.AppendGlyphItem(L"", MF_STRING, 0));
    ASSERT_TRUE(root.AppendGlyphItem(L"outer", 0, 500, IDR_TOOLBAR));

    const ItemInfo separator = Info(root.GetSafeHmenu(), 1);
    EXPECT_TRUE(separator.type & MFT_SEPARATOR);
    EXPECT_TRUE(separator.type & MFT_OWNERDRAW);
    EXPECT_EQ(root.Items()[1]->flags, static_cast<UINT>(MF_SEPARATOR | MF_OWNERDRAW));
    EXPECT_EQ(root.PopupHandles(), std::vector<HMENU>{inner.GetSafeHmenu()});
    EXPECT_EQ(root.Items()[0]->imageSlot, -1) << "a popup has no picture";
    // 500 is not in the toolbar: picture 0 of the strip, stored under 500.
    EXPECT_EQ(GlyphMenu::SharedImageIds()[root.Items()[2]->imageSlot], 500u);

    // Depth first: the popup's item comes before the direct one.
    const GlyphMenu::Found first = root.FindItem(500);
    EXPECT_EQ(first, (GlyphMenu::Found{&inner, 0}));
    const GlyphMenu::Found second = root.FindNextItem(500, {first});
    EXPECT_EQ(second, (GlyphMenu::Found{&root, 2}));
    EXPECT_EQ(root.FindNextItem(500, {first, second}), GlyphMenu::Found{});
    EXPECT_EQ(root.FindItem(501), GlyphMenu::Found{});

    ASSERT_TRUE(root.SetItemImage("\xd0\xc2", 500, nullptr, 0));  // GBK for 新
    EXPECT_EQ(inner.Items()[0]->text, L"新");
    EXPECT_EQ(root.Items()[2]->text, L"新");
    // Each item stays owner-drawn with its own menu's record as its data.
    EXPECT_TRUE(Info(root.GetSafeHmenu(), 2).type & MFT_OWNERDRAW);
    EXPECT_EQ(Info(root.GetSafeHmenu(), 2).data, reinterpret_cast<ULONG_PTR>(root.Items()[2].get()));
    EXPECT_EQ(Info(inner.GetSafeHmenu(), 0).data, reinterpret_cast<ULONG_PTR>(inner.Items()[0].get()));
    EXPECT_FALSE(root.SetItemImage("x", 501, nullptr, 0));
    EXPECT_EQ(root.Items().size(), 3u) << "an unknown command gets no record";

    // Windows destroys an appended popup with the menu that holds it; its object must not destroy it again.
    inner.Detach();
}

class FailingVersionEx : public RecordingPlatform {
public:
    BOOL GetVersionEx(OSVERSIONINFOA* info) override {
        RecordingPlatform::GetVersionEx(info);
        return FALSE;
    }
};

using MenuStyleTest = MenuSettingsTest;

TEST_F(MenuStyleTest, EveryPlatformRow) {
    constexpr DWORD kNonNt = 0x80000000u;
    const struct {
        const char* name;
        DWORD version;
        DWORD major, minor;
        bool exFails;
        PlatformClass expected;
    } rows[] = {
        {"Win32s", kNonNt | 3, 0, 0, false, PlatformWin32s},
        {"Windows 95", kNonNt | 4, 4, 0, false, PlatformWin95},
        {"Windows 98", kNonNt | 0x0A04, 4, 10, false, PlatformWin98},
        {"Windows Me", kNonNt | 0x5A04, 4, 90, false, PlatformWinMe},
        {"9x, record unavailable", kNonNt | 4, 4, 10, true, PlatformWin95},
        {"NT 3.51", 0x3303, 3, 51, false, PlatformNtOther},
        {"NT 4", 4, 4, 0, false, PlatformNt4},
        {"Windows 2000", 5, 5, 0, false, PlatformWin2000},
        {"Windows XP", 0x0105, 5, 1, false, PlatformWinXp},
        {"Server 2003", 0x0205, 5, 2, false, PlatformNtOther},
        {"Windows 7", 0x0106, 6, 1, false, PlatformNtOther},
        {"Windows 10", 0x000A, 10, 0, false, PlatformNtOther},
        {"NT, record unavailable", 0x0105, 5, 1, true, PlatformNtOther},
    };
    for (const auto& row : rows) {
        FailingVersionEx failing;
        RecordingPlatform working;
        RecordingPlatform& platform = row.exFails ? failing : working;
        platform.version = row.version;
        platform.versionEx.dwMajorVersion = row.major;
        platform.versionEx.dwMinorVersion = row.minor;
        PlatformScope scope(platform);
        EXPECT_EQ(GlyphMenu::ClassifyPlatform(), row.expected) << row.name;
        EXPECT_EQ(platform.CountOf("GetVersionEx"), row.expected == PlatformWin32s ? 0 : 1) << row.name;
        GlyphMenu::platformClass = row.expected;
        EXPECT_EQ(GlyphMenu::IsModernShell(), row.expected >= PlatformWin95) << row.name;
    }
}

TEST_F(MenuStyleTest, ThemeSettingAndTheLookItChooses) {
    const std::string key = "Software\\Microsoft\\Plus!\\Themes\\Current";
    const struct {
        const char* name;
        const char* value;  // nullptr: no such key
        bool classic;
    } rows[] = {
        {"missing key", nullptr, false},
        {"the file name alone", "Windows Classic.theme", true},
        {"a full path in lower case", "c:\\windows\\resources\\themes\\windows classic.theme", true},
        {"shorter than the name", "Classic.theme", false},
        {"the name not at the end", "Windows Classic.theme.bak", false},
    };
    for (const auto& row : rows) {
        RecordingPlatform platform;
        if (row.value) platform.registryValues.emplace_back(key, row.value);
        PlatformScope scope(platform);
        GlyphMenu::ForgetClassicTheme();
        // Only Windows XP with a theme takes drawModeThemedXp; the setting is read once.
        GlyphMenu::drawModeOther = 0;
        GlyphMenu::platformClass = PlatformWinXp;
        EXPECT_EQ(GlyphMenu::IsFlatStyle(), !row.classic) << row.name;
        EXPECT_EQ(GlyphMenu::IsClassicTheme(), row.classic) << row.name;
        EXPECT_EQ(platform.CountOf("ReadRegistryDefault"), 1) << row.name;
        EXPECT_EQ(platform.CallsNamed("ReadRegistryDefault")[0].numbers[0], KEY_READ);
        // Elsewhere drawModeOther, and the registry is not asked.
        GlyphMenu::platformClass = PlatformWin2000;
        GlyphMenu::ForgetClassicTheme();
        platform.Clear();
        EXPECT_FALSE(GlyphMenu::IsFlatStyle());
        GlyphMenu::drawModeOther = 1;
        EXPECT_TRUE(GlyphMenu::IsFlatStyle());
        EXPECT_EQ(platform.CountOf("ReadRegistryDefault"), 0) << row.name;
    }
}

TEST_F(MenuStyleTest, StripWithoutSixteenColoursTakesThePlainPath) {
    // The About picture has 256 colours and is 120 pixels wide: seven whole pictures, its colours kept.
    fw::UniqueImageList list(ImageList_Create(16, 15, ILC_COLORDDB | ILC_MASK, 1, 1));
    ASSERT_TRUE(GlyphMenu::AddImageStrip(list.get(), IDB_ABOUT));
    EXPECT_TRUE(GlyphMenu::plainBitmapLoaded);
    EXPECT_EQ(ImageList_GetImageCount(list.get()), 7);
    fw::UniqueBitmap plain(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_ABOUT), IMAGE_BITMAP, 0, 0, 0)));
    PixelCanvas original(120, 58);
    fw::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    fw::ScopedSelect select(dc.get(), plain.get());
    BitBlt(original.dc(), 0, 0, 120, 58, dc.get(), 0, 0, SRCCOPY);
    const auto second = Picture(list.get(), 1);
    for (int i = 0; i < 16 * 15; ++i) ASSERT_EQ(second[i], original.At(16 + i % 16, i / 16)) << i;
    EXPECT_FALSE(GlyphMenu::AddImageStrip(list.get(), 4242));
}

}  // namespace
