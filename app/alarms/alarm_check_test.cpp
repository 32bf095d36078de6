#include "alarm_check.h"
#include "countdown.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace velmi {
namespace {

constexpr DateSerial kDay = 46361;  // Saturday, 5 December 2026

LocalDateTime At(DateSerial day, int hour, int minute, int second = 0) {
    return {CivilFromSerial(day), {hour, minute, second}};
}

class RecordingOutput final : public AlarmOutput {
public:
    void PlaySound(std::wstring_view fileName) override { plays += fileName == L"laser.wav"; }
    void ShowReport(std::wstring_view text) override { reports.emplace_back(text); }
    int plays = 0;
    std::vector<std::wstring> reports;
};

// Checks of the clock against day notes of the test's own, each the minutes
// of the day its markers arm.
class Checks {
public:
    explicit Checks(const LocalDateTime& start) { reminders.Start(start); }

    // The reports of a check, after one round of sound when there are any.
    std::vector<std::wstring> At(const LocalDateTime& now) {
        RecordingOutput out;
        const auto alarmsOf = [&](DateSerial day) {
            MinuteTable table;
            for (const int minute : notes[day])
                table.minutes[static_cast<std::size_t>(++table.count)] = minute;
            return table;
        };
        Announce(reminders.Check(now, alarmsOf), now, out);
        EXPECT_EQ(out.plays, out.reports.empty() ? 0 : kAlarmPlays);
        return out.reports;
    }

