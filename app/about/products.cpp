#include "products.h"

#include "nuv_ids.h"
#include "velmi_controls.h"
#include "win_system.h"

namespace velmi {
namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;

RECT Rect(int left, int top, int width, int height) {
    return {left, top, left + width, top + height};
}

}  // namespace

ProductsWindow::~ProductsWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
}

void ProductsWindow::Show() {
    if (!hwnd_ && FAILED(Create())) return;
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    SetFocus(GetDlgItem(hwnd_, kProductsBackId));
}

int ProductsWindow::Scaled(int pixelsAt96) const {
    return MulDiv(pixelsAt96, static_cast<int>(GetDpiForWindow(hwnd_)), 96);
}

HRESULT ProductsWindow::Create() {
    static const ATOM registered = RegisterWindowClass(
        kProductsWindowClass,
        RouteToCreator<ProductsWindow, &ProductsWindow::hwnd_, &ProductsWindow::OnMessage>,
        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), kStopwatchIconId);
    if (!registered) return LastErrorResult();
    CreateWindowExW(kExStyle, kProductsWindowClass, L"Tolvane products", kStyle, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                    GetModuleHandleW(nullptr), this);
    if (!hwnd_) return LastErrorResult();
    const UINT dpi = GetDpiForWindow(hwnd_);
    RECT outer{0, 0, Scaled(380), Scaled(170)};
    AdjustWindowRectExForDpi(&outer, kStyle, FALSE, kExStyle, dpi);
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    font_.reset(CreateDialogFont(dpi));
    LoadPictures();
    const HRESULT made = CreateControls();
    if (FAILED(made)) DestroyWindow(hwnd_);
    return made;
}

void ProductsWindow::LoadPictures() {
    stopwatch_.reset(
        static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kStopwatchIconId),
                                      IMAGE_ICON, Scaled(32), Scaled(32), 0)));
    // The calendar library is loaded already: it runs the main window's calendar.
    if (HMODULE calendar = GetModuleHandleW(L"Nuv.ocx")) {
        toolbox_.reset(static_cast<HBITMAP>(
            LoadImageW(calendar, MAKEINTRESOURCEW(NUV_IDB_TOOLBOX), IMAGE_BITMAP, 0, 0, 0)));
    }
}

HRESULT ProductsWindow::CreateControls() {
    const Entry entries[] = {
        {kProductVelmiId, 12, stopwatch_.get(), IMAGE_ICON,
         L"Velmi: a note for every day beside a month calendar, with alarms and a "
         L"countdown."},
        {kProductCalendarId, 64, toolbox_.get(), IMAGE_BITMAP,
         L"Nuv: the month calendar control, for any program that hosts ActiveX controls."}};
    for (const Entry& entry : entries)
        if (const HRESULT added = AddEntry(entry); FAILED(added)) return added;
    HWND back = CreateChildWindow(
        hwnd_, {.className = L"BUTTON",
                .text = L"Back to Velmi",
                .style = WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                .id = kProductsBackId,
                .position = Rect(Scaled(270), Scaled(128), Scaled(98), Scaled(28))});
    if (!back) return LastErrorResult();
    SendMessageW(back, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    return S_OK;
}

HRESULT ProductsWindow::AddEntry(const Entry& e) {
    const int top = Scaled(e.top);
    const DWORD pictureStyle = e.pictureType == IMAGE_ICON ? SS_ICON : SS_BITMAP;
    HWND image =
        CreateChildWindow(hwnd_, {.style = WS_VISIBLE | pictureStyle | SS_NOTIFY,
                                  .id = kProductPictureBase + e.id,
                                  .position = Rect(Scaled(12), top, Scaled(32), Scaled(32))});
    if (!image) return LastErrorResult();
    SendMessageW(image, STM_SETIMAGE, e.pictureType, reinterpret_cast<LPARAM>(e.picture));
    // A link-like button: the whole line opens the product's part of the help.
    HWND entry = CreateChildWindow(
        hwnd_, {.className = L"BUTTON",
                .text = e.text,
                .style = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_LEFT | BS_MULTILINE | BS_FLAT,
                .id = e.id,
                .position = Rect(Scaled(52), top, Scaled(316), Scaled(40))});
    if (!entry) return LastErrorResult();
    SendMessageW(entry, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    return S_OK;
}

void ProductsWindow::Leave() {
    ShowWindow(hwnd_, SW_HIDE);
    DestroyWindow(hwnd_);
    callbacks_.left();
}

LRESULT ProductsWindow::OnMessage(UINT message, WPARAM wp, LPARAM lp) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wp));
            return 0;
        case WM_CLOSE:
            // The close box and Alt+F4 leave the window like its button does,
            // or the hidden main window could never come back.
            Leave();
            return 0;
        case WM_NCDESTROY: {
            HWND window = hwnd_;
            OnNcDestroy();
            return DefWindowProcW(window, message, wp, lp);
        }
        default:
            return DefWindowProcW(hwnd_, message, wp, lp);
    }
}

void ProductsWindow::OnCommand(int id) {
    switch (id) {
        case kProductsBackId:
            Leave();
            break;
        case kProductVelmiId:
        case kProductPictureBase + kProductVelmiId:
            callbacks_.openHelpSection(L"velmi");
            break;
        case kProductCalendarId:
        case kProductPictureBase + kProductCalendarId:
            callbacks_.openHelpSection(L"calendar");
            break;
        default:
            break;
    }
}

void ProductsWindow::OnNcDestroy() {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
    // The pictures and the font go with the window that showed them.
    font_.reset();
    stopwatch_.reset();
    toolbox_.reset();
}

}  // namespace velmi
