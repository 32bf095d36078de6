// The program's help: an HTML page beside Velmi.exe, opened with the
// platform's default viewer.
#pragma once

#include <functional>
#include <string>

namespace velmi {

// Opens a file with its default program; tests put their own in its place.
using FileOpener = std::function<void(const std::wstring& path)>;

// The folder of Velmi.exe joined with a bare file name (and an optional
// "#section"), whatever the current directory.
[[nodiscard]] std::wstring BesideProgram(const std::wstring& fileName);

// The platform's "open"; a missing file is reported by the platform itself.
void OpenWithShell(const std::wstring& path);

}  // namespace velmi
