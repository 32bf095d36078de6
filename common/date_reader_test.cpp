// What the one date reader takes for a date, per locale, with the locale's
// facts as the platform gives them: the short date in the locale's order and
// ISO's, month names in every form the locale writes, two-digit years, the
// texts the calendar builds, and the near misses that name no real day.
#include "date_reader.h"

#include <gtest/gtest.h>

#include "win_date.h"

namespace velmi {
namespace {

struct Row {
    const wchar_t* locale;
    std::wstring_view text;
    CivilDate date;  // year 0: no date
};

const Row kRows[] = {
    {L"en-US", L"11-15-1999", {1999, 11, 15}},
    {L"en-US", L"3/15/2027", {2027, 3, 15}},
    {L"en-US", L" 03.15.2027 ", {2027, 3, 15}},
    {L"en-US", L"3 15 2027", {2027, 3, 15}},
    {L"en-US", L"2027-03-15", {2027, 3, 15}},
    {L"en-US", L"3/15/27", {2027, 3, 15}},
    {L"en-US", L"3/15/49", {2049, 3, 15}},
    {L"en-US", L"3/15/50", {1950, 3, 15}},
    {L"en-US", L"Feb 28 2027", {2027, 2, 28}},
    {L"en-US", L"28 february 2027", {2027, 2, 28}},
    {L"en-US", L"FEB. 28, 2027", {2027, 2, 28}},
    // The calendar's own texts: canonical, "mmmm dd, yyyy", label and cell.
    {L"en-US", L"November  5,  1999", {1999, 11, 5}},
    {L"en-US", L"March 01, 2001", {2001, 3, 1}},
    {L"en-US", L"March 7,  2001", {2001, 3, 7}},
    {L"en-US", L"March  15,  100", {100, 3, 15}},
    {L"en-US", L"2/30/2027", {}},
    {L"en-US", L"Feb 30 2027", {}},
    {L"en-US", L"13/45/2026", {}},
    {L"en-US", L"2/29/2027", {}},
    {L"en-US", L"12/2", {}},
    {L"en-US", L"tomorrow", {}},
    {L"en-US", L"Label3 01,  Year", {}},
    {L"en-US", L"Marc 1, 2001", {}},
    {L"en-US", L"3/15-2027", {}},
    {L"en-US", L"3,15,2027", {}},
    {L"en-US", L"2027 March 15", {}},
    {L"en-US", L"3/15/2027 6:00", {}},
    {L"en-US", L"12/31/10000", {}},
    {L"en-US", {L"March 1, 2000\0x", 15}, {}},
    {L"en-US", L"   ", {}},
    {L"en-GB", L"05/12/2026", {2026, 12, 5}},
    {L"en-GB", L"12/05/2026", {2026, 5, 12}},
    {L"en-GB", L"12/13/2026", {}},
    {L"en-GB", L"5 Nov 1999", {1999, 11, 5}},
    {L"en-GB", L"November  5,  1999", {1999, 11, 5}},
    {L"sv-SE", L"2026-12-05", {2026, 12, 5}},
    {L"sv-SE", L"26-12-05", {2026, 12, 5}},
    {L"sv-SE", L"5 dec. 2026", {2026, 12, 5}},
    {L"sv-SE", L"december  5,  2026", {2026, 12, 5}},
    {L"sv-SE", L"05/12/2026", {}},
    {L"de-DE", L"5.12.2026", {2026, 12, 5}},
    {L"de-DE", L"05.12.26", {2026, 12, 5}},
    {L"de-DE", L"5. Dezember 2026", {2026, 12, 5}},
    {L"de-DE", L"5. Dez. 2026", {2026, 12, 5}},
    {L"de-DE", L"Dezember  5,  2026", {2026, 12, 5}},
    {L"de-DE", L"31.2.2026", {}},
    {L"pl-PL", L"5.12.2026", {2026, 12, 5}},
    {L"pl-PL", L"5 grudnia 2026", {2026, 12, 5}},
    {L"pl-PL", L"GRUDZIE\u0143  5,  2026", {2026, 12, 5}},
    {L"pl-PL", L"30 lutego 2027", {}},
    {L"ru-RU", L"05.12.2026", {2026, 12, 5}},
    {L"ru-RU", L"5 \u0434\u0435\u043a\u0430\u0431\u0440\u044f 2026", {2026, 12, 5}},
    {L"ru-RU", L"\u0414\u0435\u043a\u0430\u0431\u0440\u044c  5,  2026", {2026, 12, 5}},
    {L"ru-RU", L"31 \u043d\u043e\u044f\u0431\u0440\u044f 2026", {}},
    {L"ja-JP", L"2026/12/05", {2026, 12, 5}},
    {L"ja-JP", L"12\u6708  5,  2026", {2026, 12, 5}},
    {L"ja-JP", L"1\u6708 31, 2026", {2026, 1, 31}},
    {L"ja-JP", L"12/5/2026", {}},
};

TEST(DateReader, ReadsRealDaysInEachLocaleAndNothingElse) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(testing::Message() << row.locale << " row " << (&row - kRows));
        const auto read = ReadDateText(row.text, DateLocaleOf(row.locale));
        EXPECT_EQ(read, row.date.year ? std::optional(row.date) : std::nullopt);
    }
}

// Every text the calendar writes reads back, in the user's locale, as its date.
TEST(DateReader, ReadsBackWhatTheCalendarWrites) {
    for (DateSerial s = SerialFromCivil({1899, 12, 1}); s <= SerialFromCivil({2101, 1, 31});
         s += 13) {
        ASSERT_EQ(ReadDate(CanonicalDateText(s)), s) << s;
        ASSERT_EQ(ReadDate(LongDateText(s)), s) << s;
        ASSERT_EQ(ReadDate(ShortDateText(s)), s) << s;
    }
}

}  // namespace
}  // namespace velmi
