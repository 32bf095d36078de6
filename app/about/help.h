// The program's help: an HTML page beside Velmi.exe, opened with the
// platform's default viewer.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace velmi {

// Opens a file with its default program and returns ERROR_SUCCESS, or the
// error that kept it closed; tests put their own in its place.
using FileOpener = std::function<DWORD(const std::wstring& path)>;

// The folder of Velmi.exe joined with a bare file name (and an optional
// "#section"), whatever the current directory.
[[nodiscard]] std::wstring BesideProgram(const std::wstring& fileName);

// The platform's "open", which tells the user nothing itself.
[[nodiscard]] DWORD OpenWithShell(const std::wstring& path);

}  // namespace velmi
