// The floor of the benchmark: the least a Win32 program does to show one
// window with a caption, built like Velmi.exe. Velmi's start-up and memory
// are held against this program's. Started with "caret", the window holds a
// focused multi-line edit box whose caret blinks, as Velmi's note box does:
// the floor of idle processor time.
#include <windows.h>

namespace {

constexpr wchar_t kClass[] = L"VelmiBenchBaseline";
constexpr wchar_t kCaption[] = L"Velmi benchmark baseline";

HWND caretBox;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    // Back in front, the box has the focus again, as Velmi's note box does.
    if (message == WM_SETFOCUS && caretBox) {
        SetFocus(caretBox);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClass;
    if (!RegisterClassExW(&wc)) return 1;
    HWND window = CreateWindowExW(0, kClass, kCaption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 506, 275, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    if (lstrcmpW(commandLine, L"caret") == 0) {
        RECT client{};
        GetClientRect(window, &client);
        caretBox =
            CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0,
                            0, client.right, client.bottom, window, nullptr, instance, nullptr);
        if (!caretBox) return 1;
        SetFocus(caretBox);
    }
    ShowWindow(window, SW_SHOWNORMAL);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
