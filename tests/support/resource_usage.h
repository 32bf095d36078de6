// What this process holds: GDI and USER objects, kernel handles and memory,
// for telling a leak from a steady state.
#pragma once

#include <windows.h>

#include <string>

namespace velmi::test {

struct ResourceUsage {
    long gdi = 0;
    long user = 0;  // windows (message-only ones too), menus and icons
    long handles = 0;
    long long workingSet = 0;  // bytes
    long long heapBytes = 0;   // in use on every heap of the process
};

// Wine 8 answers 0 to GetGuiResources and GetProcessHandleCount, so the
// objects are counted one by one, slot by slot.
[[nodiscard]] ResourceUsage MeasureResources();

[[nodiscard]] std::string Describe(const ResourceUsage& usage);

}  // namespace velmi::test
