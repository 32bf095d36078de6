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

// The due rows the reminder window of the other process shows.
std::vector<std::wstring> DueRows() {
    const HWND window = FindWindowW(kReminderWindowClass, nullptr);
    if (!window || !IsWindowVisible(window)) return {};
    std::vector<std::wstring> rows = ListRows(Child(window, kReminderListId));
    std::erase_if(rows, [](const std::wstring& row) { return row.find(L" went off at ") != 5; });
    return rows;
}

// With another day on screen, today's alarm goes off once and that day's
// alarm not at all; a countdown of a minute goes off once too. Another
// program is in front meanwhile, and keeps the keyboard.
TEST(SlowAlarm, TodaysAlarmAndACountdownGoOffOnceWithoutTakingTheKeyboard) {
    RegDeleteAll(L"HKLM\\Software\\Tolvane");
    RegDeleteAll(L"HKCU\\Software\\Tolvane");
    SYSTEMTIME now{};
    GetLocalTime(&now);
    if (now.wHour == 23 && now.wMinute >= 55) GTEST_SKIP() << "too close to midnight";
    const int minute = now.wHour * 60 + now.wMinute;
    const int alarm = minute + 2;
    const int other = KeptDaysOfThisMonth().front();
    WriteNote(RealToday(), L"Call  home " + Marker(alarm));
    WriteNote(RealToday() - now.wDay + other, Marker(minute + 1) + L"not today");

    VelmiProcess velmi;
    HWND main = velmi.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    Click(velmi.DayCell(other));
    MessageBoxAnswerer answerer(IDOK, velmi.Pid());
    answerer.QueueReply(L"1");
    PostMessageW(main, WM_COMMAND, kMenuCountdownId, 0);  // posted: it opens a modal box
    ASSERT_TRUE(answerer.WaitForCount(1, 30s));
    const std::wstring note = WindowText(velmi.Child(kNoteBoxId));

    // Another program's window, in front, where the user goes on typing.
    const HWND typing =
        CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE | ES_MULTILINE, 100, 100,
                        400, 300, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(typing, nullptr);
    SetForegroundWindow(typing);
    SetFocus(typing);
    Pump(200ms);
    ASSERT_EQ(GetForegroundWindow(), typing);
    ASSERT_TRUE(PumpUntil([] { return DueRows().size() == 2; }, 190s))
        << "alarm at " << Clock(alarm).c_str();
    SaveScreenshot(nullptr, L"alarm_rows");
    EXPECT_EQ(GetForegroundWindow(), typing);
    ASSERT_TRUE(Press(L"k1 k2\r"));
    EXPECT_EQ(WindowText(typing), L"k1 k2\r\n");
    EXPECT_EQ(WindowText(velmi.Child(kNoteBoxId)), note);
    EXPECT_TRUE(IsWindowEnabled(main));

    // A tick more, in the alarm's minute or after it, adds nothing.
    Pump(55s);
    const std::vector<std::wstring> rows = DueRows();
    ASSERT_EQ(rows.size(), 2u);
    const std::wstring timerAt = rows[0].substr(0, 23);
    EXPECT_TRUE(timerAt == L"Timer went off at " + Clock(minute + 1) ||
                timerAt == L"Timer went off at " + Clock(minute + 2))
        << rows[0].c_str();
    EXPECT_EQ(rows[1].substr(0, 23), L"Alarm went off at " + Clock(alarm)) << rows[1].c_str();
    EXPECT_EQ(rows[1].substr(rows[1].size() - 12), L" \u2014 Call home");
    EXPECT_EQ(answerer.Seen().size(), 1u);
    DestroyWindow(typing);
}

}  // namespace
}  // namespace velmi::test
