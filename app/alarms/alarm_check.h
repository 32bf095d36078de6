// Which alarms and countdowns go off at a check of the clock. Each goes off
// once, at the first check at or after its minute. The minutes between two
// checks (a sleep, a suspended process, a busy thread, a clock set forward)
// are caught up, back to the start of yesterday at most, and what went off is
// remembered by date and minute, so a clock set back repeats nothing.
#pragma once

#include "alarm_tables.h"
#include "clock.h"
#include "date_core.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace velmi {

inline constexpr std::wstring_view kAlarmPrefix = L"Alarm went off at ";
inline constexpr std::wstring_view kTimerPrefix = L"Timer went off at ";
inline constexpr std::wstring_view kAlarmSound = L"laser.wav";
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

struct DueEntry {
    enum class Kind { kAlarm, kCountdown };
    Kind kind = Kind::kAlarm;
    Moment due = 0;
    bool operator==(const DueEntry&) const = default;
};

class Reminders {
public:
    static constexpr std::size_t kMaxCountdowns = 10;

    // The alarms a day's note arms, as minutes of the day.
    using AlarmsOfDay = std::function<MinuteTable(DateSerial day)>;

    // The program starts: alarms of earlier minutes of this day never go off.
    void Start(const LocalDateTime& now);

    // Every entry due from the last check's minute through now that has not
    // gone off yet, in due order. They count as gone off from here on, so a
    // check that runs again while their reports are open repeats none.
    [[nodiscard]] std::vector<DueEntry> Check(const LocalDateTime& now,
                                              const AlarmsOfDay& alarmsOf);

    // False, and nothing recorded, when ten countdowns are pending already.
    [[nodiscard]] bool AddCountdown(Moment end);
    [[nodiscard]] bool CountdownsFull() const noexcept {
        return countdowns_.size() >= kMaxCountdowns;
    }
    [[nodiscard]] const std::vector<Moment>& Countdowns() const noexcept { return countdowns_; }

private:
    std::optional<Moment> lastCheck_;
    std::set<Moment> firedAlarms_;
    std::vector<Moment> countdowns_;
};

// The prefix and the time now as hh:mm:ss; a report later than the minute
// its entry was due adds " (due hh:mm)", or " (due yesterday hh:mm)".
[[nodiscard]] std::wstring ReportText(std::wstring_view prefix, const LocalDateTime& now,
                                      Moment due);

// Where due entries go: the sound (played synchronously) and the message box.
class AlarmOutput {
public:
    virtual ~AlarmOutput() = default;
    virtual void PlaySound(std::wstring_view fileName) = 0;
    virtual void ShowReport(std::wstring_view text) = 0;
};

// The sound five times for all of them, then one report for each, in order.
void Announce(const std::vector<DueEntry>& due, const LocalDateTime& now, AlarmOutput& out);

// The armed reminders and the alarm panel's insertion point, owned by the
// main window for the whole run.
struct AlarmState {
    Reminders reminders;
    std::size_t alarmInsertPos = 0;  // caret of the note when the alarm panel was opened
};

}  // namespace velmi
