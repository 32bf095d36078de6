// Velmi.exe refusing to start: a second copy, and a missing calendar control.
#include "message_box_answerer.h"
#include "process.h"
#include "velmi_process.h"

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

}  // namespace
}  // namespace velmi::test
