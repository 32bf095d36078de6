#include "about_window.h"

#include "twips.h"
#include "velmi_controls.h"
#include "velmi_texts.h"
#include "win_system.h"

namespace velmi {
namespace {

constexpr COLORREF kLightYellow = RGB(255, 255, 192);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr int kClientWidth = 4500, kClientHeight = 2715;
constexpr TwipRect kTextRect{240, 120, 4095, 1815};
constexpr TwipRect kOkRect{1680, 2280, 735, 255};

// A fixed frame without a window icon.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

}  // namespace

AboutWindow::~AboutWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
}

void AboutWindow::Show(HWND owner) {
    if (!hwnd_ && FAILED(Create(owner))) return;
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    SetFocus(okButton_);
}

HRESULT AboutWindow::Create(HWND owner) {
    static const ATOM registered = RegisterWindowClass(
        kAboutWindowClass,
        RouteToCreator<AboutWindow, &AboutWindow::hwnd_, &AboutWindow::OnMessage>);
    if (!registered) return LastErrorResult();
    if (!yellow_) yellow_.reset(CreateSolidBrush(kLightYellow));
    CreateWindowExW(kExStyle, kAboutWindowClass, L"About", kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, GetModuleHandleW(nullptr), this);
    if (!hwnd_) return LastErrorResult();
    const int dpi = static_cast<int>(GetDpiForWindow(hwnd_));
    RECT outer{0, 0, TwipsToPixels(kClientWidth, dpi), TwipsToPixels(kClientHeight, dpi)};
    AdjustWindowRectExForDpi(&outer, kStyle, FALSE, kExStyle, static_cast<UINT>(dpi));
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const HRESULT made = CreateControls(dpi);
    if (FAILED(made)) DestroyWindow(hwnd_);
    return made;
}

HRESULT AboutWindow::CreateControls(int dpi) {
    text_ = CreateChildWindow(hwnd_, {.className = L"EDIT",
                                      .text = kAboutText,
                                      .style = WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL,
                                      .id = kAboutTextId,
                                      .position = TwipsToRect(kTextRect, dpi)});
    okButton_ = CreateChildWindow(hwnd_, {.className = L"BUTTON",
                                          .text = L"OK",
                                          .style = WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                                          .id = kAboutOkId,
                                          .position = TwipsToRect(kOkRect, dpi)});
    if (!text_ || !okButton_) return LastErrorResult();
    font_.reset(CreateDialogFont(static_cast<UINT>(dpi)));
    for (HWND w : {text_, okButton_})
        SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    return S_OK;
}

LRESULT AboutWindow::OnMessage(UINT message, WPARAM wp, LPARAM lp) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wp) == kAboutOkId) OnOk();
            return 0;
        case WM_ERASEBKGND:
            return OnEraseBackground(reinterpret_cast<HDC>(wp));
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
            return OnCtlColor(reinterpret_cast<HDC>(wp));
        case WM_NCDESTROY:
            return OnNcDestroy(wp, lp);
        default:
            return DefWindowProcW(hwnd_, message, wp, lp);
    }
}

LRESULT AboutWindow::OnEraseBackground(HDC dc) {
    RECT r{};
    GetClientRect(hwnd_, &r);
    FillRect(dc, &r, yellow_.get());
    return 1;
}

LRESULT AboutWindow::OnCtlColor(HDC dc) {
    // The text is red on the window's yellow.
    SetTextColor(dc, kRed);
    SetBkColor(dc, kLightYellow);
    return reinterpret_cast<LRESULT>(yellow_.get());
}

LRESULT AboutWindow::OnNcDestroy(WPARAM wp, LPARAM lp) {
    // The close box unloads the window; the next "About" starts afresh.
    HWND window = hwnd_;
    hwnd_ = text_ = okButton_ = nullptr;
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    return DefWindowProcW(window, WM_NCDESTROY, wp, lp);
}

}  // namespace velmi
