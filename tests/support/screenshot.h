// Saves what the screen shows as a BMP file in the artifacts folder, and reads
// a window's pixels.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace velmi::test {

// A window as it stands on the screen, or the whole screen for null.
void SaveScreenshot(HWND window, const std::wstring& name);

// The client area's pixels, row by row, once the window is painted.
[[nodiscard]] std::vector<COLORREF> ClientPixels(HWND window);

}  // namespace velmi::test
