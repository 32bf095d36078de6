#include "alarm_panel.h"

#include "win_system.h"

namespace velmi {
namespace {

constexpr wchar_t kPanelClass[] = L"VelmiPanel";
constexpr COLORREF kLightYellow = RGB(255, 255, 192);

void PaintPanel(HWND panel) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(panel, &ps);
    RECT client;
    GetClientRect(panel, &client);
    SetBkColor(dc, kLightYellow);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);

    wchar_t caption[128] = {};
    const int length = GetWindowTextW(panel, caption, 128);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(panel, WM_GETFONT, 0, 0)));
    SIZE text{};
    GetTextExtentPoint32W(dc, caption, length, &text);
    // An etched border that starts halfway down the caption, as frames have.
    RECT border = client;
    border.top = text.cy / 2;
    DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
    const int captionLeft = MulDiv(8, GetDpiForWindow(panel), 96);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    RECT label{captionLeft, 0, captionLeft + text.cx + 2, text.cy};
    ExtTextOutW(dc, captionLeft + 1, 0, ETO_OPAQUE, &label, caption, static_cast<UINT>(length),
                nullptr);
    SelectObject(dc, old);
    EndPaint(panel, &ps);
}

LRESULT CALLBACK PanelProc(HWND panel, UINT message, WPARAM wp, LPARAM lp) {
    switch (message) {
        case WM_PAINT:
            PaintPanel(panel);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SETFONT:
            SetPropW(panel, L"VelmiFont", reinterpret_cast<HANDLE>(wp));
            if (lp) InvalidateRect(panel, nullptr, TRUE);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(GetPropW(panel, L"VelmiFont"));
        case WM_NCDESTROY:
            RemovePropW(panel, L"VelmiFont");
            break;
        case WM_COMMAND:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
            // The main window handles what its controls report.
            return SendMessageW(GetAncestor(panel, GA_ROOT), message, wp, lp);
        default:
            break;
    }
    return DefWindowProcW(panel, message, wp, lp);
}

}  // namespace

HWND CreatePanel(HWND parent, int id, const wchar_t* caption) {
    static const ATOM registered = RegisterWindowClass(kPanelClass, PanelProc);
    (void)registered;
    return CreateWindowExW(WS_EX_CONTROLPARENT, kPanelClass, caption,
                           WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
}

}  // namespace velmi
