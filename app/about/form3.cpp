#include "form3.h"

#include "twips.h"
#include "win_system.h"

#include <initializer_list>

namespace velmi {
namespace {

constexpr COLORREF kLightYellow = RGB(255, 255, 192);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr int kClientWidth = 4500, kClientHeight = 2715;
constexpr TwipRect kText1{240, 120, 4095, 1815};
constexpr TwipRect kCommand1{1680, 2280, 735, 255};

constexpr wchar_t kAboutText[] =
    L"Text1\r\n"
    L"Version 2.0 - October 26, 1999\r\n"
    L"Copyright (c) 1999-2026 Tolvane.\r\n"
    L"All rights reserved.\r\n"
    L"\r\n"
    L"Velmi - Tolvane Schedule\r\n"
    L"Made by Tolvane\r\n"
    L"Lindholm\r\n";

}  // namespace

Form3::~Form3() {
    if (hwnd_) DestroyWindow(hwnd_);
    if (yellow_) DeleteObject(yellow_);
    if (font_) DeleteObject(font_);
}

void Form3::Show(HWND owner) {
    if (!hwnd_) Create(owner);
    if (!hwnd_) return;
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    SetFocus(command1_);
}

void Form3::Create(HWND owner) {
    static const ATOM registered = RegisterWindowClass(kForm3Class, WindowProc);
    if (!registered) return;
    if (!yellow_) yellow_ = CreateSolidBrush(kLightYellow);
    // A fixed frame without a window icon.
    constexpr DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    constexpr DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    CreateWindowExW(exStyle, kForm3Class, L"About", style, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, GetModuleHandleW(nullptr), this);
    if (!hwnd_) return;
    const int dpi = static_cast<int>(GetDpiForWindow(hwnd_));
    RECT outer{0, 0, TwipsToPixels(kClientWidth, dpi), TwipsToPixels(kClientHeight, dpi)};
    AdjustWindowRectExForDpi(&outer, style, FALSE, exStyle, static_cast<UINT>(dpi));
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    const RECT t = TwipsToRect(kText1, dpi), b = TwipsToRect(kCommand1, dpi);
    text1_ = CreateWindowExW(0, L"EDIT", kAboutText,
                             WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL, t.left, t.top,
                             t.right - t.left, t.bottom - t.top, hwnd_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kForm3TextId)),
                             GetModuleHandleW(nullptr), nullptr);
    command1_ =
        CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                        b.left, b.top, b.right - b.left, b.bottom - b.top, hwnd_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kForm3OkId)),
                        GetModuleHandleW(nullptr), nullptr);
    if (font_) DeleteObject(font_);
    font_ = CreateDialogFont(static_cast<UINT>(dpi));
    for (HWND w : {text1_, command1_})
        SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
}

LRESULT CALLBACK Form3::WindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    auto* self = CreatorOf<Form3>(window, message, lp);
    if (!self) return DefWindowProcW(window, message, wp, lp);
    if (message == WM_NCCREATE) self->hwnd_ = window;
    return self->OnMessage(message, wp, lp);
}

LRESULT Form3::OnMessage(UINT message, WPARAM wp, LPARAM lp) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wp) == kForm3OkId) Command1_Click();
            return 0;
        case WM_ERASEBKGND: {
            RECT r{};
            GetClientRect(hwnd_, &r);
            FillRect(reinterpret_cast<HDC>(wp), &r, yellow_);
            return 1;
        }
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
            // The text is red on the window's yellow.
            SetTextColor(reinterpret_cast<HDC>(wp), kRed);
            SetBkColor(reinterpret_cast<HDC>(wp), kLightYellow);
            return reinterpret_cast<LRESULT>(yellow_);
        case WM_NCDESTROY: {
            // The close box unloads the window; the next "About" starts afresh.
            HWND window = hwnd_;
            hwnd_ = text1_ = command1_ = nullptr;
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            return DefWindowProcW(window, message, wp, lp);
        }
        default:
            return DefWindowProcW(hwnd_, message, wp, lp);
    }
}

}  // namespace velmi
