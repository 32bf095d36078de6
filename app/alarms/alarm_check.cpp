#include "alarm_check.h"

#include "alarm_scan.h"

#include <algorithm>
#include <array>
#include <tuple>

namespace velmi {
namespace {

void AppendTwoDigits(std::wstring& text, Moment value) {
    text += static_cast<wchar_t>(L'0' + value / 10 % 10);
    text += static_cast<wchar_t>(L'0' + value % 10);
}

// "yyyy-mm-dd hh:mm", the form the memory keeps minutes in.
constexpr std::size_t kMomentTextLength = 16;

std::wstring MomentText(Moment moment) {
    const CivilDate date = CivilFromSerial(DayOf(moment));
    std::wstring text;
    AppendTwoDigits(text, date.year / 100);
    AppendTwoDigits(text, date.year);
    text += L'-';
    AppendTwoDigits(text, date.month);
    text += L'-';
    AppendTwoDigits(text, date.day);
    return text + L' ' + ClockText(moment);
}

std::optional<int> ReadNumber(std::wstring_view text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    int value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + (c - L'0');
    }
    return value;
}

std::optional<Moment> ReadMoment(std::wstring_view text) {
    if (text.size() != kMomentTextLength || text[4] != L'-' || text[7] != L'-' ||
        text[10] != L' ' || text[13] != L':')
        return std::nullopt;
    const auto year = ReadNumber(text.substr(0, 4));
    const auto month = ReadNumber(text.substr(5, 2));
    const auto day = ReadNumber(text.substr(8, 2));
    const auto hour = ReadNumber(text.substr(11, 2));
    const auto minute = ReadNumber(text.substr(14, 2));
    if (!year || !month || !day || !hour || !minute || *hour > 23 || *minute > 59)
        return std::nullopt;
    const CivilDate date{*year, *month, *day};
    const DateSerial serial = SerialFromCivil(date);
    if (!(CivilFromSerial(serial) == date)) return std::nullopt;
    return MomentOf(serial, *hour * 60 + *minute);
}

std::vector<std::wstring_view> Lines(std::wstring_view text) {
    std::vector<std::wstring_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find(L'\n');
        std::wstring_view line = text.substr(0, end);
        if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
        if (!line.empty()) lines.push_back(line);
        if (end == std::wstring_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

void AppendLine(std::wstring& text, const std::wstring& line) {
    if (!text.empty()) text += L"\r\n";
    text += line;
}

// "end<TAB>A|C<TAB>due<TAB>line<TAB>text".
std::optional<PendingRow> ReadPending(std::wstring_view entry, bool snoozed) {
    std::array<std::wstring_view, 5> fields;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::size_t tab = i + 1 < fields.size() ? entry.find(L'\t') : entry.size();
        if (tab == std::wstring_view::npos) return std::nullopt;
        fields[i] = entry.substr(0, tab);
        entry.remove_prefix(std::min(entry.size(), tab + 1));
    }
    const auto end = ReadMoment(fields[0]);
    const auto due = ReadMoment(fields[2]);
    const auto line = ReadNumber(fields[3]);
    const bool alarm = fields[1] == L"A";
    if (!end || !due || !line || (!alarm && fields[1] != L"C") || (alarm && !snoozed) ||
        fields[4].empty())
        return std::nullopt;
    return PendingRow{{alarm ? ReminderKind::kAlarm : ReminderKind::kCountdown, *due, *line},
                      *end,
                      std::wstring(fields[4]),
                      snoozed};
}

// "hh:mm AM" on the 12-hour clock.
std::wstring TwelveHourText(int minuteOfDay) {
    const int hour = minuteOfDay / 60 % 12;
    std::wstring text;
    AppendTwoDigits(text, hour == 0 ? 12 : hour);
    text += L':';
    AppendTwoDigits(text, minuteOfDay % 60);
    text += minuteOfDay < 720 ? L" AM" : L" PM";
    return text;
}

}  // namespace

std::wstring ClockText(Moment moment) {
    const Moment minute = moment - MomentOf(DayOf(moment), 0);
    std::wstring text;
    AppendTwoDigits(text, minute / 60);
    text += L':';
    AppendTwoDigits(text, minute % 60);
    return text;
}

Moment MomentOf(const LocalDateTime& time) noexcept {
    return MomentOf(SerialFromCivil(time.date), MinuteOfDay(time.time));
}

void Reminders::Start(const LocalDateTime& now, const ReminderMemory& memory) {
    lastCheck_ = ReadMoment(memory.lastCheck).value_or(MomentOf(now));
    wentOff_.clear();
    for (const std::wstring_view entry : Lines(memory.wentOff)) {
        const std::size_t blank = entry.find(L' ', kMomentTextLength);
        const auto at = ReadMoment(entry.substr(0, blank));
        const auto line =
            blank == std::wstring_view::npos ? std::nullopt : ReadNumber(entry.substr(blank + 1));
        if (at && line) wentOff_.emplace(*at, *line);
    }
    due_.clear();
    pending_.clear();
    for (const bool snoozed : {false, true}) {
        for (const std::wstring_view entry : Lines(snoozed ? memory.snoozes : memory.countdowns)) {
            if (auto row = ReadPending(entry, snoozed)) AddPending(std::move(*row));
        }
    }
}

ReminderMemory Reminders::Memory() const {
    ReminderMemory memory;
    if (lastCheck_) memory.lastCheck = MomentText(*lastCheck_);
    for (const auto& [at, line] : wentOff_)
        AppendLine(memory.wentOff, MomentText(at) + L' ' + std::to_wstring(line));
    for (const PendingRow& row : pending_) {
        AppendLine(row.snoozed ? memory.snoozes : memory.countdowns,
                   MomentText(row.end) + L'\t' +
                       (row.key.kind == ReminderKind::kAlarm ? L'A' : L'C') + L'\t' +
                       MomentText(row.key.due) + L'\t' + std::to_wstring(row.key.line) + L'\t' +
                       row.text);
    }
    return memory;
}

std::vector<DueRow> Reminders::Check(const LocalDateTime& now, int utcBias,
                                     const NoteOfDay& noteOf) {
    const Moment current = MomentOf(now);
    // The minute of the last check is looked at again: an entry for it may
    // have appeared after that check. A clock set back starts afresh from
    // now; what went off in the repeated span is remembered below.
    const Moment yesterday = MomentOf(DayOf(current) - 1, 0);
    const Moment from = std::max(std::min(lastCheck_.value_or(current), current), yesterday);

    std::vector<std::pair<Moment, DueRow>> added;  // by the local minute each was due
    for (DateSerial day = DayOf(from); day <= DayOf(current); ++day) {
        const std::wstring note = noteOf(day);
        MinuteTable alarms;
        ScanAlarms(note, alarms);
        for (int i = 1; i <= alarms.count; ++i) {
            const auto index = static_cast<std::size_t>(i);
            const int minute = alarms.minutes[index];
            const ReminderKey key{ReminderKind::kAlarm, MomentOf(day, minute), alarms.lines[index]};
            // Two markers of one minute on one line make one row.
            if (key.due < from || key.due > current || wentOff_.contains({key.due, key.line}) ||
                std::any_of(added.begin(), added.end(),
                            [&](const auto& row) { return row.second.key == key; })) {
                continue;
            }
            std::wstring text = AlarmLineText(note, key.line);
            if (text.empty()) text = L"Alarm " + TwelveHourText(minute);
            added.push_back({key.due, {key, ReportText(kAlarmPrefix, now, key.due), text}});
        }
    }
    // A countdown or snooze that ended goes off and leaves the table, even
    // when the clock was set back past it; one that ended before yesterday
    // leaves it silently.
    std::erase_if(pending_, [&](const PendingRow& row) {
        const Moment endLocal = row.end + utcBias;
        if (endLocal > current) return false;
        if (endLocal >= yesterday) {
            const bool alarm = row.key.kind == ReminderKind::kAlarm;
            const Moment dueLocal = alarm ? row.key.due : row.key.due + utcBias;
            added.push_back(
                {endLocal,
                 {row.key, ReportText(alarm ? kAlarmPrefix : kTimerPrefix, now, dueLocal),
                  row.text}});
        }
        return true;
    });
    // In due order; entries of one minute by their identity, so that the
    // order does not depend on how a restart read them back.
    std::sort(added.begin(), added.end(), [](const auto& a, const auto& b) {
        return std::tie(a.first, a.second.key) < std::tie(b.first, b.second.key);
    });

    std::vector<DueRow> rows;
    for (auto& [at, row] : added) {
        if (row.key.kind == ReminderKind::kAlarm) wentOff_.emplace(row.key.due, row.key.line);
        rows.push_back(row);
        due_.push_back(std::move(row));
    }
    std::erase_if(wentOff_, [&](const auto& alarm) { return alarm.first < yesterday; });
    lastCheck_ = current;
    return rows;
}

bool Reminders::CountdownsFull() const noexcept {
    // Snoozed countdowns have gone off once already and do not count.
    return std::count_if(pending_.begin(), pending_.end(), [](const PendingRow& row) {
               return !row.snoozed;
           }) >= static_cast<std::ptrdiff_t>(kMaxCountdowns);
}

bool Reminders::AddCountdown(const LocalDateTime& now, int utcBias, Moment end) {
    if (CountdownsFull()) return false;
    int number = 0;
    for (const PendingRow& row : pending_)
        if (row.key.kind == ReminderKind::kCountdown) number = std::max(number, row.key.line + 1);
    for (const DueRow& row : due_)
        if (row.key.kind == ReminderKind::kCountdown) number = std::max(number, row.key.line + 1);
    const Moment started = MomentOf(now);
    const Instant endInstant = InstantOf(end, utcBias);
    AddPending({{ReminderKind::kCountdown, endInstant, number},
                endInstant,
                std::wstring(kCountdownText) + std::to_wstring(end - started) +
                    L" minutes, started at " + ClockText(started),
                false});
    return true;
}

void Reminders::Snooze(const std::vector<ReminderKey>& keys, int minutes, Instant now) {
    for (const ReminderKey& key : keys) {
        const auto row = std::find_if(due_.begin(), due_.end(),
                                      [&](const DueRow& due) { return due.key == key; });
        if (row == due_.end()) continue;
        AddPending({row->key, now + minutes, std::move(row->text), true});
        due_.erase(row);
    }
}

void Reminders::Dismiss(const std::vector<ReminderKey>& keys) {
    const auto listed = [&](const ReminderKey& key) {
        return std::find(keys.begin(), keys.end(), key) != keys.end();
    };
    std::erase_if(due_, [&](const DueRow& row) { return listed(row.key); });
    std::erase_if(pending_, [&](const PendingRow& row) { return listed(row.key); });
}

std::vector<ReminderKey> Reminders::DueKeys() const {
    std::vector<ReminderKey> keys;
    for (const DueRow& row : due_)
        keys.push_back(row.key);
    return keys;
}

void Reminders::AddPending(PendingRow row) {
    // A row of the same entry is replaced: an entry is pending once at most.
    std::erase_if(pending_, [&](const PendingRow& p) { return p.key == row.key; });
    const auto at = std::upper_bound(pending_.begin(), pending_.end(), row,
                                     [](const PendingRow& a, const PendingRow& b) {
                                         return std::tie(a.end, a.key) < std::tie(b.end, b.key);
                                     });
    pending_.insert(at, std::move(row));
}

std::wstring ReportText(std::wstring_view prefix, const LocalDateTime& now, Moment due) {
    std::wstring text = ReportText(prefix, now.time);
    const Moment current = MomentOf(now);
    if (due >= current) return text;
    text += DayOf(due) < DayOf(current) ? L" (due yesterday " : L" (due ";
    text += ClockText(due);
    text += L')';
    return text;
}

}  // namespace velmi
