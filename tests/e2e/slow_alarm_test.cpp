// The real clock and the real minute timer: an alarm written into
// today's note and a countdown started from the menu go off at their
// minutes, once. Slow by nature.
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

std::wstring Marker(int minuteOfDay) {
    const int hour = minuteOfDay / 60 % 24, hour12 = hour % 12 == 0 ? 12 : hour % 12;
    wchar_t marker[16];
    swprintf(marker, 16, L"{*%02d:%02d%ls*}", hour12, minuteOfDay % 60, hour < 12 ? L"AM" : L"PM");
    return marker;
}

void WriteNote(Serial day, const std::wstring& note) {
    ASSERT_EQ(
        RunProcess(L"reg.exe add \"" + NoteKey(day) + L"\" /ve /d \"" + note + L"\" /f").exitCode,
        0u);
}

// With another day on screen, today's alarm goes off once and that day's
// alarm not at all; a countdown of a minute goes off once too.
TEST(SlowAlarm, TodaysAlarmAndACountdownGoOffOnceWithinThreeMinutes) {
    RegDeleteAll(L"HKLM\\Software\\Tolvane");
    RegDeleteAll(L"HKCU\\Software\\Tolvane");
    SYSTEMTIME now{};
    GetLocalTime(&now);
    if (now.wHour == 23 && now.wMinute >= 55) GTEST_SKIP() << "too close to midnight";
    const int minute = now.wHour * 60 + now.wMinute;
    const int alarm = minute + 2;
    const int other = KeptDaysOfThisMonth().front();
    WriteNote(RealToday(), Marker(alarm) + L"Call home");
    WriteNote(RealToday() - now.wDay + other, Marker(minute + 1) + L"not today");

    VelmiProcess velmi;
    HWND main = velmi.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    Click(velmi.DayCell(other));
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

    ASSERT_TRUE(answerer.WaitForCount(3, 190s)) << "alarm at " << Clock(alarm).c_str();
    SaveScreenshot(nullptr, L"alarm_report");
    // A tick more, in the alarm's minute or after it, adds nothing.
    EXPECT_FALSE(answerer.WaitForCount(4, 55s)) << answerer.Seen()[3].text.c_str();
    const std::vector<SeenBox> seen = answerer.Seen();
    const std::wstring timerAt = seen[1].text.substr(0, 23);
    EXPECT_TRUE(timerAt == L"Timer went off at " + Clock(minute + 1) ||
                timerAt == L"Timer went off at " + Clock(minute + 2))
        << seen[1].text.c_str();
    EXPECT_EQ(seen[2].text.substr(0, 23), L"Alarm went off at " + Clock(alarm))
        << seen[2].text.c_str();
    answerer.Hold(false);
}

}  // namespace
}  // namespace velmi::test
