// The calendar's rules in one table over the model: what each put, typed
// text, commit and click leaves in the date box and how many Change events it
// raises. The grid, the text at each Change and that an action that leaves the text as it
// was raises nothing are checked by the fuzzer; which texts a put refuses, by
// the hosted control's message box.
#include "calendar_fixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace nuv {
namespace {

// kEmpty puts an empty text; the other puts and typing write the row's text.
// clang-format off
enum class Act { kPut, kEmpty, kType, kCommit, kPutDate, kCell,
                 kYearBack, kYearOn, kMonthBack, kMonthOn, kToday,
                 // The keys on a day cell, in the order of DayKey.
                 kLeft, kRight, kUp, kDown, kPageUp, kPageDown, kCtrlPageUp, kCtrlPageDown,
                 kHome, kEnd };
// clang-format on
using enum Act;
constexpr int kKeyBase = static_cast<int>(kLeft);

struct Row {
    velmi::CivilDate shown;  // put as a date first; year 0: a new control
    std::vector<Act> acts;
    std::wstring text;  // what a put, typing or putdate writes; for a cell, its index
    std::wstring after;
    int changes;
    std::wstring yearLabel = {};  // afterwards, where it matters
};

const Row kRows[] = {
    // Puts: Change as often as the text really changes; another form is
    // drawn, then rewritten as a change of its own.
    {{2001, 3, 3}, {kPut}, L"November 15, 1999", L"November  15,  1999", 2},
    {{1999, 11, 15}, {kPut}, L"November  15,  1999", L"November  15,  1999", 0},
    {{2000, 3, 1}, {kPut}, L"tomorrow", L"March  1,  2000", 0},
    {{2000, 3, 1}, {kPut}, L"   ", L"", 1, L" 2000"},
    {{}, {kEmpty}, L"", L"", 0},
    {{2001, 3, 3}, {kPutDate}, L"March 4, 2001", L"March  4,  2001", 1},
    // Typing keeps the text as typed and leaves the grid; a zero ends the
    // text. Committing draws and rewrites a date, or puts back the date drawn.
    {{2001, 3, 3}, {kType}, L"March 07, 2002", L"March 07, 2002", 1, L" 2001"},
    {{2001, 3, 3}, {kType, kCommit}, L"3/7/2002", L"March  7,  2002", 2, L" 2002"},
    {{}, {kType, kCommit}, std::wstring(L"March 1, 2000\0x", 15), L"March  1,  2000", 2},
    {{2001, 3, 3}, {kType, kCommit}, L"Marc", L"March  3,  2001", 2},
    // Day cells; in March 2001 the 1st is in cell 4.
    {{2001, 3, 7}, {kCell}, L"10", L"March  7,  2001", 0},
    {{2001, 3, 7}, {kCell}, L"23", L"March  20,  2001", 1},
    // Month arrows land on the first or last day and raise twice; the year
    // label is written once more after both events, without its blank.
    {{2001, 1, 31}, {kMonthOn}, {}, L"February  1,  2001", 2, L"2001"},
    {{2001, 1, 31}, {kMonthBack}, {}, L"December  31,  2000", 2, L"2000"},
    {{2000, 3, 1}, {kMonthBack}, {}, L"February  29,  2000", 2},
    // Year arrows go to the first of the shown month, also from the label a
    // month arrow wrote.
    {{2000, 2, 29}, {kYearBack}, {}, L"February  1,  1999", 1, L" 1999"},
    {{2001, 3, 15}, {kMonthOn, kYearBack}, {}, L"April  1,  2000", 3},
    // Before the first date only the frame (today) works.
    {{}, {kCell, kYearBack, kYearOn, kMonthBack, kMonthOn}, L"0", L"", 0},
    {{}, {kToday}, {}, L"December  5,  2026", 1},
    // Without a date in the box only the month arrows stop.
    {{2001, 3, 15}, {kEmpty, kMonthBack, kMonthOn}, {}, L"", 1},
    {{2001, 3, 15}, {kEmpty, kYearOn}, {}, L"March  1,  2002", 2},
    {{2001, 3, 15}, {kEmpty, kCell}, L"12", L"March  9,  2001", 2},
    // At the ends of the date range the arrows do nothing.
    {{9999, 12, 15}, {kMonthOn, kYearOn}, {}, L"December  15,  9999", 0},
    {{9999, 12, 15}, {kMonthBack}, {}, L"November  30,  9999", 2},
    {{100, 1, 15}, {kMonthBack, kYearBack}, {}, L"January  15,  100", 0},
    {{100, 1, 15}, {kMonthOn}, {}, L"February  1,  100", 2},
    // Keys move from the selected day, once each like a click, across months;
    // months and years keep the day or clamp it to the month's last.
    {{2001, 3, 1}, {kLeft}, {}, L"February  28,  2001", 1},
    {{2001, 3, 31}, {kRight, kUp}, {}, L"March  25,  2001", 2},
    {{2024, 1, 31}, {kPageDown}, {}, L"February  29,  2024", 1},
    {{2024, 3, 31}, {kPageUp}, {}, L"February  29,  2024", 1},
    {{2024, 2, 29}, {kCtrlPageDown}, {}, L"February  28,  2025", 1},
    {{2001, 2, 7}, {kHome, kHome, kEnd}, {}, L"February  28,  2001", 2},
    // Nothing leaves the date range, and without a date no key works.
    {{9999, 12, 31}, {kRight, kDown, kPageDown, kCtrlPageDown}, {}, L"December  31,  9999", 0},
    {{100, 1, 1}, {kLeft, kUp, kPageUp, kCtrlPageUp}, {}, L"January  1,  100", 0},
    {{}, {kLeft, kRight, kHome, kEnd, kPageDown}, {}, L"", 0},
};

class CalendarRules : public ::testing::TestWithParam<Row>, public CalendarEvents {
protected:
    void GridChanged() override {}
    void DateBoxChanged() override {}
    void RaiseChange() override { ++changes; }

