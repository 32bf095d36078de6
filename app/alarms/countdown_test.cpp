#include "countdown.h"

#include <gtest/gtest.h>

#include <cmath>

namespace velmi {
namespace {

// The recorded end in minutes from today's midnight, -1 for giving up, -2
// for asking again.
Moment Outcome(TimeOfDay now, double minutes) {
    constexpr DateSerial kToday = 46361;
    const CountdownOutcome o = CountdownEnd({CivilFromSerial(kToday), now}, minutes);
    if (o.step != CountdownStep::kRecord) return o.step == CountdownStep::kGiveUp ? -1 : -2;
    return o.end - MomentOf(kToday, 0);
}

// countdown_fuzz holds the oracle for every clock time and answer; these name
// the rules one by one, and run in the cross build too, which it never sees.
TEST(CountdownEnd, NamedCases) {
    EXPECT_EQ(Outcome({10, 20, 0}, 2.5), 622);   // ties go to the even minute
    EXPECT_EQ(Outcome({10, 21, 59}, 2.5), 624);  // and the seconds never count
    EXPECT_EQ(Outcome({10, 0, 0}, -30), -1);     // before this minute
    EXPECT_EQ(Outcome({12, 0, 0}, std::nan("")), -2);
    EXPECT_EQ(Outcome({12, 0, 0}, -1e9 - 1), -2);
}

}  // namespace
}  // namespace velmi
