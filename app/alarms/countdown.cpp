#include "countdown.h"

#include <cmath>

namespace velmi {
namespace {

// Independent of the floating-point rounding mode in force.
[[nodiscard]] double RoundHalfToEven(double x) noexcept {
    const double below = std::floor(x);
    const double fraction = x - below;
    if (fraction > 0.5) return below + 1;
    if (fraction < 0.5) return below;
    return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

}  // namespace

CountdownOutcome CountdownEnd(const LocalDateTime& now, double minutes) noexcept {
    if (!std::isfinite(minutes) || std::fabs(minutes) > kLongestCountdown) {
        return {CountdownStep::kAskAgain, 0};
    }
    const auto total = static_cast<Moment>(RoundHalfToEven(now.time.minute + minutes));
    const Moment end = MomentOf(SerialFromCivil(now.date), now.time.hour * 60) + total;
    if (end < MomentOf(now)) return {CountdownStep::kGiveUp, 0};
    return {CountdownStep::kRecord, end};
}

}  // namespace velmi
