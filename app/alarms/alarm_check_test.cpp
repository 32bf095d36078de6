#include "alarm_check.h"
#include "alarm_scan.h"
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

// Checks of the clock against day notes of the test's own.
class Checks {
public:
    explicit Checks(const LocalDateTime& start, const ReminderMemory& memory = {}) {
        reminders.Start(start, memory);
    }

    // The rows a check adds, as "heading | text".
    std::vector<std::wstring> At(const LocalDateTime& now) {
        std::vector<std::wstring> rows;
        for (const DueRow& row :
             reminders.Check(now, bias, [&](DateSerial day) { return notes[day]; }))
            rows.push_back(row.heading + L" | " + row.text);
        return rows;
    }
    std::map<DateSerial, std::wstring> notes;
    Reminders reminders;
    int bias = 60;  // an hour ahead of UTC
};

using Reports = std::vector<std::wstring>;

TEST(Reminders, EachMarkerLineGoesOffOnceAtTheFirstCheckAtOrAfterItsMinute) {
    Checks checks(At(kDay, 7, 0));
    checks.notes[kDay] = L"Gym  {*07:30AM*}\tbag{*07:30AM*}\r\n{*07:30AM*} \r\nCall {*07:31AM*}";
    EXPECT_EQ(checks.At(At(kDay, 7, 29, 40)), Reports{});
    EXPECT_EQ(checks.At(At(kDay, 7, 30, 30)),
              (Reports{L"Alarm went off at 07:30:30 | Gym bag",
                       L"Alarm went off at 07:30:30 | Alarm 07:30 AM"}));
    EXPECT_EQ(checks.At(At(kDay, 7, 30, 59)), Reports{});  // a second check in that minute
    EXPECT_EQ(checks.At(At(kDay, 7, 31, 49)), Reports{L"Alarm went off at 07:31:49 | Call"});

    // What a line is for is cut at 200 characters.
    EXPECT_EQ(AlarmLineText(L"x\n" + std::wstring(300, L'y') + L"{*07:30AM*}", 1),
              std::wstring(200, L'y'));
    EXPECT_EQ(AlarmLineText(L"{*07:3", 0), L"{*07:3");  // no marker
}

TEST(Reminders, MarkersCountFromTheCheckBeforeThem) {
    Checks checks(At(kDay, 7, 0));
    EXPECT_EQ(checks.At(At(kDay, 7, 30, 10)), Reports{});
    // Written at 07:30:40: one for that minute, checked already, and one for 07:00.
    checks.notes[kDay] = L"a{*07:30AM*}\nb{*07:00AM*}\nc{*07:32AM*}";
    EXPECT_EQ(checks.At(At(kDay, 7, 31, 0)),
              Reports{L"Alarm went off at 07:31:00 (due 07:30) | a"});
    checks.notes[kDay] = L"b{*07:00AM*}";  // the one for 07:32 deleted
    EXPECT_EQ(checks.At(At(kDay, 7, 32, 50)), Reports{});
}

