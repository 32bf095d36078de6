// Runs another program of the Wine prefix and collects what it prints, and
// finds a process's windows.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace velmi::test {

struct ProcessResult {
    DWORD exitCode = static_cast<DWORD>(-1);
    std::string output;  // standard output and error, as bytes
};

// Runs the command line to its end (at most the timeout).
[[nodiscard]] ProcessResult RunProcess(const std::wstring& commandLine, DWORD timeoutMs = 60000);

// The top-level windows of the class that belong to the process, shown or not.
[[nodiscard]] std::vector<HWND> TopLevelWindows(const wchar_t* windowClass,
                                                DWORD processId = GetCurrentProcessId());

}  // namespace velmi::test
