#include "date_core.h"

#include <gtest/gtest.h>

#include <chrono>

namespace velmi {
namespace {

namespace chr = std::chrono;

// 30 December 1899 counted in the standard library's own calendar.
const chr::sys_days kOrigin = chr::year{1899} / chr::December / 30;

TEST(DateCore, KnownAnchors) {
    EXPECT_EQ(SerialFromCivil({1899, 12, 30}), 0);
    EXPECT_EQ(SerialFromCivil({2000, 1, 1}), 36526);
    EXPECT_EQ(SerialFromCivil({2026, 12, 5}), 46361);
    EXPECT_EQ(SerialFromCivil({100, 1, 1}), kMinSerial);
    EXPECT_EQ(SerialFromCivil({9999, 12, 31}), kMaxSerial);
    EXPECT_EQ(CivilFromSerial(-1), (CivilDate{1899, 12, 29}));
    EXPECT_EQ(Weekday(SerialFromCivil({2026, 12, 6})), 1);  // a Sunday
    EXPECT_EQ(Weekday(SerialFromCivil({1999, 11, 1})), 2);  // a Monday
    EXPECT_EQ(Weekday(SerialFromCivil({2000, 1, 1})), 7);   // a Saturday
}

// Walks every day of the whole range, counting the date forward by hand and
// checking serial, weekday and month length against the standard library.
TEST(DateCore, DayByDayWalkAgreesWithStandardCalendar) {
    CivilDate d{kMinYear, 1, 1};
    DateSerial expected = kMinSerial;
    for (; expected <= kMaxSerial; ++expected) {
        const chr::year_month_day ymd{chr::year{d.year} / d.month / d.day};
        ASSERT_TRUE(ymd.ok());
        const chr::sys_days days{ymd};
        ASSERT_EQ((days - kOrigin).count(), expected);
        ASSERT_EQ(SerialFromCivil(d), expected);
        ASSERT_EQ(CivilFromSerial(expected), d);
        ASSERT_EQ(Weekday(expected), static_cast<int>(chr::weekday{days}.c_encoding()) + 1);
        ASSERT_TRUE(IsValidDate(d));

        const auto last = chr::year_month_day_last{chr::year{d.year} / d.month / chr::last};
        const int length = static_cast<int>(static_cast<unsigned>(last.day()));
        ASSERT_EQ(MonthLength(d.month, d.year), length);
        if (++d.day > length) {
            d.day = 1;
            if (++d.month > 12) {
                d.month = 1;
                ++d.year;
            }
        }
    }
    EXPECT_EQ(d, (CivilDate{10000, 1, 1}));
}

// The walk covers every valid date; these are the ones outside it.
TEST(DateCore, InvalidDates) {
    EXPECT_EQ(MonthLength(13, 2023), 0);
    EXPECT_FALSE(IsValidDate({2001, 2, 29}));
    EXPECT_FALSE(IsValidDate({99, 12, 31}));
    EXPECT_FALSE(IsValidDate({10000, 1, 1}));
}

TEST(DateCore, SerialText) {
    EXPECT_EQ(SerialText(46361), L" 46361");
    EXPECT_EQ(SerialText(0), L" 0");
    EXPECT_EQ(SerialText(-1), L"-1");
    EXPECT_EQ(SerialText(kMinSerial), L"-657434");
}

TEST(DateCore, CanonicalDateText) {
    EXPECT_EQ(CanonicalDateText(L"November", 5, 1999), L"November  5,  1999");
    EXPECT_EQ(CanonicalDateText(L"December", 31, 2000), L"December  31,  2000");
    EXPECT_EQ(CanonicalDateText(L"janvier", 1, 100), L"janvier  1,  100");
}

}  // namespace
}  // namespace velmi
