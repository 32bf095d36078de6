#include "registry.h"

#include "scratch_key_fixture.h"

#include <gtest/gtest.h>

namespace velmi {
namespace {

using testing::ScratchKey;

// Notes written and read back, a megabyte and text beyond ASCII included,
// and the layout they leave are the process tests' and the walk's. A note is
// written with its terminating zero and read with or without one; a value
// that would show less than it holds is no note.
TEST(Registry, OnlyWholeTextValuesAreNotes) {
    ScratchKey root(L"RegistryForeign");
    const unique_hkey key = testing::Open(root.get(), L"", KEY_SET_VALUE | KEY_QUERY_VALUE);
    const auto setRaw = [&](DWORD type, const void* data, DWORD size) {
        EXPECT_EQ(RegSetValueExW(key.get(), L"", 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        return ReadRegText(root.get(), L"", L"", L"fallback");
    };
    const wchar_t text[] = L"note\0cd";
    EXPECT_EQ(setRaw(REG_SZ, text, 10).text, L"note");
    EXPECT_EQ(setRaw(REG_SZ, text, 8).text, L"note");
    const DWORD number = 42;
    for (const RegText& unreadable :
         {setRaw(REG_SZ, text, sizeof text), setRaw(REG_EXPAND_SZ, text, 10),
          setRaw(REG_MULTI_SZ, text, 10), setRaw(REG_DWORD, &number, sizeof number)}) {
        EXPECT_EQ(unreadable.result.status, RegStatus::kFailed);
        EXPECT_EQ(unreadable.text, L"fallback");
    }
    EXPECT_EQ(ReadRegText(root.get(), L"", L"no such value", L"fallback").text, L"fallback");

    ASSERT_FALSE(WriteRegText(root.get(), L"", L"", L"ab").Failed());
    wchar_t stored[4] = {L'x', L'x', L'x', L'x'};
    DWORD size = sizeof stored;
    ASSERT_EQ(
        RegQueryValueExW(key.get(), L"", nullptr, nullptr, reinterpret_cast<BYTE*>(stored), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(stored, size / sizeof(wchar_t)), std::wstring(L"ab", 3));
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

// No raw insert or escape reaches the user.
TEST(Registry, SystemErrorTextIsASentence) {
    const std::wstring denied = SystemErrorText(ERROR_ACCESS_DENIED);
    ASSERT_FALSE(denied.empty());
    EXPECT_EQ(denied.find_last_not_of(L"\r\n "), denied.size() - 1);
    EXPECT_NE(SystemErrorText(0x2FFFFFFF).find(L"805306367"), std::wstring::npos);
    const std::wstring badFormat = SystemErrorText(ERROR_BAD_EXE_FORMAT, L"help.htm");
    EXPECT_NE(badFormat.find(L"help.htm"), std::wstring::npos) << badFormat;
    EXPECT_EQ(badFormat.find(L'%'), std::wstring::npos) << badFormat;
    EXPECT_EQ(FillInserts(L"%1!s! at %2: 100%% %0 cut", L"x"), L"x at x: 100% ");
}

}  // namespace
}  // namespace velmi
