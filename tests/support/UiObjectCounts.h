// How many GDI objects and windows this process holds, for leak checks around repeated work.
#pragma once

#include <windows.h>

#include <ostream>
#include <string>

namespace testing_support {

struct UiObjectCounts {
    long gdiObjects = -1;  // -1: cannot be counted here
    long windows = 0;      // windows of this thread, children included (USER objects under Wine)
    long userObjects = -1; // the system's own count; under Wine the windows, menus, icons and cursors

    std::string Describe() const;
    bool operator==(const UiObjectCounts&) const = default;
};

inline void PrintTo(const UiObjectCounts& counts, std::ostream* out) { *out << counts.Describe(); }

// On Windows both counts are the system's (GetGuiResources). Wine does not count per process; there the live entries
// of the process's GDI handle table are counted instead, and the USER objects are the thread's windows plus the
// menus, icons and cursors of the process, each found by the 16-bit form of its handle, which Wine resolves by
// table index.
UiObjectCounts CountUiObjects();

// The same for another process (opened with PROCESS_QUERY_INFORMATION and PROCESS_VM_READ): its GDI objects, and its
// windows, top-level ones of any thread with their children. Its menus, icons and cursors cannot be reached from
// outside under Wine, so there the USER objects stay -1.
UiObjectCounts CountUiObjects(HANDLE process);

// How many rounds a long check runs: the number in the environment variable when it is set (the full run, say
// TARVISK_LOOKUPS=10000), else `testCommandRounds`, a short run that keeps the test command fast.
int RoundsFromEnvironment(const char* variable, int testCommandRounds);

}  // namespace testing_support
