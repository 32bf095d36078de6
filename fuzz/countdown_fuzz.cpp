// The countdown's end for any date, clock time and any number the user may
// type: asked again exactly for what is no usable number, given up exactly
// when the end lies before the current minute, otherwise a date and minute
// that agree with the platform's own round-half-to-even.
#include "countdown.h"
#include "fuzz_support.h"

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

using velmi::CountdownStep;

double PickMinutes(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0: {  // any bit pattern: NaN, infinities, subnormals, huge
            const auto bits = in.ConsumeIntegral<std::uint64_t>();
            double n = 0;
            std::memcpy(&n, &bits, sizeof n);
            return n;
        }
        case 1:  // halves and quarters, where the rounding matters
            return in.ConsumeIntegralInRange<std::int64_t>(-8'000'000'000, 8'000'000'000) / 4.0;
        case 2:  // on and around the largest accepted answer, either way
            return (in.ConsumeBool() ? 1e9 : -1e9) + in.ConsumeIntegralInRange(-8, 8) / 4.0;
        default:
            return in.ConsumeFloatingPoint<double>();
    }
}

void CheckEnd(FuzzedDataProvider& in) {
    const velmi::DateSerial day = in.ConsumeIntegralInRange(velmi::kMinSerial, velmi::kMaxSerial);
    const velmi::TimeOfDay time{in.ConsumeIntegralInRange(0, 23), in.ConsumeIntegralInRange(0, 59),
                                in.ConsumeIntegralInRange(0, 59)};
    const velmi::LocalDateTime now{velmi::CivilFromSerial(day), time};
    const double n = PickMinutes(in);
    const velmi::CountdownOutcome o = velmi::CountdownEnd(now, n);
    char detail[200];
    std::snprintf(detail, sizeof detail,
                  "day %d at %02d:%02d:%02d, %.17g minutes: step %d end %lld", day, time.hour,
                  time.minute, time.second, n, static_cast<int>(o.step),
                  static_cast<long long>(o.end));

    const bool usable = std::isfinite(n) && std::fabs(n) <= 1e9;
    FUZZ_CHECK((o.step == CountdownStep::kAskAgain) == !usable, detail);
    if (!usable) return;

    // The platform rounds to nearest, ties to even, when left to its default.
    const double fromNow = std::nearbyint(time.minute + n) - time.minute;
    FUZZ_CHECK((o.step == CountdownStep::kGiveUp) == (fromNow < 0), detail);
    if (fromNow < 0) return;
    const double midnight = static_cast<double>(day) * 1440.0;
    FUZZ_CHECK(static_cast<double>(o.end) == midnight + time.hour * 60 + time.minute + fromNow,
               detail);
    // The seconds of the clock never count.
    const velmi::CountdownOutcome other =
        velmi::CountdownEnd({now.date, {time.hour, time.minute, (time.second + 30) % 60}}, n);
    FUZZ_CHECK(other.step == o.step && other.end == o.end, detail);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (std::fegetround() != FE_TONEAREST) std::abort();
    FuzzedDataProvider in(data, size);
    CheckEnd(in);
    return 0;
}
