// The real clock and the real 50-second timer: an alarm written into
// today's note goes off at its minute. Slow by nature.
#include "message_box_answerer.h"
#include "process.h"
#include "screenshot.h"
#include "velmi_process.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace velmi::test {
namespace {

using namespace std::chrono_literals;

TEST(SlowAlarm, AMarkerAMinuteOrTwoAheadGoesOffWithinThreeMinutes) {
    RegDeleteAll(L"HKLM\\Software\\Tolvane");
    RegDeleteAll(L"HKCU\\Software\\Tolvane");
    SYSTEMTIME now{};
    GetLocalTime(&now);
    if (now.wHour == 23 && now.wMinute >= 57) GTEST_SKIP() << "too close to midnight";
    const int due = now.wHour * 60 + now.wMinute + 2;
    const int hour12 = (due / 60) % 12 == 0 ? 12 : (due / 60) % 12;
    wchar_t marker[16];
    swprintf(marker, 16, L"{*%02d:%02d%ls*}", hour12, due % 60, due / 60 < 12 ? L"AM" : L"PM");
    ASSERT_EQ(RunProcess(L"reg.exe add \"" + NoteKey(TodaySerial()) + L"\" /ve /d \"" + marker +
                         L"Call home\" /f")
                  .exitCode,
              0u);

    VelmiProcess velmi;
    ASSERT_NE(velmi.WaitForMainWindow(), nullptr);
    MessageBoxAnswerer answerer(IDOK, velmi.Pid());
    answerer.Hold(true);
    ASSERT_TRUE(answerer.WaitForCount(1, 180s)) << "no alarm for " << due;
    const SeenBox box = answerer.Seen().at(0);
    EXPECT_EQ(box.title, L"Velmi");
    wchar_t expected[32];
    swprintf(expected, 32, L"Alarm went off at %02d:%02d:", due / 60, due % 60);
    EXPECT_EQ(box.text.substr(0, 24), expected);
    EXPECT_EQ(box.text.size(), 26u);
    SaveScreenshot(nullptr, L"alarm_report");
    answerer.Hold(false);
}

}  // namespace
}  // namespace velmi::test
