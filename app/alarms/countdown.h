// The countdown's end: the moment a number of minutes from now.
#pragma once

#include "alarm_check.h"
#include "date_core.h"

#include <cstdint>

namespace velmi {

enum class CountdownStep {
    kRecord,    // record `end`
    kAskAgain,  // the answer is no usable number: show the input box again
    kGiveUp,    // the end lies before this minute: the command ends as for Cancel
};

struct CountdownOutcome {
    CountdownStep step = CountdownStep::kGiveUp;
    Moment end = 0;  // when kRecord
};

inline constexpr double kLongestCountdown = 1'000'000'000.0;  // minutes, either way

// The current minute plus m + n rounded half to even, added to the whole
// hours of now: a date and a time, days ahead if need be.
[[nodiscard]] CountdownOutcome CountdownEnd(const LocalDateTime& now, double minutes) noexcept;

}  // namespace velmi
