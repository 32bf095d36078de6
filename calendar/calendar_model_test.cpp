#include "calendar_model.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace nuv {
namespace {

using velmi::CivilDate;
using velmi::SerialFromCivil;

const wchar_t* const kMonths[] = {L"January",   L"February", L"March",    L"April",
                                  L"May",       L"June",     L"July",     L"August",
                                  L"September", L"October",  L"November", L"December"};

DateSerial Day(int y, int m, int d) {
    return SerialFromCivil({y, m, d});
}

// Reads the few forms these tests write: "<month> <day>, <year>" with any
// blanks, and "mm-dd-yyyy". The platform's own reader is tested under Wine.
class FakePlatform : public CalendarPlatform {
public:
    std::optional<DateSerial> ReadDate(std::wstring_view text) const override {
        std::wstring s(text);
        for (wchar_t& c : s)
            c = (c == L',' || c == L'-') ? L' ' : c;
        std::wistringstream in(s);
        std::wstring first;
        int day = 0, year = 0, month = 0;
        if (!(in >> first)) return std::nullopt;
        for (int m = 0; m < 12; ++m)
            month = first == kMonths[m] ? m + 1 : month;
        if (month == 0) {
            try {
                month = std::stoi(first);
            } catch (...) {
                return std::nullopt;
            }
        }
        std::wstring rest;
        if (!(in >> day >> year) || (in >> rest)) return std::nullopt;
        const CivilDate d{year, month, day};
        if (!velmi::IsValidDate(d)) return std::nullopt;
        return SerialFromCivil(d);
    }
    std::wstring MonthName(int month) const override { return kMonths[month - 1]; }
    DateSerial Today() const override { return today; }
    DateSerial today = Day(2026, 12, 5);
};

struct Raised {
    std::wstring text, monthLabel, yearLabel;
};

class CalendarTest : public ::testing::Test, public CalendarEvents {
protected:
    void GridChanged() override {}
    void DateBoxChanged() override {}
    void RaiseChange() override {
        raised.push_back({cal.Text(), cal.face().monthLabel, cal.face().yearLabel});
    }

    // Shows a date as a container would, then forgets the events it raised.
    void Show(int y, int m, int d) {
        cal.PutDate(Day(y, m, d));
        raised.clear();
    }
    int GreenCell() const {
        for (int i = 0; i < kDayCount; ++i)
            if (cal.face().days[i].visible && cal.face().days[i].green) return i;
        return -1;
    }
    int CellOfDay(int day) const {
        for (int i = 0; i < kDayCount; ++i)
            if (cal.face().days[i].visible && cal.face().days[i].text == std::to_wstring(day))
                return i;
        return -1;
    }

