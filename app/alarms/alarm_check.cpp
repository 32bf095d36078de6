#include "alarm_check.h"

#include "alarm_scan.h"

#include <algorithm>

namespace velmi {
namespace {

void AppendTwoDigits(std::wstring& text, Moment value) {
    text += static_cast<wchar_t>(L'0' + value / 10 % 10);
    text += static_cast<wchar_t>(L'0' + value % 10);
}

}  // namespace

Moment MomentOf(const LocalDateTime& time) noexcept {
    return MomentOf(SerialFromCivil(time.date), MinuteOfDay(time.time));
}

void Reminders::Start(const LocalDateTime& now) {
    lastCheck_ = MomentOf(now);
}

std::vector<DueEntry> Reminders::Check(const LocalDateTime& now, const AlarmsOfDay& alarmsOf) {
    const Moment current = MomentOf(now);
    // The minute of the last check is looked at again: an entry for it may
    // have appeared after that check. A clock set back starts afresh from
    // now; what went off in the repeated span is remembered below.
    const Moment yesterday = MomentOf(DayOf(current) - 1, 0);
    const Moment from = std::max(std::min(lastCheck_.value_or(current), current), yesterday);

    std::vector<DueEntry> due;
    for (DateSerial day = DayOf(from); day <= DayOf(current); ++day) {
        const MinuteTable alarms = alarmsOf(day);
        for (int i = 1; i <= std::clamp(alarms.count, 0, MinuteTable::kCapacity); ++i) {
            const Moment at = MomentOf(day, alarms.minutes[static_cast<std::size_t>(i)]);
            const DueEntry entry{DueEntry::Kind::kAlarm, at};
            // Two markers of the same minute make one report.
            if (at >= from && at <= current && !firedAlarms_.contains(at) &&
                std::find(due.begin(), due.end(), entry) == due.end()) {
                due.push_back(entry);
            }
        }
    }
    // A countdown that ended goes off and leaves the table; one that ended
    // before the catch-up reaches leaves it silently.
    std::erase_if(countdowns_, [&](Moment end) {
        if (end > current) return false;
        if (end >= from) due.push_back({DueEntry::Kind::kCountdown, end});
        return true;
    });
    std::stable_sort(due.begin(), due.end(),
                     [](const DueEntry& a, const DueEntry& b) { return a.due < b.due; });

    for (const DueEntry& entry : due) {
        if (entry.kind == DueEntry::Kind::kAlarm) firedAlarms_.insert(entry.due);
    }
    std::erase_if(firedAlarms_, [&](Moment at) { return at < yesterday; });
    lastCheck_ = current;
    return due;
}

bool Reminders::AddCountdown(Moment end) {
    if (CountdownsFull()) return false;
    countdowns_.push_back(end);
    return true;
}

std::wstring ReportText(std::wstring_view prefix, const LocalDateTime& now, Moment due) {
    std::wstring text = ReportText(prefix, now.time);
    const Moment current = MomentOf(now);
    if (due >= current) return text;
    text += DayOf(due) < DayOf(current) ? L" (due yesterday " : L" (due ";
    const Moment minute = due - MomentOf(DayOf(due), 0);
    AppendTwoDigits(text, minute / 60);
    text += L':';
    AppendTwoDigits(text, minute % 60);
    text += L')';
    return text;
}

void Announce(const std::vector<DueEntry>& due, const LocalDateTime& now, AlarmOutput& out) {
    if (due.empty()) return;
    for (int play = 0; play < kAlarmPlays; ++play)
        out.PlaySound(kAlarmSound);
    for (const DueEntry& entry : due) {
        const bool alarm = entry.kind == DueEntry::Kind::kAlarm;
        out.ShowReport(ReportText(alarm ? kAlarmPrefix : kTimerPrefix, now, entry.due));
    }
}

}  // namespace velmi
