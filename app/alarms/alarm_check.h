// The firing check shared by alarms and countdowns.
#pragma once

#include "alarm_tables.h"
#include "clock.h"

#include <string_view>

namespace velmi {

inline constexpr std::wstring_view kAlarmPrefix = L"Alarm went off at ";
inline constexpr std::wstring_view kTimerPrefix = L"Timer went off at ";
inline constexpr std::wstring_view kAlarmSound = L"laser.wav";
inline constexpr int kAlarmPlays = 5;

// Where a due alarm goes: the sound (played synchronously) and the message box.
class AlarmOutput {
public:
    virtual ~AlarmOutput() = default;
    virtual void PlaySound(std::wstring_view fileName) = 0;
    virtual void ShowReport(std::wstring_view text) = 0;
};

// When the current minute of the day is in the table: the sound five times,
// then one report with the time read at the start. Nothing is disarmed.
void CheckDue(const MinuteTable& table, const Clock& clock, AlarmOutput& out,
              std::wstring_view prefix);

}  // namespace velmi
