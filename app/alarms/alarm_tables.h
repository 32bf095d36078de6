// The armed alarms and the countdown ends, as minutes of the day.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace velmi {

// Entries 1 .. count are in use, entry 0 never is.
struct MinuteTable {
    static constexpr int kCapacity = 10;
    std::array<std::int32_t, kCapacity + 1> minutes{};
    int count = 0;
};

// The armed alarms, the countdowns and the alarm panel's insertion point,
// owned by the main window for the whole run.
struct AlarmState {
    MinuteTable alarms;
    MinuteTable timers;
    std::size_t alarmInsertPos = 0;  // caret of the note when the alarm panel was opened
};

}  // namespace velmi
