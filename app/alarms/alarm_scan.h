// Alarm markers such as {*07:45PM*} inside a day's note, and the table of
// alarms they arm.
#pragma once

#include "alarm_tables.h"
#include "date_core.h"

#include <string>
#include <string_view>

namespace velmi {

// Rebuilds the table from the markers of the note, in note order; the first
// ten valid markers are armed, malformed ones are skipped.
void ScanAlarms(std::wstring_view note, MinuteTable& alarms);

// What an alarm is for: its line of the note without the markers, blanks
// collapsed, at most 200 characters; empty when nothing else is on the line.
[[nodiscard]] std::wstring AlarmLineText(std::wstring_view note, int line);
inline constexpr std::size_t kLongestAlarmText = 200;

[[nodiscard]] constexpr int MinuteOfDay(const TimeOfDay& time) noexcept {
    return time.hour * 60 + time.minute;
}

// The prefix and the time as hh:mm:ss on the 24-hour clock.
[[nodiscard]] std::wstring ReportText(std::wstring_view prefix, const TimeOfDay& now);

}  // namespace velmi
