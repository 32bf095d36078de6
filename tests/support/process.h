// Runs another program of the Wine prefix and collects what it prints.
#pragma once

#include <windows.h>

#include <string>

namespace velmi::test {

struct ProcessResult {
    DWORD exitCode = static_cast<DWORD>(-1);
    std::string output;  // standard output and error, as bytes
};

// Runs the command line to its end (at most the timeout).
[[nodiscard]] ProcessResult RunProcess(const std::wstring& commandLine, DWORD timeoutMs = 60000);

}  // namespace velmi::test
