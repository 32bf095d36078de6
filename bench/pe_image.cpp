#include "pe_image.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace velmi::bench {
namespace {

// Little-endian reads that fail instead of running past the end.
class Bytes {
public:
    explicit Bytes(const std::vector<std::uint8_t>& data) : data_(data) {}
    [[nodiscard]] bool Has(std::uint64_t at, std::uint64_t count) const {
        return at <= data_.size() && count <= data_.size() - at;
    }
    [[nodiscard]] std::uint32_t U(std::uint64_t at, int width) const {
        std::uint32_t value = 0;
        for (int i = width - 1; i >= 0; --i)
            value = value << 8 | data_[static_cast<std::size_t>(at) + static_cast<std::size_t>(i)];
        return value;
    }
    [[nodiscard]] std::optional<std::string> CString(std::uint64_t at) const {
        std::string text;
        for (; at < data_.size() && data_[at] != 0; ++at)
            text += static_cast<char>(std::tolower(data_[at]));
        if (at >= data_.size()) return std::nullopt;
        return text;
    }

private:
    const std::vector<std::uint8_t>& data_;
};

struct Section {
    std::uint32_t rva, size, fileOffset;
};

// The file offset of a relative virtual address, through the section holding it.
std::optional<std::uint64_t> FileOffset(const std::vector<Section>& sections, std::uint32_t rva) {
    for (const Section& s : sections) {
        if (rva >= s.rva && rva - s.rva < s.size) return std::uint64_t{s.fileOffset} + rva - s.rva;
    }
    return std::nullopt;
}

constexpr std::uint32_t kPe32Plus = 0x20B;
constexpr std::uint32_t kDescriptorSize = 20;

std::optional<std::vector<std::string>> Imports(const Bytes& b,
                                                const std::vector<Section>& sections,
                                                std::uint32_t directoryRva) {
    std::vector<std::string> names;
    if (directoryRva == 0) return names;
    auto at = FileOffset(sections, directoryRva);
    for (; at && b.Has(*at, kDescriptorSize); *at += kDescriptorSize) {
        const std::uint32_t nameRva = b.U(*at + 12, 4);
        if (nameRva == 0) return names;  // the all-zero descriptor ends the table
        const auto nameAt = FileOffset(sections, nameRva);
        const auto name = nameAt ? b.CString(*nameAt) : std::nullopt;
        if (!name) return std::nullopt;
        names.push_back(*name);
    }
    return std::nullopt;
}

}  // namespace

std::optional<PeFacts> ReadPe(const std::vector<std::uint8_t>& image) {
    const Bytes b(image);
    if (!b.Has(0, 64) || b.U(0, 2) != 0x5A4D) return std::nullopt;  // "MZ"
    const std::uint32_t pe = b.U(0x3C, 4);
    if (!b.Has(pe, 24) || b.U(pe, 4) != 0x00004550) return std::nullopt;  // "PE\0\0"
    const std::uint32_t sectionCount = b.U(pe + 6, 2);
    const std::uint32_t symbolTable = b.U(pe + 12, 4);
    const std::uint32_t symbolCount = b.U(pe + 16, 4);
    const std::uint32_t optionalSize = b.U(pe + 20, 2);
    const std::uint64_t optional = pe + 24;
    if (!b.Has(optional, optionalSize) || optionalSize < 2) return std::nullopt;
    // The data directories begin at 96 (PE32) or 112 (PE32+); the import table is the second.
    const std::uint64_t directories = optional + (b.U(optional, 2) == kPe32Plus ? 112 : 96);
    if (directories + 16 > optional + optionalSize) return std::nullopt;
    const std::uint32_t importRva = b.U(directories + 8, 4);

    std::vector<Section> sections;
    const std::uint64_t table = optional + optionalSize;
    if (!b.Has(table, std::uint64_t{sectionCount} * 40)) return std::nullopt;
    for (std::uint32_t i = 0; i < sectionCount; ++i) {
        const std::uint64_t s = table + std::uint64_t{i} * 40;
        const std::uint32_t virtualSize = b.U(s + 8, 4);
        const std::uint32_t rawSize = b.U(s + 16, 4);
        sections.push_back({b.U(s + 12, 4), std::min(virtualSize ? virtualSize : rawSize, rawSize),
                            b.U(s + 20, 4)});
    }
    auto imports = Imports(b, sections, importRva);
    if (!imports) return std::nullopt;
    return PeFacts{image.size(), symbolTable == 0 && symbolCount == 0, std::move(*imports)};
}

std::optional<PeFacts> ReadPeFile(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    if (!file) return std::nullopt;
    const std::vector<std::uint8_t> image((std::istreambuf_iterator<char>(file)),
                                          std::istreambuf_iterator<char>());
    return ReadPe(image);
}

bool IsSystemLibrary(std::string_view name) {
    static constexpr std::array<std::string_view, 22> kSystem = {
        "advapi32.dll", "comctl32.dll", "comdlg32.dll", "crypt32.dll", "gdi32.dll",
        "imm32.dll",    "kernel32.dll", "msvcrt.dll",   "ntdll.dll",   "ole32.dll",
        "oleaut32.dll", "psapi.dll",    "rpcrt4.dll",   "shell32.dll", "shlwapi.dll",
        "user32.dll",   "uxtheme.dll",  "version.dll",  "winmm.dll",   "ws2_32.dll",
        "ucrtbase.dll", "dwmapi.dll"};
    if (name.starts_with("api-ms-win-")) return true;
    return std::find(kSystem.begin(), kSystem.end(), name) != kSystem.end();
}

}  // namespace velmi::bench
