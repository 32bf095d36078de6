// Small platform helpers shared by both deliverables.
#pragma once

#include <windows.h>

namespace velmi {

// A function of a system library, loaded on first use: the libraries that
// only help, the sound and the session's end need stay out of memory until
// then. Null when it cannot be had.
template <typename Function>
[[nodiscard]] Function SystemFunction(const wchar_t* library, const char* name) noexcept {
    HMODULE module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Replaces a window's procedure with a handler that may pass messages on to
// the original (without the Common Controls library, which would cost a
// megabyte of memory for this alone).
using SubclassHandler = LRESULT (*)(void* owner, HWND window, UINT message, WPARAM wp, LPARAM lp,
                                    WNDPROC original);
void Subclass(HWND window, SubclassHandler handler, void* owner) noexcept;

}  // namespace velmi
