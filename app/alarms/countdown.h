// The countdown's end: the minute of the day a number of minutes from now.
#pragma once

#include "alarm_tables.h"
#include "date_core.h"

#include <cstdint>

namespace velmi {

enum class CountdownStep {
    kRecord,    // record `end`
    kAskAgain,  // the answer is no usable number: show the input box again
    kGiveUp,    // the end lies before today: the command ends as for Cancel
};

struct CountdownOutcome {
    CountdownStep step = CountdownStep::kGiveUp;
    std::int32_t end = 0;  // minute of the day, 0 .. 1439, when kRecord
};

inline constexpr double kLongestCountdown = 1'000'000'000.0;  // minutes, either way

// m + n rounded half to even, added to the whole hours of now; an end past
// midnight carries into the next day.
[[nodiscard]] CountdownOutcome CountdownEnd(const TimeOfDay& now, double minutes) noexcept;

// Appends the end; when the table is full the oldest entry makes room, so
// it always holds the ten most recent in the order they were started.
void RecordCountdown(MinuteTable& timers, std::int32_t end) noexcept;

}  // namespace velmi
