#include "countdown.h"

#include <algorithm>
#include <cmath>

namespace velmi {
namespace {

constexpr std::int64_t kMinutesPerDay = 1440;

// Independent of the floating-point rounding mode in force.
[[nodiscard]] double RoundHalfToEven(double x) noexcept {
    const double below = std::floor(x);
    const double fraction = x - below;
    if (fraction > 0.5) return below + 1;
    if (fraction < 0.5) return below;
    return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

}  // namespace

CountdownOutcome CountdownEnd(const TimeOfDay& now, double minutes) noexcept {
    if (!std::isfinite(minutes) || std::fabs(minutes) > kLongestCountdown) {
        return {CountdownStep::kAskAgain, 0};
    }
    const auto total = static_cast<std::int64_t>(RoundHalfToEven(now.minute + minutes));
    const std::int64_t end = std::int64_t{now.hour} * 60 + total;
    if (end < 0) return {CountdownStep::kGiveUp, 0};
    return {CountdownStep::kRecord, static_cast<std::int32_t>(end % kMinutesPerDay)};
}

void RecordCountdown(MinuteTable& timers, std::int32_t end) noexcept {
    auto& m = timers.minutes;
    if (timers.count >= MinuteTable::kCapacity) {
        std::copy(m.begin() + 2, m.end(), m.begin() + 1);
        timers.count = MinuteTable::kCapacity - 1;
    }
    m[static_cast<std::size_t>(++timers.count)] = end;
}

}  // namespace velmi
