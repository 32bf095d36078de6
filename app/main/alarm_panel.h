// The frames of the alarm panel: a pale-yellow group with a caption, whose
// controls report to the main window.
#pragma once

#include <windows.h>

namespace velmi {

// A frame child window; created hidden.
[[nodiscard]] HWND CreatePanel(HWND parent, int id, const wchar_t* caption);

}  // namespace velmi