TEST(Reminders, AGapIsCaughtUpInDueOrderBackToYesterdayAtMost) {
    Checks checks(At(kDay, 7, 0));
    checks.notes[kDay] = L"c{*08:30AM*}\na{*07:30AM*}\nb{*08:00AM*}";
    ASSERT_TRUE(
        checks.reminders.AddCountdown(At(kDay, 7, 0, 20), checks.bias, MomentOf(kDay, 495)));
    EXPECT_EQ(checks.At(At(kDay, 9, 0, 5)),
              (Reports{L"Alarm went off at 09:00:05 (due 07:30) | a",
                       L"Alarm went off at 09:00:05 (due 08:00) | b",
                       L"Timer went off at 09:00:05 (due 08:15) | Countdown of 75 minutes, "
                       L"started at 07:00",
                       L"Alarm went off at 09:00:05 (due 08:30) | c"}));

    // Over midnight the day that is over keeps its own note's alarms.
    checks.notes[kDay] = L"{*11:55PM*}";
    checks.notes[kDay + 1] = L"{*12:10AM*}";
    EXPECT_EQ(checks.At(At(kDay, 23, 50)), Reports{});
    EXPECT_EQ(checks.At(At(kDay + 1, 0, 20)),
              (Reports{L"Alarm went off at 00:20:00 (due yesterday 23:55) | Alarm 11:55 PM",
                       L"Alarm went off at 00:20:00 (due 00:10) | Alarm 12:10 AM"}));

    // Two days asleep: what fell due before yesterday is gone for good.
    checks.notes[kDay + 2] = L"{*01:00AM*}";
    checks.notes[kDay + 3] = L"{*02:00AM*}{*04:00AM*}";
    ASSERT_TRUE(checks.reminders.AddCountdown(At(kDay + 1, 0, 20), 60, MomentOf(kDay + 1, 600)));
    checks.reminders.Dismiss(checks.reminders.DueKeys());
    EXPECT_EQ(checks.At(At(kDay + 3, 3, 0)).size(), 2u);
    EXPECT_TRUE(checks.reminders.Pending().empty());
}

TEST(Reminders, AClockSetBackRepeatsOnlyWhatHasNotGoneOff) {
    Checks checks(At(kDay, 9, 0));
    checks.notes[kDay] = L"{*09:30AM*}";
    EXPECT_EQ(checks.At(At(kDay, 9, 30, 10)).size(), 1u);
    EXPECT_EQ(checks.At(At(kDay, 9, 44, 30)), Reports{});
    checks.notes[kDay] = L"{*09:30AM*}\n{*09:40AM*}";  // written after that check: too late
    EXPECT_EQ(checks.At(At(kDay, 9, 45, 20)), Reports{});
    EXPECT_EQ(checks.At(At(kDay, 8, 45)), Reports{});  // the clock goes back an hour
    EXPECT_EQ(checks.At(At(kDay, 9, 30, 20)), Reports{});
    EXPECT_EQ(checks.At(At(kDay, 9, 40, 5)),
              Reports{L"Alarm went off at 09:40:05 | Alarm 09:40 AM"});
    EXPECT_EQ(checks.At(At(kDay, 9, 40, 55)), Reports{});
}

// A snoozed row comes back after its minutes with the text and the first due
// time it went off with; Dismiss ends a due row or cancels a pending one.
TEST(Reminders, SnoozedRowsComeBackAndDismissedOnesEnd) {
    Checks checks(At(kDay, 9, 0));
    checks.notes[kDay] = L"Dentist {*09:30AM*}\nDentist {*09:30AM*}";
    ASSERT_EQ(checks.At(At(kDay, 9, 30, 5)).size(), 2u);
    const ReminderKey first = checks.reminders.Due()[0].key;
    checks.reminders.Snooze({first}, 5, InstantOf(MomentOf(kDay, 570), checks.bias));
    ASSERT_TRUE(checks.reminders.AddCountdown(At(kDay, 9, 30), checks.bias, MomentOf(kDay, 600)));
    checks.notes[kDay] = L"edited away";
    EXPECT_EQ(checks.At(At(kDay, 9, 34, 30)), Reports{});
    EXPECT_EQ(checks.At(At(kDay, 9, 35, 1)),
              Reports{L"Alarm went off at 09:35:01 (due 09:30) | Dentist"});
    checks.reminders.Dismiss({first, checks.reminders.Pending()[0].key});
    EXPECT_EQ(checks.reminders.Due().size(), 1u);  // the other line's row
    EXPECT_TRUE(checks.reminders.Pending().empty());
}

