// Velmi.exe refusing to start: a second copy, and a missing calendar control.
#include "message_box_answerer.h"
#include "process.h"
#include "velmi_process.h"

#include <gtest/gtest.h>

#include <thread>

namespace velmi::test {
namespace {

using namespace std::chrono_literals;

TEST(Startup, ASecondCopySaysSoBringsTheFirstForwardAndEnds) {
    VelmiProcess first;
    HWND main = first.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    Type(first.Child(kNoteBoxId), L"mine");
    ShowWindow(main, SW_MINIMIZE);

    VelmiProcess second;
    MessageBoxAnswerer answerer(IDOK, second.Pid());
    answerer.Hold(true);
    ASSERT_TRUE(answerer.WaitForCount(1, 30s));
    // Its hidden window hears a tick and a resume while the box is open.
    const std::vector<HWND> hidden = TopLevelWindows(kMainWindowClass, second.Pid());
    ASSERT_EQ(hidden.size(), 1u);
    PostMessageW(hidden[0], WM_TIMER, kCheckTimerId, 0);
    PostMessageW(hidden[0], WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    std::this_thread::sleep_for(500ms);
    answerer.Hold(false);
    ASSERT_TRUE(second.WaitForExit());
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_FALSE(IsIconic(main));  // brought back to the front
    EXPECT_EQ(GetForegroundWindow(), main);
    EXPECT_EQ(WindowText(first.Child(kNoteBoxId)), L"mine");
}

TEST(Startup, MinimizedItLeavesTheForegroundAloneAndASecondCopyEndsUnseen) {
    HWND front = CreateWindowExW(0, L"STATIC", L"", WS_VISIBLE, 0, 0, 9, 9, {}, {}, {}, {});
    SetForegroundWindow(front);
    VelmiProcess first(L"/minimized");
    HWND main = first.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    VelmiProcess second(L"/minimized");
    MessageBoxAnswerer answerer(IDOK, second.Pid());
    ASSERT_TRUE(second.WaitForExit());
    EXPECT_TRUE(answerer.Seen().empty());
    EXPECT_TRUE(IsIconic(main));
    EXPECT_EQ(GetForegroundWindow(), front);
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
