#include "date_core.h"

#include <gtest/gtest.h>

#include <chrono>

namespace velmi {
namespace {

namespace chr = std::chrono;

// Every day of the whole range against the standard library's own calendar:
// serial both ways, weekday, month length and validity.
TEST(DateCore, EveryDayAgreesWithStandardCalendar) {
    const chr::sys_days origin = chr::year{1899} / chr::December / 30;
    for (DateSerial s = kMinSerial; s <= kMaxSerial; ++s) {
        const chr::sys_days days = origin + chr::days{s};
        const chr::year_month_day ymd{days};
        const CivilDate d{static_cast<int>(ymd.year()), static_cast<int>(unsigned{ymd.month()}),
                          static_cast<int>(unsigned{ymd.day()})};
        ASSERT_EQ(SerialFromCivil(d), s);
        ASSERT_EQ(CivilFromSerial(s), d);
        ASSERT_EQ(Weekday(s), static_cast<int>(chr::weekday{days}.c_encoding()) + 1);
        ASSERT_TRUE(IsValidDate(d));
        const chr::year_month_day_last last{ymd.year() / ymd.month() / chr::last};
        ASSERT_EQ(MonthLength(d.month, d.year), static_cast<int>(unsigned{last.day()}));
    }
    EXPECT_EQ(CivilFromSerial(kMinSerial), (CivilDate{100, 1, 1}));
    EXPECT_EQ(CivilFromSerial(kMaxSerial), (CivilDate{9999, 12, 31}));
}

// The walk covers every valid date and the whole serial range; these are
// the dates outside it and the texts made from dates.
TEST(DateCore, InvalidDatesAndTexts) {
    EXPECT_EQ(MonthLength(13, 2023), 0);
    EXPECT_FALSE(IsValidDate({2001, 2, 29}));
    EXPECT_FALSE(IsValidDate({99, 12, 31}));
    EXPECT_FALSE(IsValidDate({10000, 1, 1}));
    EXPECT_EQ(SerialText(46361), L" 46361");
    EXPECT_EQ(SerialText(0), L" 0");
    EXPECT_EQ(SerialText(-1), L"-1");
    EXPECT_EQ(CanonicalDateText(L"November", 5, 1999), L"November  5,  1999");
    EXPECT_EQ(CanonicalDateText(L"December", 31, 2000), L"December  31,  2000");
}

}  // namespace
}  // namespace velmi