    std::map<DateSerial, std::vector<int>> notes;
    Reminders reminders;
};

using Reports = std::vector<std::wstring>;

TEST(Reminders, EachAlarmGoesOffOnceAtTheFirstCheckAtOrAfterItsMinute) {
    Checks checks(At(kDay, 7, 0));
    checks.notes[kDay] = {450, 450, 451};  // 07:30 twice, 07:31
    EXPECT_EQ(checks.At(At(kDay, 7, 29, 40)), Reports{});
    EXPECT_EQ(checks.At(At(kDay, 7, 30, 30)), Reports{L"Alarm went off at 07:30:30"});
    EXPECT_EQ(checks.At(At(kDay, 7, 30, 59)), Reports{});  // a second check in that minute
    EXPECT_EQ(checks.At(At(kDay, 7, 31, 49)), Reports{L"Alarm went off at 07:31:49"});
    EXPECT_EQ(checks.At(At(kDay, 7, 32, 39)), Reports{});
}

TEST(Reminders, MarkersCountFromTheCheckBeforeThem) {
    Checks checks(At(kDay, 7, 0));
    EXPECT_EQ(checks.At(At(kDay, 7, 30, 10)), Reports{});
    // Written at 07:30:40: one for that minute, checked already, and one for 07:00.
    checks.notes[kDay] = {450, 420, 452};
    EXPECT_EQ(checks.At(At(kDay, 7, 31, 0)), Reports{L"Alarm went off at 07:31:00 (due 07:30)"});
    checks.notes[kDay] = {420};  // the one for 07:32 deleted
    EXPECT_EQ(checks.At(At(kDay, 7, 32, 50)), Reports{});

    // At start-up, alarms of earlier minutes may have gone off in another run.
    Checks started(At(kDay, 9, 0, 30));
    started.notes[kDay] = {539, 540};
    EXPECT_EQ(started.At(At(kDay, 9, 1, 20)), Reports{L"Alarm went off at 09:01:20 (due 09:00)"});
}

TEST(Reminders, AGapIsCaughtUpInDueOrderBackToYesterdayAtMost) {
    Checks checks(At(kDay, 7, 0));
    checks.notes[kDay] = {510, 450, 480};
    ASSERT_TRUE(checks.reminders.AddCountdown(MomentOf(kDay, 495)));
    EXPECT_EQ(checks.At(At(kDay, 9, 0, 5)), (Reports{L"Alarm went off at 09:00:05 (due 07:30)",
                                                     L"Alarm went off at 09:00:05 (due 08:00)",
                                                     L"Timer went off at 09:00:05 (due 08:15)",
                                                     L"Alarm went off at 09:00:05 (due 08:30)"}));

    // Over midnight the day that is over keeps its own note's alarms.
    checks.notes[kDay] = {1435};
    checks.notes[kDay + 1] = {10};
    EXPECT_EQ(checks.At(At(kDay, 23, 50)), Reports{});
    EXPECT_EQ(checks.At(At(kDay + 1, 0, 20)),
              (Reports{L"Alarm went off at 00:20:00 (due yesterday 23:55)",
                       L"Alarm went off at 00:20:00 (due 00:10)"}));

    // Two days asleep: what fell due before yesterday is gone for good.
    checks.notes[kDay + 2] = {60};
    checks.notes[kDay + 3] = {120, 240};
    ASSERT_TRUE(checks.reminders.AddCountdown(MomentOf(kDay + 1, 600)));
    EXPECT_EQ(checks.At(At(kDay + 3, 3, 0)),
              (Reports{L"Alarm went off at 03:00:00 (due yesterday 01:00)",
                       L"Alarm went off at 03:00:00 (due 02:00)"}));
    EXPECT_TRUE(checks.reminders.Countdowns().empty());
}

TEST(Reminders, AClockSetBackRepeatsOnlyWhatHasNotGoneOff) {
    Checks checks(At(kDay, 9, 0));
    checks.notes[kDay] = {570};
    EXPECT_EQ(checks.At(At(kDay, 9, 30, 10)).size(), 1u);
    EXPECT_EQ(checks.At(At(kDay, 9, 44, 30)), Reports{});
    checks.notes[kDay] = {570, 580};  // 09:40, written after that check: too late
    EXPECT_EQ(checks.At(At(kDay, 9, 45, 20)), Reports{});
    EXPECT_EQ(checks.At(At(kDay, 8, 45)), Reports{});  // the clock goes back an hour
    EXPECT_EQ(checks.At(At(kDay, 9, 30, 20)), Reports{});
    EXPECT_EQ(checks.At(At(kDay, 9, 40, 5)), Reports{L"Alarm went off at 09:40:05"});
    EXPECT_EQ(checks.At(At(kDay, 9, 40, 55)), Reports{});
}

TEST(Reminders, ACountdownEndsOnceAtItsDateAndTime) {
    // The current minute plus the rounded total: 3,000 minutes is two days on.
    const CountdownOutcome long_ = CountdownEnd(At(kDay, 10, 20, 40), 3000);
    ASSERT_EQ(long_.step, CountdownStep::kRecord);
    EXPECT_EQ(long_.end, MomentOf(kDay + 2, 740));
    const CountdownOutcome overnight = CountdownEnd(At(kDay, 23, 50), 15);
    EXPECT_EQ(overnight.end, MomentOf(kDay + 1, 5));
    const CountdownOutcome now = CountdownEnd(At(kDay, 23, 50, 30), -0.4);
    EXPECT_EQ(now.end, MomentOf(kDay, 1430));
    // countdown_fuzz holds the rounding's oracle; it never runs in the cross build.
    EXPECT_EQ(CountdownEnd(At(kDay, 10, 20), 2.5).end, MomentOf(kDay, 622));  // ties to even
    EXPECT_EQ(CountdownEnd(At(kDay, 10, 21, 59), 2.5).end, MomentOf(kDay, 624));
    EXPECT_EQ(CountdownEnd(At(kDay, 10, 0), -30).step, CountdownStep::kGiveUp);
    for (const double unusable : {std::nan(""), -1e9 - 1})
        EXPECT_EQ(CountdownEnd(At(kDay, 12, 0), unusable).step, CountdownStep::kAskAgain);

    Checks checks(At(kDay, 23, 50));
    for (const Moment end : {long_.end, overnight.end, now.end})
        ASSERT_TRUE(checks.reminders.AddCountdown(end));
    EXPECT_EQ(checks.At(At(kDay, 23, 50, 50)), Reports{L"Timer went off at 23:50:50"});
    EXPECT_EQ(checks.At(At(kDay + 1, 0, 5, 10)), Reports{L"Timer went off at 00:05:10"});
    EXPECT_EQ(checks.At(At(kDay + 1, 12, 20)), Reports{});  // not a minute of tomorrow
    EXPECT_EQ(checks.At(At(kDay + 2, 12, 20, 30)), Reports{L"Timer went off at 12:20:30"});
    EXPECT_TRUE(checks.reminders.Countdowns().empty());
    EXPECT_EQ(checks.At(At(kDay + 3, 12, 20, 30)), Reports{});

    // Ten pending: an eleventh is refused rather than one of them dropped.
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(checks.reminders.AddCountdown(MomentOf(kDay + 5, i)));
    EXPECT_FALSE(checks.reminders.AddCountdown(MomentOf(kDay + 4, 0)));
    EXPECT_EQ(checks.reminders.Countdowns().front(), MomentOf(kDay + 5, 0));
}

// Each check falls a quarter second into the next minute, however late in
// this one the last check ran.
TEST(Reminders, ChecksFallOnMinuteBoundaries) {
    for (const TimeOfDay now : {TimeOfDay{9, 30, 0, 0}, TimeOfDay{9, 30, 5, 0},
                                TimeOfDay{9, 30, 59, 999}, TimeOfDay{23, 59, 59, 500}}) {
        const long long ms =
            ((now.hour * 60LL + now.minute) * 60 + now.second) * 1000 + now.millisecond;
        const long long at = ms + DelayToNextCheck(now);
        EXPECT_EQ(at % 60000, 250) << now.second << "." << now.millisecond;
        EXPECT_EQ(at / 60000, ms / 60000 + 1);
    }
}

}  // namespace
}  // namespace velmi
