#include "countdown.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

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

}  // namespace
}  // namespace velmi
