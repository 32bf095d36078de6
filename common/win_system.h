// Small platform helpers shared by both deliverables.
#pragma once

#include <windows.h>

#include <string>

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
// megabyte of memory for this alone). For a control of the system's own
// classes, whose user data is the program's; it keeps its state there.
using SubclassHandler = LRESULT (*)(void* owner, HWND window, UINT message, WPARAM wp, LPARAM lp,
                                    WNDPROC original);
void Subclass(HWND window, SubclassHandler handler, void* owner) noexcept;

// Registers a window class of the program's own module, with an icon from
// its resources when iconId is not 0; the atom, or 0.
[[nodiscard]] ATOM RegisterWindowClass(const wchar_t* name, WNDPROC procedure,
                                       HBRUSH background = nullptr, int iconId = 0) noexcept;

// The same for a class of any module (a control library registers its classes
// under its own instance, not the program's).
struct WindowClassArgs {
    const wchar_t* name = nullptr;
    WNDPROC procedure = nullptr;
    HINSTANCE instance = nullptr;  // null: the program's own module
    HBRUSH background = nullptr;
    int iconId = 0;  // an icon of the instance's resources, or none
};
[[nodiscard]] ATOM RegisterWindowClass(const WindowClassArgs& args) noexcept;

// The whole text of a window (a control's text, a window's caption).
[[nodiscard]] std::wstring WindowText(HWND window);

// The full path of a loaded module's file (null: the program's own); empty
// when it cannot be had.
[[nodiscard]] std::wstring ModulePath(HMODULE module);

// The classic 8-point dialog font, in the system's message face, at a resolution.
[[nodiscard]] HFONT CreateDialogFont(UINT dpi) noexcept;

// A child window of the program's own module, made from a few arguments.
struct ChildWindowArgs {
    const wchar_t* className = L"STATIC";
    const wchar_t* text = L"";
    DWORD style = 0;  // WS_CHILD is always added
    DWORD exStyle = 0;
    int id = 0;
    RECT position{};  // in the parent's client pixels
};
// The new window, or null with the reason in GetLastError.
[[nodiscard]] HWND CreateChildWindow(HWND parent, const ChildWindowArgs& args) noexcept;

// The object a window was created for: passed as the creation parameter,
// kept in the window's user data from WM_NCCREATE on.
template <typename T>
[[nodiscard]] T* CreatorOf(HWND window, UINT message, LPARAM lp) noexcept {
    if (message == WM_NCCREATE) {
        auto* creator = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creator));
        return creator;
    }
    return reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// The window procedure for objects of type T: the window handle
// is kept in its member Handle from WM_NCCREATE on, and each message goes to
// its member Handler; messages before the object is known get the default.
// An exception stops here, at the routing point.
template <typename T, HWND T::*Handle, LRESULT (T::*Handler)(UINT, WPARAM, LPARAM)>
LRESULT CALLBACK RouteToCreator(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    T* self = CreatorOf<T>(window, message, lp);
    if (!self) return DefWindowProcW(window, message, wp, lp);
    if (message == WM_NCCREATE) self->*Handle = window;
    try {
        return (self->*Handler)(message, wp, lp);
    } catch (...) {
        // Nothing may cross the system's frames. A message that failed is
        // dropped; a window that failed to be made is not made.
        return message == WM_CREATE ? -1 : 0;
    }
}

}  // namespace velmi
