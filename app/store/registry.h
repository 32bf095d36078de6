// The registry routines behind the day-note store: text values read and
// written through the Unicode registry functions, and whole keys removed.
#pragma once

#include "reg_result.h"
#include "win_handle.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace velmi {

// In the routines below an empty path means the root key itself, used
// through the caller's own handle and with the access it was opened with.

// The text of the REG_SZ value, with or without its terminating zero. A
// missing key or value gives the default with kMissing; any other failure,
// a value of another type and a zero within the text among them, gives the
// default with kFailed.
[[nodiscard]] RegText ReadRegText(HKEY root, std::wstring_view path, std::wstring_view valueName,
                                  std::wstring_view defaultText);

// Creates root\path with every missing key above it and sets the value as
// REG_SZ holding the text and its terminating zero.
[[nodiscard]] RegResult WriteRegText(HKEY root, std::wstring_view path, std::wstring_view valueName,
                                     std::wstring_view text);

// Deletes root\path with everything below it; kMissing when it did not exist.
// The root itself (an empty path) is never removed.
[[nodiscard]] RegResult RemoveRegKey(HKEY root, std::wstring_view path);

// Copies every value and subkey of source into target, values byte for byte.
[[nodiscard]] RegResult CopyRegTree(HKEY source, HKEY target);

// The system's message for a Win32 error code, or a text naming the number.
// Its inserts ("Bad EXE format for %1.") name the subject.
[[nodiscard]] std::wstring SystemErrorText(unsigned long error, std::wstring_view subject = L"it");
// A system message with its inserts filled by the subject and its escapes resolved.
[[nodiscard]] std::wstring FillInserts(std::wstring_view text, std::wstring_view subject);

}  // namespace velmi
