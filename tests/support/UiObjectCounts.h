// How many GDI objects and windows this process holds, for leak checks around repeated work.
#pragma once

#include <string>

namespace testing_support {

struct UiObjectCounts {
    long gdiObjects = -1;  // -1: cannot be counted here
    long windows = 0;      // windows of this thread, children included (USER objects under Wine)
    long userObjects = -1; // the system's own count, where it keeps one (not under Wine)

    std::string Describe() const;
};

// On Windows the GDI count is the system's (GetGuiResources). Wine does not count per process; there the live entries
// of the process's GDI handle table are counted instead.
UiObjectCounts CountUiObjects();

}  // namespace testing_support