    FakePlatform platform;
    Calendar cal{platform, *this};
    std::vector<Raised> raised;
};

TEST_F(CalendarTest, StartsInItsDesignState) {
    EXPECT_EQ(cal.face().monthLabel, L"Label3");
    EXPECT_EQ(cal.face().yearLabel, L"Year");
    EXPECT_EQ(cal.Text(), L"");
    for (const DayCell& c : cal.face().days) {
        EXPECT_TRUE(c.visible);
        EXPECT_EQ(c.text, L"01");
    }
}

TEST_F(CalendarTest, EveryMonthFrom1900To2100FillsTheGrid) {
    for (int y = 1900; y <= 2100; ++y) {
        for (int m = 1; m <= 12; ++m) {
            const int length = velmi::MonthLength(m, y);
            const int shownDay = 1 + (y * 7 + m) % length;
            cal.PutDate(Day(y, m, shownDay));
            const int wd = velmi::Weekday(Day(y, m, 1));
            for (int i = 0; i < kDayCount; ++i) {
                const DayCell& c = cal.face().days[i];
                const int n = i - wd + 2;
                ASSERT_EQ(c.visible, n >= 1 && n <= length) << y << "-" << m << " cell " << i;
                if (c.visible) {
                    ASSERT_EQ(c.text, std::to_wstring(n));
                    ASSERT_EQ(c.green, n == shownDay);
                }
            }
            ASSERT_EQ(cal.Text(), std::wstring(kMonths[m - 1]) + L"  " + std::to_wstring(shownDay) +
                                      L",  " + std::to_wstring(y));
            ASSERT_EQ(cal.face().yearLabel, L" " + std::to_wstring(y));
        }
    }
}

TEST_F(CalendarTest, HiddenCellsKeepAnEarlierDrawing) {
    Show(2000, 1, 31);  // first day a Saturday: days 1 .. 31 in cells 6 .. 36
    EXPECT_FALSE(cal.face().days[5].visible);
    EXPECT_EQ(cal.face().days[35].text, L"30");
    EXPECT_EQ(cal.face().days[36].text, L"31");
    EXPECT_EQ(GreenCell(), 36);

    Show(1999, 11, 5);  // first day a Monday
    EXPECT_FALSE(cal.face().days[0].visible);
    EXPECT_EQ(cal.face().days[1].text, L"1");
    EXPECT_EQ(cal.face().days[30].text, L"30");
    for (int i = 31; i < kDayCount; ++i)
        EXPECT_FALSE(cal.face().days[i].visible);
    EXPECT_EQ(cal.face().days[36].text, L"31");  // left over from January
    EXPECT_EQ(cal.face().days[31].text, L"26");
    EXPECT_EQ(cal.Text(), L"November  5,  1999");
    EXPECT_EQ(cal.face().yearLabel, L" 1999");

    Show(2015, 2, 1);  // first day a Sunday, 28 days
    EXPECT_TRUE(cal.face().days[0].visible);
    EXPECT_EQ(cal.face().days[0].text, L"1");
    for (int i = 28; i < kDayCount; ++i)
        EXPECT_FALSE(cal.face().days[i].visible);
}

TEST_F(CalendarTest, PutsRaiseChangeAsOftenAsTheTextChanges) {
    Show(2001, 3, 3);
    ASSERT_EQ(cal.PutText(L"11-15-1999"), Calendar::PutResult::kDone);
    ASSERT_EQ(raised.size(), 2u);  // the canonical rewrite is a change of its own
    EXPECT_EQ(raised[0].text, L"November  15,  1999");
    EXPECT_EQ(raised[1].text, L"November  15,  1999");
    EXPECT_EQ(raised[0].monthLabel, L"November");

    raised.clear();
    EXPECT_EQ(cal.PutText(L"November  15,  1999"), Calendar::PutResult::kDone);
    EXPECT_TRUE(raised.empty());

    EXPECT_EQ(cal.PutText(L"March  1,  2000"), Calendar::PutResult::kDone);
    EXPECT_EQ(raised.size(), 1u);
    EXPECT_EQ(cal.face().monthLabel, L"March");

    raised.clear();
    EXPECT_EQ(cal.PutText(L"tomorrow"), Calendar::PutResult::kInvalidDate);
    EXPECT_EQ(cal.Text(), L"March  1,  2000");
    EXPECT_TRUE(raised.empty());

    EXPECT_EQ(cal.PutText(L"   "), Calendar::PutResult::kDone);
    ASSERT_EQ(raised.size(), 1u);
    EXPECT_EQ(raised[0].text, L"");
    EXPECT_EQ(cal.face().monthLabel, L"March");  // the grid is not redrawn
    EXPECT_EQ(GreenCell(), CellOfDay(1));

    raised.clear();
    EXPECT_EQ(cal.PutText(L""), Calendar::PutResult::kDone);  // already empty
    EXPECT_TRUE(raised.empty());
}

TEST_F(CalendarTest, PutDateRaisesOnceAndNothingForTheShownDate) {
    Show(2001, 3, 3);
    cal.PutDate(Day(2001, 3, 4));
    ASSERT_EQ(raised.size(), 1u);
    EXPECT_EQ(raised[0].text, L"March  4,  2001");
    raised.clear();
    cal.PutDate(Day(2001, 3, 4));
    EXPECT_TRUE(raised.empty());
}

TEST_F(CalendarTest, TypingIntoTheDateBox) {
    Show(2001, 3, 3);
    cal.SetDateBoxText(L"Marc");  // not a date: not drawn, still raised
    ASSERT_EQ(raised.size(), 1u);
    EXPECT_EQ(cal.face().monthLabel, L"March");
    cal.SetDateBoxText(L"03-07-2001");  // another form: drawn and rewritten
    EXPECT_EQ(raised.size(), 3u);
    EXPECT_EQ(cal.Text(), L"March  7,  2001");
}

TEST_F(CalendarTest, AZeroCharacterEndsTheDateBoxText) {
    cal.SetDateBoxText(std::wstring(L"March 1, 2000\0x", 15));
    EXPECT_EQ(cal.Text(), L"March  1,  2000");  // drawn from the text before the zero
    EXPECT_EQ(raised.size(), 2u);
}

TEST_F(CalendarTest, DayClicks) {
    Show(2001, 3, 7);
    cal.GoToCell(GreenCell());
    EXPECT_TRUE(raised.empty());
    cal.GoToCell(CellOfDay(20));
    ASSERT_EQ(raised.size(), 1u);
    EXPECT_EQ(raised[0].text, L"March  20,  2001");
    EXPECT_EQ(GreenCell(), CellOfDay(20));
}

TEST_F(CalendarTest, MonthArrowsLandOnTheLastOrFirstDayAndRaiseTwice) {
    struct Case {
        CivilDate shown;
        bool next;
        std::wstring text, monthLabel, yearLabel;
    };
    const Case cases[] = {
        {{2001, 1, 31}, true, L"February  1,  2001", L"February", L"2001"},
        {{2001, 1, 31}, false, L"December  31,  2000", L"December", L"2000"},
        {{2001, 12, 15}, true, L"January  1,  2002", L"January", L"2002"},
        {{2000, 3, 1}, false, L"February  29,  2000", L"February", L"2000"},
        {{2001, 3, 1}, false, L"February  28,  2001", L"February", L"2001"},
        {{2024, 2, 10}, true, L"March  1,  2024", L"March", L"2024"},
    };
    for (const Case& c : cases) {
        Show(c.shown.year, c.shown.month, c.shown.day);
        c.next ? cal.GoToNextMonth() : cal.GoToPreviousMonth();
        ASSERT_EQ(raised.size(), 2u) << c.text;
        for (const Raised& r : raised) {
            EXPECT_EQ(r.text, c.text);
            EXPECT_EQ(r.yearLabel, L" " + c.yearLabel);  // as the drawing wrote it
        }
        EXPECT_EQ(cal.Text(), c.text);
        EXPECT_EQ(cal.face().monthLabel, c.monthLabel);
        EXPECT_EQ(cal.face().yearLabel, c.yearLabel);  // rewritten after both events
    }
}

TEST_F(CalendarTest, YearArrowsGoToTheFirstOfTheShownMonth) {
    Show(2000, 2, 29);
    cal.GoToPreviousYear();
    EXPECT_EQ(cal.Text(), L"February  1,  1999");
    EXPECT_EQ(raised.size(), 1u);
    Show(2000, 2, 29);
    cal.GoToNextYear();
    EXPECT_EQ(cal.Text(), L"February  1,  2001");
    Show(2001, 3, 15);
    cal.GoToNextYear();
    EXPECT_EQ(cal.Text(), L"March  1,  2002");

    // After a month arrow the year label has no leading blank; it still reads.
    Show(2001, 3, 15);
    cal.GoToNextMonth();
    raised.clear();
    cal.GoToPreviousYear();
    EXPECT_EQ(cal.Text(), L"April  1,  2000");
    EXPECT_EQ(raised.size(), 1u);
}

TEST_F(CalendarTest, BeforeAnyDateOnlyTheFrameWorks) {
    cal.GoToCell(3);
    cal.GoToPreviousYear();
    cal.GoToNextYear();
    cal.GoToPreviousMonth();
    cal.GoToNextMonth();
    EXPECT_TRUE(raised.empty());
    EXPECT_EQ(cal.Text(), L"");
    cal.GoToToday();
    ASSERT_EQ(raised.size(), 1u);
    EXPECT_EQ(raised[0].text, L"December  5,  2026");
    raised.clear();
    cal.GoToToday();  // today already shown
    EXPECT_TRUE(raised.empty());
}

TEST_F(CalendarTest, AfterEmptyingTheTextOnlyMonthArrowsStop) {
    Show(2001, 3, 15);
    ASSERT_EQ(cal.PutText(L""), Calendar::PutResult::kDone);
    raised.clear();
    cal.GoToPreviousMonth();
    cal.GoToNextMonth();
    EXPECT_TRUE(raised.empty());
    cal.GoToNextYear();
    EXPECT_EQ(cal.Text(), L"March  1,  2002");
    ASSERT_EQ(cal.PutText(L""), Calendar::PutResult::kDone);
    cal.GoToCell(CellOfDay(9));
    EXPECT_EQ(cal.Text(), L"March  9,  2002");
}

TEST_F(CalendarTest, ArrowsStopAtTheEndsOfTheDateRange) {
    Show(9999, 12, 15);
    cal.GoToNextMonth();
    cal.GoToNextYear();
    EXPECT_TRUE(raised.empty());
    EXPECT_EQ(cal.Text(), L"December  15,  9999");
    cal.GoToPreviousMonth();
    EXPECT_EQ(cal.Text(), L"November  30,  9999");

    Show(100, 1, 15);
    cal.GoToPreviousMonth();
    cal.GoToPreviousYear();
    EXPECT_TRUE(raised.empty());
    cal.GoToNextMonth();
    EXPECT_EQ(cal.Text(), L"February  1,  100");
}

}  // namespace
}  // namespace nuv
