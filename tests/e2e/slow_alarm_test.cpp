// The real clock and the real 50-second timers: an alarm written into
// today's note and a countdown started from the menu go off at their
// minutes. Slow by nature.
#include "calendar_dates.h"
#include "message_box_answerer.h"
#include "process.h"
#include "screenshot.h"
#include "velmi_process.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace velmi::test {
namespace {

using namespace std::chrono_literals;

std::wstring Clock(int minuteOfDay) {
    wchar_t text[8];
    swprintf(text, 8, L"%02d:%02d", minuteOfDay / 60 % 24, minuteOfDay % 60);
    return text;
}

TEST(SlowAlarm, AnAlarmAndACountdownGoOffWithinThreeMinutes) {
    RegDeleteAll(L"HKLM\\Software\\Tolvane");
    RegDeleteAll(L"HKCU\\Software\\Tolvane");
    SYSTEMTIME now{};
    GetLocalTime(&now);
    if (now.wHour == 23 && now.wMinute >= 56) GTEST_SKIP() << "too close to midnight";
    const int minute = now.wHour * 60 + now.wMinute;
    const int alarm = minute + 2;
    const int hour12 = (alarm / 60) % 12 == 0 ? 12 : (alarm / 60) % 12;
    wchar_t marker[16];
    swprintf(marker, 16, L"{*%02d:%02d%ls*}", hour12, alarm % 60, alarm / 60 < 12 ? L"AM" : L"PM");
    ASSERT_EQ(RunProcess(L"reg.exe add \"" + NoteKey(RealToday()) + L"\" /ve /d \"" + marker +
                         L"Call home\" /f")
                  .exitCode,
              0u);

    VelmiProcess velmi;
    HWND main = velmi.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    MessageBoxAnswerer answerer(IDOK, velmi.Pid());
    answerer.Hold(true);
    answerer.QueueReply(L"1");
    PostMessageW(main, WM_COMMAND, kMenuCountdownId, 0);  // posted: it opens a modal box
    ASSERT_TRUE(answerer.WaitForCount(1, 30s));
    const HWND input = answerer.Seen()[0].window;
    SaveScreenshot(nullptr, L"input_box");
    answerer.Hold(false);
    for (int i = 0; i < 200 && IsWindow(input); ++i)
        Sleep(20);
    answerer.Hold(true);  // the reports stay up, one over the other

    // A minute gets one or two ticks, so the countdown may report twice first.
    const std::wstring alarmReport = L"Alarm went off at " + Clock(alarm);
    std::vector<std::wstring> reports;
    for (size_t seen = 2; seen <= 5; ++seen) {
        ASSERT_TRUE(answerer.WaitForCount(seen, 180s)) << "alarm at " << alarm;
        reports.push_back(answerer.Seen()[seen - 1].text.substr(0, 23));
        if (reports.back() == alarmReport) break;
    }
    EXPECT_EQ(reports.back(), alarmReport);
    const std::wstring timerReport = reports.front();
    EXPECT_EQ(timerReport.substr(0, 18), L"Timer went off at ");
    const std::wstring timerAt = timerReport.substr(18);
    EXPECT_TRUE(timerAt == Clock(minute + 1) || timerAt == Clock(minute + 2)) << timerAt.c_str();
    SaveScreenshot(nullptr, L"alarm_report");
    answerer.Hold(false);
}

}  // namespace
}  // namespace velmi::test
