#include "screenshot.h"

#include "window_input.h"

#include <cstdio>
#include <vector>

namespace velmi::test {

void SaveScreenshot(HWND window, const std::wstring& name) {
    if (window)
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    // Wine paints into a buffer of its own and copies it to the X screen, which
    // is what we read, only now and then while painting; waiting idle for
    // messages lets it copy the rest, or the picture may miss the last strokes.
    Pump(std::chrono::milliseconds(150));
    RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (window) GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER info{sizeof(info), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    const DWORD stride = ((static_cast<DWORD>(w) * 3 + 3) & ~3u);
    std::vector<char> bits(stride * static_cast<DWORD>(h));
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(h), bits.data(),
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    // The test script names the folder; Wine reads its Unix path on drive Z:.
    wchar_t named[MAX_PATH] = {};
    std::wstring dir = GetEnvironmentVariableW(L"VELMI_ARTIFACTS", named, MAX_PATH)
                           ? std::wstring(named) + L"/"
                           : std::wstring(L"artifacts\\");
    CreateDirectoryW(dir.c_str(), nullptr);
    BITMAPFILEHEADER file{0x4D42,
                          static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(info) + bits.size()),
                          0, 0, sizeof(BITMAPFILEHEADER) + sizeof(info)};
    FILE* out = _wfopen((dir + name + L".bmp").c_str(), L"wb");
    if (!out) return;
    fwrite(&file, sizeof(file), 1, out);
    fwrite(&info, sizeof(info), 1, out);
    fwrite(bits.data(), 1, bits.size(), out);
    fclose(out);
}

std::vector<COLORREF> ClientPixels(HWND window) {
    UpdateWindow(window);
    RECT r{};
    GetClientRect(window, &r);
    std::vector<COLORREF> pixels;
    HDC dc = GetDC(window);
    for (int y = 0; y < r.bottom; ++y)
        for (int x = 0; x < r.right; ++x)
            pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(window, dc);
    return pixels;
}

}  // namespace velmi::test
