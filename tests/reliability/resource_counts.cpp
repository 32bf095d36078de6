#include "resource_counts.h"

#include <psapi.h>

#include <cstdio>

namespace velmi::reliability {
namespace {

// Under Wine a GDI or USER handle whose upper word is zero names the object in
// that slot of the process's table, whatever its generation; kernel handles
// are multiples of four, handed out lowest first.
constexpr unsigned kGdiSlots = 0x10000;
constexpr unsigned kFirstUserHandle = 0x20, kUserSlots = 0x7FF8;
constexpr ULONG_PTR kHandleLimit = 4 * 0x4000;

long CountGdiObjects() {
    long count = 0;
    for (unsigned slot = 1; slot < kGdiSlots; ++slot)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(static_cast<ULONG_PTR>(slot)))) ++count;
    return count;
}

bool IsOurIcon(HANDLE handle) {
    ICONINFO info{};
    if (!GetIconInfo(static_cast<HICON>(handle), &info)) return false;
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    return true;
}

long CountUserObjects() {
    const DWORD self = GetCurrentProcessId();
    long count = 0;
    for (unsigned slot = 0; slot < kUserSlots; ++slot) {
        const auto handle =
            reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(kFirstUserHandle + 2 * slot));
        // Menus and icons answer only in the process that made them.
        if (IsMenu(static_cast<HMENU>(handle)) || IsOurIcon(handle)) {
            ++count;
            continue;
        }
        DWORD owner = 0;
        if (IsWindow(static_cast<HWND>(handle)) &&
            GetWindowThreadProcessId(static_cast<HWND>(handle), &owner) && owner == self) {
            ++count;
        }
    }
    return count;
}

long CountHandles() {
    long count = 0;
    for (ULONG_PTR value = 4; value < kHandleLimit; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
    }
    return count;
}

}  // namespace

ResourceCounts MeasureResources() {
    ResourceCounts counts;
    const HANDLE self = GetCurrentProcess();
    counts.gdi = static_cast<long>(GetGuiResources(self, GR_GDIOBJECTS));
    if (counts.gdi == 0) counts.gdi = CountGdiObjects();
    counts.user = static_cast<long>(GetGuiResources(self, GR_USEROBJECTS));
    if (counts.user == 0) counts.user = CountUserObjects();
    DWORD handles = 0;
    if (GetProcessHandleCount(self, &handles) && handles > 0) {
        counts.handles = static_cast<long>(handles);
    } else {
        counts.handles = CountHandles();
    }
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    if (GetProcessMemoryInfo(self, &memory, sizeof(memory)))
        counts.workingSet = static_cast<long long>(memory.WorkingSetSize);
    return counts;
}

std::string Describe(const ResourceCounts& c) {
    char text[160];
    std::snprintf(text, sizeof(text), "GDI %ld, USER %ld, handles %ld, working set %.1f MB", c.gdi,
                  c.user, c.handles, static_cast<double>(c.workingSet) / (1024.0 * 1024.0));
    return text;
}

}  // namespace velmi::reliability
