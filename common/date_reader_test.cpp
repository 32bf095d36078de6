// What the one date reader takes for a date, per locale: the short date in
// the locale's order and ISO's, month names in every form the locale writes,
// two-digit years, the texts the calendar builds, and the near misses that
// name no real day. Under Wine the locale facts are the platform's own.
#include "date_reader.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include "win_date.h"
#else
#include <map>
#include <utility>
#include <vector>
#endif

namespace velmi {
namespace {

#ifdef _WIN32
DateLocale LocaleNamed(const wchar_t* name) {
    return DateLocaleOf(name);
}
#else
// Natively, what Wine's locales give for the names the rows use.
DateLocale LocaleNamed(const wchar_t* name) {
    using Names = std::vector<std::pair<int, const wchar_t*>>;
    static const std::map<std::wstring_view, std::pair<const wchar_t*, Names>> kFacts = {
        {L"en-US", {L"M/d/yyyy", {{2, L"February"}, {2, L"Feb"}, {3, L"March"}, {11, L"November"}}}},
        {L"en-GB", {L"dd/MM/yyyy", {{11, L"November"}, {11, L"Nov"}}}},
        {L"sv-SE", {L"yyyy-MM-dd", {{12, L"december"}, {12, L"dec."}}}},
        {L"de-DE", {L"d.M.yyyy", {{12, L"Dezember"}, {12, L"Dez"}}}},
        {L"pl-PL", {L"d.MM.yyyy", {{2, L"lutego"}, {12, L"grudzie\u0144"}, {12, L"grudnia"}}}},
        {L"ru-RU",
         {L"dd.MM.yyyy", {{11, L"\u043d\u043e\u044f\u0431\u0440\u044f"},
                          {12, L"\u0434\u0435\u043a\u0430\u0431\u0440\u044c"},
                          {12, L"\u0434\u0435\u043a\u0430\u0431\u0440\u044f"}}}},
        {L"ja-JP", {L"yyyy/M/d", {{1, L"1\u6708"}, {12, L"12\u6708"}}}},
    };
    const auto& [picture, names] = kFacts.at(name);
    DateLocale locale;
    locale.order = OrderOfPicture(picture);
    for (const auto& [month, text] : names)
        locale.AddMonthName(month, text);
    return locale;
}
#endif

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
        const auto read = ReadDateText(row.text, LocaleNamed(row.locale));
        EXPECT_EQ(read, row.date.year ? std::optional(row.date) : std::nullopt);
    }
}

}  // namespace
}  // namespace velmi
