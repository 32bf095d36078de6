#include "products.h"

#include "resource_ids.h"
#include "win_system.h"

namespace velmi {
namespace {

constexpr int kToolboxBitmapId = 30000;  // the calendar control's toolbox picture
constexpr int kPictureId = 100;

}  // namespace

ProductsWindow::~ProductsWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
    if (font_) DeleteObject(font_);
    if (toolbox_) DeleteObject(toolbox_);
}

void ProductsWindow::Show() {
    if (!hwnd_) Create();
    if (!hwnd_) return;
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    SetFocus(GetDlgItem(hwnd_, kProductsBackId));
}

void ProductsWindow::Create() {
    static const ATOM registered = RegisterWindowClass(
        kProductsClass, WindowProc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), IDI_STOPWATCH);
    if (!registered) return;
    constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    CreateWindowExW(WS_EX_CONTROLPARENT, kProductsClass, L"Tolvane products", style, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                    GetModuleHandleW(nullptr), this);
    if (!hwnd_) return;
    const UINT dpi = GetDpiForWindow(hwnd_);
    auto px = [dpi](int v) { return MulDiv(v, static_cast<int>(dpi), 96); };
    RECT outer{0, 0, px(380), px(170)};
    AdjustWindowRectExForDpi(&outer, style, FALSE, WS_EX_CONTROLPARENT, dpi);
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    font_ = CreateDialogFont(dpi);

    HICON stopwatch = static_cast<HICON>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_STOPWATCH), IMAGE_ICON, px(32), px(32), 0));
    // The calendar library is loaded already: it runs the main window's calendar.
    if (HMODULE calendar = GetModuleHandleW(L"Nuv.ocx")) {
        toolbox_ = static_cast<HBITMAP>(
            LoadImageW(calendar, MAKEINTRESOURCEW(kToolboxBitmapId), IMAGE_BITMAP, 0, 0, 0));
    }
    AddEntry(kProductVelmiId, px(12), stopwatch, IMAGE_ICON,
             L"Velmi: a note for every day beside a month calendar, with alarms and a "
             L"countdown.");
    AddEntry(kProductCalendarId, px(64), toolbox_, IMAGE_BITMAP,
             L"Nuv: the month calendar control, for any program that hosts ActiveX controls.");
    HWND back = CreateWindowExW(0, L"BUTTON", L"Back to Velmi",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, px(270),
                                px(128), px(98), px(28), hwnd_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kProductsBackId)),
                                GetModuleHandleW(nullptr), nullptr);
    SendMessageW(back, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
}

void ProductsWindow::AddEntry(int id, int top, HANDLE picture, UINT pictureType,
                              const wchar_t* text) {
    const UINT dpi = GetDpiForWindow(hwnd_);
    auto px = [dpi](int v) { return MulDiv(v, static_cast<int>(dpi), 96); };
    const DWORD pictureStyle = pictureType == IMAGE_ICON ? SS_ICON : SS_BITMAP;
    HWND image = CreateWindowExW(
        0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | pictureStyle | SS_NOTIFY, px(12), top, px(32),
        px(32), hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPictureId + id)),
        GetModuleHandleW(nullptr), nullptr);
    SendMessageW(image, STM_SETIMAGE, pictureType, reinterpret_cast<LPARAM>(picture));
    // A link-like button: the whole line opens the product's part of the help.
    HWND entry = CreateWindowExW(
        0, L"BUTTON", text,
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_LEFT | BS_MULTILINE | BS_FLAT,
        px(52), top, px(316), px(40), hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        GetModuleHandleW(nullptr), nullptr);
    SendMessageW(entry, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
}

void ProductsWindow::Leave() {
    ShowWindow(hwnd_, SW_HIDE);
    DestroyWindow(hwnd_);
    callbacks_.left();
}

LRESULT CALLBACK ProductsWindow::WindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    auto* self = CreatorOf<ProductsWindow>(window, message, lp);
    if (!self) return DefWindowProcW(window, message, wp, lp);
    if (message == WM_NCCREATE) self->hwnd_ = window;
    return self->OnMessage(message, wp, lp);
}

LRESULT ProductsWindow::OnMessage(UINT message, WPARAM wp, LPARAM lp) {
    switch (message) {
        case WM_COMMAND:
            switch (LOWORD(wp)) {
                case kProductsBackId:
                    Leave();
                    break;
                case kProductVelmiId:
                case kPictureId + kProductVelmiId:
                    callbacks_.openHelpSection(L"velmi");
                    break;
                case kProductCalendarId:
                case kPictureId + kProductCalendarId:
                    callbacks_.openHelpSection(L"calendar");
                    break;
                default:
                    break;
            }
            return 0;
        case WM_CLOSE:
            // The close box and Alt+F4 leave the window like its button does,
            // or the hidden main window could never come back.
            Leave();
            return 0;
        case WM_NCDESTROY: {
            HWND window = hwnd_;
            hwnd_ = nullptr;
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            return DefWindowProcW(window, message, wp, lp);
        }
        default:
            return DefWindowProcW(hwnd_, message, wp, lp);
    }
}

}  // namespace velmi
