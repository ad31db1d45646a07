// How many GDI and USER objects this process holds, for tests that check a repeated action leaks none.
#pragma once

#include <windows.h>

namespace testing_support {

struct GuiObjectCounts {
    DWORD gdi = 0;
    DWORD user = 0;
};

// The system's own counts (GetGuiResources). Wine answers 0 for both; there the live entries of the process's GDI
// handle table are counted, and its USER objects of the kinds a test makes (menus, icons and cursors, windows),
// each found by the 16-bit form of its handle, which Wine resolves by table index.
GuiObjectCounts CountGuiObjects();

}  // namespace testing_support
