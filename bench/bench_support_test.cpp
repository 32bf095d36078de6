// The benchmark's own arithmetic: a wrong percentile or a misread executable
// would make the whole table a lie.
#include "pe_image.h"
#include "stats.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

namespace velmi::bench {
namespace {

TEST(BenchSupport, NearestRankOverUnsortedSamples) {
    std::vector<double> samples(100);
    std::iota(samples.rbegin(), samples.rend(), 1.0);
    EXPECT_EQ(Median(samples), 50);
    EXPECT_EQ(Quantile(samples, 0.99), 99);
    EXPECT_EQ(Quantile(samples, 1.0), 100);
    EXPECT_EQ(Median({3, 1, 2}), 2);
    EXPECT_EQ(Median({}), 0);
}

TEST(BenchSupport, ReadsItsOwnExecutableAsTheLoaderDoes) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    WIN32_FILE_ATTRIBUTE_DATA file{};
    ASSERT_TRUE(GetFileAttributesExW(path, GetFileExInfoStandard, &file));
    const auto facts = ReadPeFile(path);
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->size, file.nFileSizeLow);
    EXPECT_NE(std::find(facts->imports.begin(), facts->imports.end(), "kernel32.dll"),
              facts->imports.end());
    EXPECT_FALSE(ReadPe(std::vector<std::uint8_t>(200, 'M')));
}

}  // namespace
}  // namespace velmi::bench