    test::FakePlatform platform;
    Calendar cal{platform, *this};
    int changes = 0;
};

TEST_P(CalendarRules, TextAndChangeEvents) {
    const Row& row = GetParam();
    if (row.shown.year) cal.PutDate(velmi::SerialFromCivil(row.shown));
    changes = 0;
    for (const Act act : row.acts) {
        if (act == kPut || act == kEmpty) (void)cal.PutText(act == kPut ? row.text : L"");
        if (act == kType) cal.TypeDateBoxText(row.text);
        if (act == kCommit) cal.CommitDateBox();
        if (act == kPutDate) cal.PutDate(*platform.ReadDate(row.text));
        if (act == kCell) cal.GoToCell(std::stoi(row.text));
        if (act == kYearBack) cal.GoToPreviousYear();
        if (act == kYearOn) cal.GoToNextYear();
        if (act == kMonthBack) cal.GoToPreviousMonth();
        if (act == kMonthOn) cal.GoToNextMonth();
        if (act == kToday) cal.GoToToday();
        if (act >= kLeft) cal.MoveByKey(static_cast<DayKey>(static_cast<int>(act) - kKeyBase));
    }
    EXPECT_EQ(cal.Text(), row.after);
    EXPECT_EQ(changes, row.changes);
    if (!row.yearLabel.empty()) {
        EXPECT_EQ(cal.face().yearLabel, row.yearLabel);
    }
}

INSTANTIATE_TEST_SUITE_P(Calendar, CalendarRules, ::testing::ValuesIn(kRows));

// Today is outlined wherever its month is shown, selected or not, and the
// outline moves with the date the shell gives at midnight.
TEST_F(CalendarRules, TodayOutlinedAndMovedAtMidnight) {
    const auto todayCells = [&] {
        std::vector<int> cells;
        for (int i = 0; i < kDayCount; ++i)
            if (cal.face().days[i].today) cells.push_back(i);
        return cells;
    };
    cal.PutDate(velmi::SerialFromCivil({2026, 12, 9}));  // the 1st, a Tuesday, in cell 2
    EXPECT_EQ(todayCells(), std::vector{6});
    cal.SetToday(velmi::SerialFromCivil({2026, 12, 6}));
    EXPECT_EQ(todayCells(), std::vector{7});
    cal.SetToday(velmi::SerialFromCivil({2027, 1, 1}));
    EXPECT_EQ(todayCells(), std::vector<int>{});
    cal.GoToNextMonth();  // January 2027: the 1st, a Friday, in cell 5
    EXPECT_EQ(todayCells(), std::vector{5});
}

}  // namespace
}  // namespace nuv
