// What the benchmark checks of a built program or library: its size on disk,
// whether its symbols are stripped, and which libraries it imports.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmi::bench {

struct PeFacts {
    std::uint64_t size = 0;            // bytes on disk
    bool stripped = false;             // no COFF symbol table
    std::vector<std::string> imports;  // the imported libraries' names, in lower case
};

// The facts of a PE image held in memory; nothing when it is no valid image.
[[nodiscard]] std::optional<PeFacts> ReadPe(const std::vector<std::uint8_t>& image);
[[nodiscard]] std::optional<PeFacts> ReadPeFile(const std::wstring& path);

// A library every Windows installation has (the C runtime msvcrt included);
// anything else, a C++ runtime DLL above all, means a dynamic link.
[[nodiscard]] bool IsSystemLibrary(std::string_view lowerCaseName);

}  // namespace velmi::bench
