#include "tests/support/GuiObjects.h"

#include "framework/Handles.h"

namespace testing_support {
namespace {

constexpr unsigned kGdiHandles = 0x10000;
constexpr unsigned kFirstUserHandle = 0x20;
constexpr unsigned kLastUserHandle = 0xFFEF;

bool IsIconOrCursor(HICON handle) {
    ICONINFO info{};
    if (!GetIconInfo(handle, &info)) return false;
    fw::UniqueBitmap mask(info.hbmMask), colour(info.hbmColor);
    return true;
}

}  // namespace

GuiObjectCounts CountGuiObjects() {
    GuiObjectCounts counts{GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
                           GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)};
    if (counts.gdi == 0) {
        for (unsigned index = 0; index < kGdiHandles; ++index)
            counts.gdi += GetObjectType(reinterpret_cast<HGDIOBJ>(static_cast<ULONG_PTR>(index))) != 0;
    }
    if (counts.user == 0) {
        for (unsigned value = kFirstUserHandle; value <= kLastUserHandle; value += 2) {
            const auto handle = static_cast<ULONG_PTR>(value);
            counts.user += IsMenu(reinterpret_cast<HMENU>(handle)) || IsWindow(reinterpret_cast<HWND>(handle)) ||
                           IsIconOrCursor(reinterpret_cast<HICON>(handle));
        }
    }
    return counts;
}

}  // namespace testing_support
