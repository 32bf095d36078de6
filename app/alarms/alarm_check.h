// Which alarms and countdowns go off at a check of the clock. Each goes off
// once, at the first check at or after its minute. The minutes between two
// checks (a sleep, a suspended process, a busy thread, a clock set forward)
// are caught up, back to the start of yesterday at most, and what went off is
// remembered by date and minute, so a clock set back repeats nothing.
#pragma once

#include "alarm_tables.h"
#include "clock.h"
#include "date_core.h"

#include <compare>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmi {

inline constexpr std::wstring_view kAlarmPrefix = L"Alarm went off at ";
inline constexpr std::wstring_view kTimerPrefix = L"Timer went off at ";
inline constexpr std::wstring_view kAlarmSound = L"laser.wav";
inline constexpr std::wstring_view kCountdownText = L"Countdown of ";
inline constexpr int kAlarmPlays = 5;

// A minute on the calendar: whole minutes since midnight of day serial 0.
using Moment = std::int64_t;
inline constexpr Moment kMinutesPerDay = 1440;

[[nodiscard]] constexpr Moment MomentOf(DateSerial day, int minuteOfDay) noexcept {
    return Moment{day} * kMinutesPerDay + minuteOfDay;
}
[[nodiscard]] Moment MomentOf(const LocalDateTime& time) noexcept;
[[nodiscard]] constexpr DateSerial DayOf(Moment moment) noexcept {
    return static_cast<DateSerial>(moment >= 0 ? moment / kMinutesPerDay
                                               : (moment - kMinutesPerDay + 1) / kMinutesPerDay);
}

// Checks run at the start of each minute, a quarter second in, so that the
// clock reads the new minute whatever the timer's grain.
inline constexpr unsigned kCheckLagMs = 250;

// Milliseconds from now to the next check.
[[nodiscard]] constexpr unsigned DelayToNextCheck(const TimeOfDay& now) noexcept {
    return static_cast<unsigned>((59 - now.second) * 1000 + (1000 - now.millisecond)) + kCheckLagMs;
}

// A minute of UTC, counted as Moment is. Countdown and snooze ends are
// instants, so that they last their minutes across a change of summer time.
using Instant = std::int64_t;

enum class ReminderKind { kAlarm, kCountdown };

// What Snooze and Dismiss act on, never the text: an alarm's local minute and
// its line of the note, or a countdown's end as an instant and a number of
// its own.
struct ReminderKey {
    ReminderKind kind = ReminderKind::kAlarm;
    Moment due = 0;
    int line = 0;
    auto operator<=>(const ReminderKey&) const = default;
};

// An entry that went off: its report heading and what it is for.
struct DueRow {
    ReminderKey key;
    std::wstring heading;
    std::wstring text;
};

// A countdown still running, or a row snoozed until its end.
struct PendingRow {
    ReminderKey key;
    Instant end = 0;
    std::wstring text;
    bool snoozed = false;
};

// The registry values that keep the reminders across a restart, one entry a
// line; an entry that cannot be read is skipped.
struct ReminderMemory {
    std::wstring lastCheck, wentOff, countdowns, snoozes;
    bool operator==(const ReminderMemory&) const = default;
};

class Reminders {
public:
    static constexpr std::size_t kMaxCountdowns = 10;

    // The text of a day's note, whose markers arm that day's alarms.
    using NoteOfDay = std::function<std::wstring(DateSerial day)>;

    // The program starts. Without a memory, alarms of earlier minutes of this
    // day never go off; with one, the next check catches up since its last check.
    void Start(const LocalDateTime& now, const ReminderMemory& memory = {});
    [[nodiscard]] ReminderMemory Memory() const;

    // Every entry due from the last check's minute through now that has not
    // gone off yet joins the due rows, in due order; the added rows are
    // returned. utcBias is the local time's lead on UTC in minutes.
    std::vector<DueRow> Check(const LocalDateTime& now, int utcBias, const NoteOfDay& noteOf);

    // False, and nothing recorded, when ten countdowns are pending already.
    [[nodiscard]] bool AddCountdown(const LocalDateTime& now, int utcBias, Moment end);
    [[nodiscard]] bool CountdownsFull() const noexcept;

    // Due rows come back after the minutes, as they are; pending ones stay.
    void Snooze(const std::vector<ReminderKey>& keys, int minutes, Instant now);
    // Due rows end; pending countdowns and snoozes are cancelled.
    void Dismiss(const std::vector<ReminderKey>& keys);
    [[nodiscard]] std::vector<ReminderKey> DueKeys() const;

    [[nodiscard]] const std::vector<DueRow>& Due() const noexcept { return due_; }
    // In the order of their ends, then of their identities.
    [[nodiscard]] const std::vector<PendingRow>& Pending() const noexcept { return pending_; }

private:
    void AddPending(PendingRow row);

    std::optional<Moment> lastCheck_;
    std::set<std::pair<Moment, int>> wentOff_;  // alarms by minute and line
    std::vector<DueRow> due_;
    std::vector<PendingRow> pending_;
};

[[nodiscard]] constexpr Instant InstantOf(Moment local, int utcBias) noexcept {
    return local - utcBias;
}

// The prefix and the time now as hh:mm:ss; a report later than the minute
// its entry was due adds " (due hh:mm)", or " (due yesterday hh:mm)".
[[nodiscard]] std::wstring ReportText(std::wstring_view prefix, const LocalDateTime& now,
                                      Moment due);
// "hh:mm" on the 24-hour clock.
[[nodiscard]] std::wstring ClockText(Moment moment);

// Where the rows a check added go.
class AlarmOutput {
public:
    virtual ~AlarmOutput() = default;
    virtual void ShowDueRows(const std::vector<DueRow>& added) = 0;
};

// The armed reminders and the alarm panel's insertion point, owned by the
// main window for the whole run.
struct AlarmState {
    Reminders reminders;
    std::size_t alarmInsertPos = 0;  // caret of the note when the alarm panel was opened
};

}  // namespace velmi
