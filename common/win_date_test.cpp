#include "win_date.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace velmi {
namespace {

bool UserLocaleIs(std::wstring_view locale) {
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH);
    return locale == name;
}

DateSerial Serial(int y, int m, int d) {
    return SerialFromCivil({y, m, d});
}

TEST(UsEnglish, ReadsAndWritesDates) {
    if (!UserLocaleIs(L"en-US")) GTEST_SKIP() << "runs in the en-US locale";
    EXPECT_EQ(ReadDate(L"March 7,  2001"), Serial(2001, 3, 7));
    EXPECT_EQ(ReadDate(L"March 01,  2001"), Serial(2001, 3, 1));
    EXPECT_EQ(ReadDate(L"11-15-1999"), Serial(1999, 11, 15));
    // The time of day is dropped, also before 1900.
    EXPECT_EQ(ReadDate(L"December 29, 1899 6:00"), Serial(1899, 12, 29));
    EXPECT_EQ(ReadDate(L"March 1, 2000 23:59"), Serial(2000, 3, 1));
    EXPECT_EQ(ReadDate(L"tomorrow"), std::nullopt);
    EXPECT_EQ(ReadDate(L"Label3 01,  Year"), std::nullopt);
    EXPECT_EQ(ReadDate(L"February 30, 2001"), std::nullopt);
    EXPECT_EQ(ReadDate(L"   "), std::nullopt);
    EXPECT_EQ(ReadDate(std::wstring(L"March 1, 2000\0x", 15)), std::nullopt);
    EXPECT_EQ(CanonicalDateText(Serial(1999, 11, 5)), L"November  5,  1999");
    EXPECT_EQ(LongDateText(Serial(2001, 2, 28)), L"February 28, 2001");
    EXPECT_EQ(LongDateText(Serial(2001, 3, 1)), L"March 01, 2001");
    EXPECT_EQ(ShortDateText(46361), L"12/5/2026");
}

// Every text the calendar writes must read back as the date it names.
TEST(DateTexts, ReadBackAsTheirDate) {
    for (DateSerial s = Serial(1899, 12, 1); s <= Serial(2101, 1, 31); s += 13) {
        ASSERT_EQ(ReadDate(CanonicalDateText(s)), s) << s;
        ASSERT_EQ(ReadDate(LongDateText(s)), s) << s;
        ASSERT_EQ(ReadDate(ShortDateText(s)), s) << s;
    }
}

TEST(DayFirstEnglish, ReadingFollowsTheLocale) {
    if (!UserLocaleIs(L"en-GB")) GTEST_SKIP() << "runs in the en-GB locale";
    EXPECT_EQ(ReadDate(L"05/12/2026"), 46361);
    EXPECT_EQ(ReadDate(L"12/05/2026"), Serial(2026, 5, 12));
    EXPECT_EQ(ShortDateText(46361), L"05/12/2026");
    EXPECT_EQ(ReadDate(L"November  5,  1999"), Serial(1999, 11, 5));
}

}  // namespace
}  // namespace velmi
