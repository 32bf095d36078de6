// The benchmark's helpers: a wrong percentile, a note that does not hold what
// it claims or a misread executable would make the whole table a lie.
#include "alarm_scan.h"
#include "notes.h"
#include "pe_image.h"
#include "stats.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <numeric>

namespace velmi::bench {
namespace {

TEST(Quantile, NearestRankOverUnsortedSamples) {
    std::vector<double> samples(100);
    std::iota(samples.begin(), samples.end(), 1.0);
    std::reverse(samples.begin(), samples.end());
    EXPECT_EQ(Median(samples), 50);
    EXPECT_EQ(Quantile(samples, 0.99), 99);
    EXPECT_EQ(Quantile(samples, 1.0), 100);
    EXPECT_EQ(Quantile(samples, 0.001), 1);
    EXPECT_EQ(Median({3, 1, 2}), 2);
    EXPECT_EQ(Quantile({7}, 0.99), 7);
    EXPECT_EQ(Median({}), 0);
}

TEST(BenchNotes, MarkedNoteArmsItsTenMarkersAndEndsWithTheLast) {
    const std::wstring note = MarkedNote(1 << 20, 10);
    ASSERT_EQ(note.size(), 1u << 20);
    EXPECT_TRUE(note.starts_with(L"{*01:00AM*}"));
    EXPECT_TRUE(note.ends_with(L"{*10:45AM*}"));
    MinuteTable alarms;
    ScanAlarms(note, alarms);
    ASSERT_EQ(alarms.count, 10);
    for (int i = 1; i <= 10; ++i)
        EXPECT_EQ(alarms.minutes[static_cast<std::size_t>(i)], i * 60 + 5 * (i - 1));
}

TEST(BenchNotes, FragmentNoteIsOpeningsOnlyAndArmsNothing) {
    const std::wstring note = FragmentNote(1 << 20);
    ASSERT_EQ(note.size(), 1u << 20);
    EXPECT_EQ(std::count(note.begin(), note.end(), L'{'), 1 << 19);
    EXPECT_EQ(note.find(L"{*{*"), 0u);
    MinuteTable alarms;
    ScanAlarms(note, alarms);
    EXPECT_EQ(alarms.count, 0);
}

TEST(BenchNotes, DayNotesCarryAlarms) {
    MinuteTable alarms;
    ScanAlarms(DayNote(46361), alarms);
    EXPECT_GE(alarms.count, 1);
}

std::vector<std::uint8_t> OwnImage() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

const IMAGE_FILE_HEADER& OwnFileHeader() {
    const auto* base = reinterpret_cast<const BYTE*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    return reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew)->FileHeader;
}

// The import names as the loader laid them out in memory, where an RVA is an
// offset from the module base and no section table is needed.
std::vector<std::string> LoadedImports() {
    const auto* base = reinterpret_cast<const BYTE*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const auto& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    std::vector<std::string> names;
    for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
         d->Name; ++d) {
        std::string name(reinterpret_cast<const char*>(base + d->Name));
        std::transform(name.begin(), name.end(), name.begin(),
                       [](char c) { return static_cast<char>(std::tolower(c)); });
        names.push_back(name);
    }
    return names;
}

TEST(PeImage, ReadsWhatTheLoaderSees) {
    const std::vector<std::uint8_t> image = OwnImage();
    const auto facts = ReadPe(image);
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->size, image.size());
    EXPECT_EQ(facts->imports, LoadedImports());
    EXPECT_EQ(facts->stripped, OwnFileHeader().PointerToSymbolTable == 0);
    EXPECT_NE(std::find(facts->imports.begin(), facts->imports.end(), "kernel32.dll"),
              facts->imports.end());
}

TEST(PeImage, StrippedMeansNoSymbolTable) {
    std::vector<std::uint8_t> image = OwnImage();
    const auto fileHeader = static_cast<std::size_t>(
        reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data())->e_lfanew + 4);
    IMAGE_FILE_HEADER header{};
    std::memcpy(&header, image.data() + fileHeader, sizeof(header));
    header.PointerToSymbolTable = 0;
    header.NumberOfSymbols = 0;
    std::memcpy(image.data() + fileHeader, &header, sizeof(header));
    EXPECT_TRUE(ReadPe(image)->stripped);
    header.PointerToSymbolTable = 0x1000;
    header.NumberOfSymbols = 3;
    std::memcpy(image.data() + fileHeader, &header, sizeof(header));
    EXPECT_FALSE(ReadPe(image)->stripped);
}

TEST(PeImage, RejectsWhatIsNoImage) {
    std::vector<std::uint8_t> image = OwnImage();
    EXPECT_FALSE(ReadPe({}));
    EXPECT_FALSE(ReadPe(std::vector<std::uint8_t>(image.begin(), image.begin() + 200)));
    image[0] = 'X';
    EXPECT_FALSE(ReadPe(image));
}

TEST(PeImage, TellsSystemLibrariesFromRuntimes) {
    EXPECT_TRUE(IsSystemLibrary("kernel32.dll"));
    EXPECT_TRUE(IsSystemLibrary("msvcrt.dll"));
    EXPECT_TRUE(IsSystemLibrary("api-ms-win-crt-runtime-l1-1-0.dll"));
    EXPECT_FALSE(IsSystemLibrary("libstdc++-6.dll"));
    EXPECT_FALSE(IsSystemLibrary("libwinpthread-1.dll"));
}

}  // namespace
}  // namespace velmi::bench
