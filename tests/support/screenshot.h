// Saves what the screen shows as a BMP file in the artifacts folder.
#pragma once

#include <windows.h>

#include <string>

namespace velmi::test {

// A window as it stands on the screen, or the whole screen for null.
void SaveScreenshot(HWND window, const std::wstring& name);

}  // namespace velmi::test
