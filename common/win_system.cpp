#include "win_system.h"

#include <new>

namespace velmi {
namespace {

struct SubclassData {
    WNDPROC original;
    SubclassHandler handler;
    void* owner;
};

LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    // The user data, not a window property: a property is read through the
    // window server under Wine, and this runs for every message of the box.
    auto* data = reinterpret_cast<SubclassData*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!data) return DefWindowProcW(window, message, wp, lp);
    if (message == WM_NCDESTROY) {
        const WNDPROC original = data->original;
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete data;
        return CallWindowProcW(original, window, message, wp, lp);
    }
    try {
        return data->handler(data->owner, window, message, wp, lp, data->original);
    } catch (...) {
        return 0;  // nothing may cross the system's frames
    }
}

}  // namespace

void Subclass(HWND window, SubclassHandler handler, void* owner) noexcept {
    auto* data = new (std::nothrow) SubclassData{nullptr, handler, owner};
    if (!data) return;
    data->original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data));
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc));
}

ATOM RegisterWindowClass(const wchar_t* name, WNDPROC procedure, HBRUSH background,
                         int iconId) noexcept {
    return RegisterWindowClass(WindowClassArgs{name, procedure, nullptr, background, iconId});
}

ATOM RegisterWindowClass(const WindowClassArgs& args) noexcept {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = args.procedure;
    wc.hInstance = args.instance ? args.instance : GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = args.background;
    wc.lpszClassName = args.name;
    if (args.iconId) {
        wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(args.iconId));
        wc.hIconSm = static_cast<HICON>(
            LoadImageW(wc.hInstance, MAKEINTRESOURCEW(args.iconId), IMAGE_ICON, 16, 16, 0));
    }
    return RegisterClassExW(&wc);
}

HWND CreateChildWindow(HWND parent, const ChildWindowArgs& args) noexcept {
    const RECT& r = args.position;
    return CreateWindowExW(args.exStyle, args.className, args.text, WS_CHILD | args.style, r.left,
                           r.top, r.right - r.left, r.bottom - r.top, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.id)),
                           GetModuleHandleW(nullptr), nullptr);
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring ModulePath(HMODULE module) {
    // Long paths are possible; grow until the whole path fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}

HFONT CreateDialogFont(UINT dpi) noexcept {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi);
    metrics.lfMessageFont.lfHeight = -MulDiv(8, static_cast<int>(dpi), 72);
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

}  // namespace velmi
