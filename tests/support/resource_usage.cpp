#include "resource_usage.h"

#include <psapi.h>

#include <cstdio>

namespace velmi::test {
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

long long HeapBytesInUse() {
    HANDLE heaps[128];
    const DWORD count = GetProcessHeaps(128, heaps);
    long long bytes = 0;
    for (DWORD i = 0; i < count && i < 128; ++i) {
        if (!HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) bytes += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return bytes;
}

}  // namespace

ResourceUsage MeasureResources() {
    ResourceUsage usage{CountGdiObjects(), CountUserObjects(), CountHandles()};
    PROCESS_MEMORY_COUNTERS memory{};
    if (GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory)))
        usage.workingSet = static_cast<long long>(memory.WorkingSetSize);
    usage.heapBytes = HeapBytesInUse();
    return usage;
}

std::string Describe(const ResourceUsage& u) {
    char text[200];
    std::snprintf(text, sizeof(text),
                  "GDI %ld, USER %ld, handles %ld, working set %.1f MB, heap %lld B", u.gdi, u.user,
                  u.handles, static_cast<double>(u.workingSet) / (1024.0 * 1024.0), u.heapBytes);
    return text;
}

}  // namespace velmi::test
