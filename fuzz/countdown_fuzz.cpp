// The countdown's end for any clock time and any number the user may type:
// asked again exactly for what is no usable number, given up exactly when the
// end lies before today, otherwise a minute of the day that agrees with the
// platform's own round-half-to-even. And the table of ends keeps the ten most
// recent in the order they were started.
#include "countdown.h"
#include "fuzz_support.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <deque>
#include <string>

namespace {

using velmi::CountdownStep;
using velmi::MinuteTable;

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
    const velmi::TimeOfDay now{in.ConsumeIntegralInRange(0, 23), in.ConsumeIntegralInRange(0, 59),
                               in.ConsumeIntegralInRange(0, 59)};
    const double n = PickMinutes(in);
    const velmi::CountdownOutcome o = velmi::CountdownEnd(now, n);
    char detail[160];
    std::snprintf(detail, sizeof detail, "at %02d:%02d:%02d, %.17g minutes: step %d end %d",
                  now.hour, now.minute, now.second, n, static_cast<int>(o.step), o.end);

    const bool usable = std::isfinite(n) && std::fabs(n) <= 1e9;
    FUZZ_CHECK((o.step == CountdownStep::kAskAgain) == !usable, detail);
    if (!usable) return;

    // The platform rounds to nearest, ties to even, when left to its default.
    const double total = std::nearbyint(now.minute + n);
    const double end = now.hour * 60.0 + total;
    FUZZ_CHECK((o.step == CountdownStep::kGiveUp) == (end < 0), detail);
    if (end < 0) return;
    FUZZ_CHECK(o.end == static_cast<std::int32_t>(std::fmod(end, 1440.0)), detail);
    // The seconds of the clock never count.
    const velmi::CountdownOutcome other =
        velmi::CountdownEnd({now.hour, now.minute, (now.second + 30) % 60}, n);
    FUZZ_CHECK(other.step == o.step && other.end == o.end, detail);
}

void CheckTable(FuzzedDataProvider& in) {
    MinuteTable table;
    table.minutes[0] = -5;
    std::deque<std::int32_t> recent;
    for (int started = in.ConsumeIntegralInRange(0, 40); started > 0; --started) {
        const std::int32_t end = in.ConsumeIntegralInRange(0, 1439);
        velmi::RecordCountdown(table, end);
        recent.push_back(end);
        if (recent.size() > MinuteTable::kCapacity) recent.pop_front();

        std::string detail = "count " + std::to_string(table.count) + ", expected";
        for (const std::int32_t e : recent)
            detail += " " + std::to_string(e);
        FUZZ_CHECK(table.count == static_cast<int>(recent.size()), detail);
        FUZZ_CHECK(table.minutes[0] == -5, detail);
        FUZZ_CHECK(std::equal(recent.begin(), recent.end(), table.minutes.begin() + 1), detail);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (std::fegetround() != FE_TONEAREST) std::abort();
    FuzzedDataProvider in(data, size);
    if (in.ConsumeIntegralInRange(0, 7) == 0) {
        CheckTable(in);
    } else {
        CheckEnd(in);
    }
    return 0;
}
