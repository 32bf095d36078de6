#include "countdown.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>
#include <vector>

namespace velmi {
namespace {

// The recorded end, -1 for giving up, -2 for asking again.
int Outcome(TimeOfDay now, double minutes) {
    const CountdownOutcome o = CountdownEnd(now, minutes);
    return o.step == CountdownStep::kRecord ? o.end : o.step == CountdownStep::kGiveUp ? -1 : -2;
}

TEST(CountdownEnd, SumOfMinuteAndAnswerRoundsHalfToEven) {
    EXPECT_EQ(Outcome({10, 20, 40}, 15), 635);
    EXPECT_EQ(Outcome({10, 50, 0}, 15), 665);
    EXPECT_EQ(Outcome({10, 20, 0}, 2.5), 622);
    EXPECT_EQ(Outcome({10, 21, 0}, 2.5), 624);
    EXPECT_EQ(Outcome({10, 21, 59}, 0), 621);
    EXPECT_EQ(Outcome({23, 50, 0}, 15), 5);    // carried into the next day
    EXPECT_EQ(Outcome({10, 0, 0}, -30), 570);  // already past today
    EXPECT_EQ(Outcome({0, 10, 0}, -30), -1);   // before today
    EXPECT_EQ(Outcome({0, 0, 0}, 1e9), 1'000'000'000 % 1440);
    const double inf = std::numeric_limits<double>::infinity();
    for (const double n : {std::nan(""), inf, -inf, 1e12, -1e9 - 1}) {
        EXPECT_EQ(Outcome({12, 0, 0}, n), -2) << n;
    }
}

// Against the platform's own rounding, which rounds half to even by default.
TEST(CountdownEnd, AgreesWithDefaultFloatingPointRounding) {
    ASSERT_EQ(std::fegetround(), FE_TONEAREST);
    for (const TimeOfDay now : {TimeOfDay{0, 0, 0}, TimeOfDay{10, 21, 0}, TimeOfDay{23, 59, 0}}) {
        for (double n = -120; n <= 1500; n += 0.25) {
            const long long end = now.hour * 60 + std::llrint(now.minute + n);
            ASSERT_EQ(Outcome(now, n), end < 0 ? -1 : end % 1440) << n;
        }
    }
}

TEST(RecordCountdown, KeepsTheTenMostRecentInStartOrder) {
    MinuteTable timers;
    for (std::int32_t end = 1; end <= 12; ++end)
        RecordCountdown(timers, end);
    EXPECT_EQ(timers.count, 10);
    EXPECT_EQ(std::vector<std::int32_t>(timers.minutes.begin(), timers.minutes.end()),
              (std::vector<std::int32_t>{0, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
}

}  // namespace
}  // namespace velmi
