#include "registry.h"

#include "scratch_key_fixture.h"

#include <gtest/gtest.h>

namespace velmi {
namespace {

using testing::ScratchKey;

// Notes written and read back, a megabyte and text beyond ASCII included,
// and the layout they leave are the process tests' and the walk's.
TEST(Registry, ValuesOfOtherWritersAreCutAtZeroOrIgnoredByType) {
    ScratchKey root(L"RegistryForeign");
    const unique_hkey key = testing::Open(root.get(), L"", KEY_SET_VALUE);
    const auto setRaw = [&](DWORD type, const void* data, DWORD size) {
        EXPECT_EQ(RegSetValueExW(key.get(), L"", 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        return ReadRegText(root.get(), L"", L"", L"fallback");
    };
    const wchar_t terminated[] = L"note";
    EXPECT_EQ(setRaw(REG_SZ, terminated, sizeof terminated).text, L"note");
    const wchar_t inner[] = L"ab\0cd";
    EXPECT_EQ(setRaw(REG_SZ, inner, sizeof inner).text, L"ab");
    const DWORD number = 42;
    EXPECT_EQ(setRaw(REG_DWORD, &number, sizeof number).result.status, RegStatus::kMissing);
    EXPECT_EQ(ReadRegText(root.get(), L"", L"no such value", L"fallback").text, L"fallback");
}

// Wine does not enforce registry rights, but it does hold a handle to the
// access it was opened with; an empty path works through the caller's handle,
// which is never removed. Removing day keys is RegistryNoteStore's test.
TEST(Registry, EmptyPathIsTheCallersHandleWithItsAccess) {
    ScratchKey scratch(L"RegistryAccess");
    ASSERT_FALSE(WriteRegText(scratch.get(), L"", L"", L"before").Failed());
    const unique_hkey readOnly = testing::Open(HKEY_CURRENT_USER, scratch.Path(), KEY_READ);
    const RegResult write = WriteRegText(readOnly.get(), L"", L"", L"lost");
    EXPECT_EQ(write.status, RegStatus::kFailed);
    EXPECT_EQ(write.error, static_cast<unsigned long>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(ReadRegText(readOnly.get(), L"", L"", L"").text, L"before");

    const unique_hkey writeOnly = testing::Open(HKEY_CURRENT_USER, scratch.Path(), KEY_SET_VALUE);
    const RegText read = ReadRegText(writeOnly.get(), L"", L"", L"fallback");
    EXPECT_EQ(read.result.status, RegStatus::kFailed);
    EXPECT_EQ(read.result.error, static_cast<unsigned long>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(read.text, L"fallback");
    EXPECT_TRUE(RemoveRegKey(scratch.get(), L"").Failed());
    EXPECT_TRUE(testing::Open(HKEY_CURRENT_USER, scratch.Path(), KEY_READ));
}

TEST(Registry, SystemErrorTextIsTrimmedOrNamesTheNumber) {
    const std::wstring denied = SystemErrorText(ERROR_ACCESS_DENIED);
    ASSERT_FALSE(denied.empty());
    EXPECT_EQ(denied.find_last_not_of(L"\r\n "), denied.size() - 1);
    EXPECT_NE(SystemErrorText(0x2FFFFFFF).find(L"805306367"), std::wstring::npos);
}

}  // namespace
}  // namespace velmi
