// Velmi.exe refusing to start: a second copy, and a missing calendar control;
// and its manifest taking effect.
#include "message_box_answerer.h"
#include "process.h"
#include "velmi_process.h"
#include "win_handle.h"

#include <psapi.h>

#include <gtest/gtest.h>

namespace velmi::test {
namespace {

using namespace std::chrono_literals;

TEST(Startup, ASecondCopySaysSoAndEndsLeavingTheFirstAsItWas) {
    VelmiProcess first;
    HWND main = first.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    Type(first.Child(kNoteBoxId), L"mine");

    VelmiProcess second;
    MessageBoxAnswerer answerer(IDOK, second.Pid());
    ASSERT_TRUE(answerer.WaitForCount(1, 30s));
    ASSERT_TRUE(second.WaitForExit());
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_EQ(WindowText(first.Child(kNoteBoxId)), L"mine");
}

TEST(Startup, WithoutTheCalendarItExplainsAndTouchesNothing) {
    RegDeleteAll(L"HKLM\\Software\\Tolvane");
    ASSERT_EQ(RunProcess(L"regsvr32.exe /s /u \"" + BinDir() + L"Nuv.ocx\"").exitCode, 0u);
    {
        VelmiProcess velmi;
        MessageBoxAnswerer answerer(IDOK, velmi.Pid());
        EXPECT_TRUE(answerer.WaitForCount(1, 30s));
        EXPECT_TRUE(velmi.WaitForExit());
    }
    EXPECT_EQ(RegQuery(L"HKLM\\Software\\Tolvane").find("Ruviruve"), std::string::npos);
    ASSERT_EQ(RunProcess(L"regsvr32.exe /s \"" + BinDir() + L"Nuv.ocx\"").exitCode, 0u);
}

// Velmi imports nothing from comctl32: only the manifest's Common Controls 6
// brings it in, from the side-by-side store, for the boxes.
TEST(Startup, TheManifestGivesCommonControls6) {
    VelmiProcess velmi;
    ASSERT_NE(velmi.WaitForMainWindow(), nullptr);
    unique_handle process(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, velmi.Pid()));
    HMODULE modules[512];
    DWORD bytes = 0;
    ASSERT_TRUE(EnumProcessModules(process.get(), modules, sizeof(modules), &bytes));
    std::wstring names;
    for (DWORD i = 0; i < bytes / sizeof(HMODULE); ++i) {
        wchar_t name[MAX_PATH] = {};
        GetModuleFileNameExW(process.get(), modules[i], name, MAX_PATH);
        names += name + std::wstring(L"\n");
    }
    EXPECT_NE(names.find(L"common-controls_6595b64144ccf1df_6."), std::wstring::npos) << names;
}

}  // namespace
}  // namespace velmi::test
