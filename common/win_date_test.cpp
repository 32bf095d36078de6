#include "win_date.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace velmi {
namespace {

DateSerial Serial(int y, int m, int d) {
    return SerialFromCivil({y, m, d});
}

// Every text the calendar writes must read back as the date it names.
TEST(DateTexts, ReadBackAsTheirDate) {
    for (DateSerial s = Serial(1899, 12, 1); s <= Serial(2101, 1, 31); s += 13) {
        ASSERT_EQ(ReadDate(CanonicalDateText(s)), s) << s;
        ASSERT_EQ(ReadDate(LongDateText(s)), s) << s;
        ASSERT_EQ(ReadDate(ShortDateText(s)), s) << s;
    }
}

}  // namespace
}  // namespace velmi