// What the memory keeps: nothing repeated, nothing lost, and countdown ends
// as instants, however the clock and its summer time moved meanwhile.
TEST(Reminders, ARestartNeitherRepeatsNorLosesAnything) {
    Checks before(At(kDay, 9, 0));
    before.notes[kDay] = L"Dentist {*09:30AM*}\nCall {*10:00AM*}";
    ASSERT_TRUE(before.reminders.AddCountdown(At(kDay, 9, 0), before.bias, MomentOf(kDay, 660)));
    ASSERT_TRUE(before.reminders.AddCountdown(At(kDay, 9, 1), before.bias, MomentOf(kDay, 700)));
    ASSERT_EQ(before.At(At(kDay, 9, 30, 1)).size(), 1u);
    // Kept at exit as a snooze due at once.
    before.reminders.Snooze(before.reminders.DueKeys(), 0, InstantOf(MomentOf(kDay, 570), 60));
    ReminderMemory memory = before.reminders.Memory();
    EXPECT_EQ(memory.lastCheck, L"2026-12-05 09:30");
    EXPECT_EQ(memory.wentOff, L"2026-12-05 09:30 0");
    EXPECT_EQ(memory.snoozes, L"2026-12-05 08:30\tA\t2026-12-05 09:30\t0\tDentist");
    memory.countdowns += L"\r\n2026-02-30 10:00\tC\t2026-12-05 10:00\t0\tbad date\r\nrubbish";

    // Started again at 11:05, now on summer time: two hours ahead of UTC.
    Checks after(At(kDay, 11, 5), memory);
    after.bias = 120;
    after.notes = before.notes;
    EXPECT_EQ(after.At(At(kDay, 11, 5, 30)),
              (Reports{L"Alarm went off at 11:05:30 (due 10:00) | Call",
                       L"Alarm went off at 11:05:30 (due 09:30) | Dentist"}));
    EXPECT_EQ(after.reminders.Pending().size(), 2u);
    EXPECT_EQ(after.At(At(kDay, 11, 59)), Reports{});
    EXPECT_EQ(after.At(At(kDay, 12, 0)),
              Reports{L"Timer went off at 12:00:00 | Countdown of 120 minutes, started at 09:00"});
    // The bad entries are gone at the next save.
    EXPECT_EQ(
        after.reminders.Memory().countdowns,
        L"2026-12-05 10:40\tC\t2026-12-05 10:40\t1\tCountdown of 159 minutes, started at 09:01");

    // A first run shows nothing past, but what falls due in its first minute.
    Checks first(At(kDay, 10, 0, 5), ReminderMemory{L"not a time", L"", L"", L""});
    first.notes = before.notes;
    EXPECT_EQ(first.At(At(kDay, 10, 0, 30)), Reports{L"Alarm went off at 10:00:30 | Call"});
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
        ASSERT_TRUE(checks.reminders.AddCountdown(At(kDay, 23, 50), checks.bias, end));
    EXPECT_EQ(checks.At(At(kDay, 23, 50, 50)),
              Reports{L"Timer went off at 23:50:50 | Countdown of 0 minutes, started at 23:50"});
    EXPECT_EQ(checks.At(At(kDay + 1, 0, 5, 10)).size(), 1u);
    EXPECT_EQ(checks.At(At(kDay + 1, 12, 20)), Reports{});  // not a minute of tomorrow
    EXPECT_EQ(checks.At(At(kDay + 2, 12, 20, 30)).size(), 1u);
    EXPECT_TRUE(checks.reminders.Pending().empty());

    // Ten pending: an eleventh is refused rather than one of them dropped;
    // snoozed ones do not count.
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(checks.reminders.AddCountdown(At(kDay + 2, 12, 21), 0, MomentOf(kDay + 5, i)));
    EXPECT_FALSE(checks.reminders.AddCountdown(At(kDay + 2, 12, 21), 0, MomentOf(kDay + 4, 0)));
    EXPECT_EQ(checks.reminders.Pending().front().end, MomentOf(kDay + 5, 0));
    checks.reminders.Snooze(checks.reminders.DueKeys(), 5, MomentOf(kDay + 2, 740));
    EXPECT_TRUE(checks.reminders.CountdownsFull());
    EXPECT_EQ(checks.reminders.Pending().size(), 13u);
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
