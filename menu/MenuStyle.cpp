// Which look the icon menus take: the class-wide settings, the running Windows version and the classic theme check.
#include <windows.h>

#include <string>

#include "framework/Platform.h"
#include "menu/GlyphMenu.h"

namespace {

// The theme setting is read once, on first use.
struct ThemeCache {
    bool known = false;
    bool classic = false;
};

ThemeCache& Theme() {
    static ThemeCache cache;
    return cache;
}

}  // namespace

int GlyphMenu::iconWidth = 16;
int GlyphMenu::iconHeight = 15;
int GlyphMenu::drawModeThemedXp = 1;
int GlyphMenu::drawModeOther = 0;
bool GlyphMenu::selectDisabledClassic = true;
bool GlyphMenu::selectDisabledFlat = false;
bool GlyphMenu::iconEffects = true;
bool GlyphMenu::plainBitmapLoaded = false;
PlatformClass GlyphMenu::platformClass = GlyphMenu::ClassifyPlatform();

PlatformClass GlyphMenu::ClassifyPlatform() {
    fw::Platform& sys = fw::Sys();
    const DWORD version = sys.GetVersion();
    const bool nt = (version & 0x80000000u) == 0;
    const DWORD major = version & 0xFF;
    if (!nt && major < 4) return PlatformWin32s;

    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    // A failed query leaves the record zero, which gives the fallback of each family.
    if (!sys.GetVersionEx(&info)) info = OSVERSIONINFOA{};
    if (nt) {
        if (info.dwMajorVersion == 4) return PlatformNt4;
        if (info.dwMajorVersion == 5 && info.dwMinorVersion == 0) return PlatformWin2000;
        if (info.dwMajorVersion == 5 && info.dwMinorVersion == 1) return PlatformWinXp;
        return PlatformNtOther;
    }
    if (info.dwMajorVersion == 4 && info.dwMinorVersion == 10) return PlatformWin98;
    if (info.dwMajorVersion == 4 && info.dwMinorVersion == 90) return PlatformWinMe;
    return PlatformWin95;
}

bool GlyphMenu::ReadClassicTheme() {
    static const std::string kClassic = "Windows Classic.theme";
    std::string value;
    if (fw::Sys().ReadRegistryDefault(HKEY_CURRENT_USER, "Software\\Microsoft\\Plus!\\Themes\\Current", KEY_READ,
                                      value, nullptr) != ERROR_SUCCESS)
        return false;
    // The setting is usually a full path: its file name decides, in any letter case.
    if (value.size() < kClassic.size()) return false;
    return lstrcmpiA(value.c_str() + value.size() - kClassic.size(), kClassic.c_str()) == 0;
}

bool GlyphMenu::IsClassicTheme() {
    ThemeCache& cache = Theme();
    if (!cache.known) {
        cache.known = true;
        cache.classic = ReadClassicTheme();
    }
    return cache.classic;
}

void GlyphMenu::ForgetClassicTheme() { Theme() = ThemeCache{}; }

bool GlyphMenu::IsModernShell() { return platformClass >= PlatformWin95; }

// The registry is consulted only on Windows XP.
bool GlyphMenu::IsThemedXp() { return platformClass == PlatformWinXp && !IsClassicTheme(); }

bool GlyphMenu::IsFlatStyle() { return (IsThemedXp() ? drawModeThemedXp : drawModeOther) == 1; }
