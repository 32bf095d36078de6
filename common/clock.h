// The one way the program learns the date and time, so tests can set both.
#pragma once

#include "date_core.h"

namespace velmi {

class Clock {
public:
    virtual ~Clock() = default;
    [[nodiscard]] virtual LocalDateTime Now() const = 0;
    // How far local time runs ahead of UTC, in minutes, summer time included.
    [[nodiscard]] virtual int MinutesAheadOfUtc() const { return 0; }
};

}  // namespace velmi
