// A small modal dialog like the classic input box: a prompt, an entry field,
// OK and Cancel. Enter is OK, Esc is Cancel.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace velmi {

// The answer, or nothing when the user cancelled.
[[nodiscard]] std::optional<std::wstring> InputBox(HWND owner, const std::wstring& prompt,
                                                   const std::wstring& title);

}  // namespace velmi
