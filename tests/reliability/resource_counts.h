// What this process holds: GDI and USER objects, kernel handles and its
// working set, for telling a leak from a steady state.
#pragma once

#include <windows.h>

#include <string>

namespace velmi::reliability {

struct ResourceCounts {
    long gdi = 0;
    long user = 0;
    long handles = 0;
    long long workingSet = 0;  // bytes
};

// GetGuiResources and GetProcessHandleCount where the platform answers them;
// Wine 8 answers 0 to all three, so there the objects are counted one by one.
[[nodiscard]] ResourceCounts MeasureResources();

[[nodiscard]] std::string Describe(const ResourceCounts& counts);

}  // namespace velmi::reliability
