// The user's navigation on the hosted control: clicks on the arrows, the day
// cells and the frame, counted through a real Change sink and read back from
// the control's text, its labels and the pixels of its cells.
#include "control_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace nuv::test {
namespace {

constexpr int kPreviousYear = kArrowIdBase;
constexpr int kNextYear = kArrowIdBase + 1;
constexpr int kPreviousMonth = kArrowIdBase + 2;
constexpr int kNextMonth = kArrowIdBase + 3;

const wchar_t* const kMonths[] = {L"January",   L"February", L"March",    L"April",
                                  L"May",       L"June",     L"July",     L"August",
                                  L"September", L"October",  L"November", L"December"};

using Texts = std::vector<std::wstring>;

std::wstring Canonical(int year, int month, int day) {
    return std::wstring(kMonths[month - 1]) + L"  " + std::to_wstring(day) + L",  " +
           std::to_wstring(year);
}

SYSTEMTIME TodayNow() {
    SYSTEMTIME st{};
    GetLocalTime(&st);
    return st;
}

std::wstring TodayText() {
    const SYSTEMTIME st = TodayNow();
    return Canonical(st.wYear, st.wMonth, st.wDay);
}

// Weekday of the first of a month (Sunday 0), from the platform's calendar.
int FirstWeekday(int year, int month) {
    SYSTEMTIME st{};
    VariantTimeToSystemTime(Date(year, month, 1), &st);
    return st.wDayOfWeek;
}

int DaysIn(int year, int month) {
    if (month == 12) return 31;
    return static_cast<int>(Date(year, month + 1, 1) - Date(year, month, 1));
}

int CellOf(int year, int month, int day) {
    return FirstWeekday(year, month) + day - 1;
}

// Pixels at 96 dpi (15 twips a pixel) in the frame, which fills the surface.
POINT FramePoint(int twipsX, int twipsY) {
    return {twipsX / 15, twipsY / 15};
}

class Navigation : public ::testing::Test {
protected:
    void SetUp() override { sink.Advise(); }
    void TearDown() override { sink.Unadvise(); }

    // Shows a date as a container would, then forgets its events.
    void Show(int year, int month, int day) {
        PutDate(host.Control(), Date(year, month, day));
        Pump();
        sink.Clear();
    }
    void ClickPart(int id) { Click(host.Part(id)); }
    void ClickDay(int year, int month, int day) { Click(host.Day(CellOf(year, month, day))); }
    void TypeIntoDateBox(const std::wstring& text) {
        HWND box = host.Part(kDateBoxId);
        SetFocus(box);
        SendMessageW(box, EM_SETSEL, 0, -1);
        SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
        Pump();
    }
    [[nodiscard]] std::wstring Text() const { return GetText(host.Control()); }

    // The grid, the month label, the green cell and the text all show the date.
    void ExpectShown(int year, int month, int day) {
        SCOPED_TRACE(Canonical(year, month, day));
        const int first = FirstWeekday(year, month);
        const int length = DaysIn(year, month);
        for (int i = 0; i < kDayCount; ++i) {
            const int n = i - first + 1;
            const bool inMonth = n >= 1 && n <= length;
            EXPECT_EQ(IsWindowVisible(host.Day(i)) != FALSE, inMonth) << "cell " << i;
            if (inMonth) {
                EXPECT_EQ(host.Text(kDayIdBase + i), std::to_wstring(n)) << "cell " << i;
            }
        }
        EXPECT_EQ(GreenCell(host), CellOf(year, month, day));
        EXPECT_EQ(host.Text(kMonthLabelId), kMonths[month - 1]);
        EXPECT_EQ(Text(), Canonical(year, month, day));
        EXPECT_EQ(host.Text(kDateBoxId), Canonical(year, month, day));
    }

    AtlHost host;
    ChangeSink sink{host.Control()};
};

TEST_F(Navigation, ChangeComesOnceTwiceOrNeverAsTheActionDemands) {
    const SYSTEMTIME today = TodayNow();
    const POINT frameCorner = FramePoint(60, 60);  // left of the upper arrows
    struct Row {
        const char* action;
        std::function<void()> act;
        Texts raised;
    };
    const Row rows[] = {
        {"another day cell", [&] { ClickDay(2001, 3, 20); }, {Canonical(2001, 3, 20)}},
        {"the shown day's cell", [&] { ClickDay(2001, 3, 7); }, {}},
        {"year arrow", [&] { ClickPart(kPreviousYear); }, {Canonical(2000, 3, 1)}},
        {"month arrow",
         [&] { ClickPart(kNextMonth); },
         {Canonical(2001, 4, 1), Canonical(2001, 4, 1)}},
        {"frame, today not shown",
         [&] { ClickAt(host.Part(kFrameId), frameCorner); },
         {TodayText()}},
        {"frame, today shown",
         [&] {
             Show(today.wYear, today.wMonth, today.wDay);
             ClickAt(host.Part(kFrameId), frameCorner);
         },
         {}},
        {"date box typed to no date",
         [&] {
             HWND box = host.Part(kDateBoxId);
             SendMessageW(box, EM_SETSEL, 0, 0);
             SendMessageW(box, WM_CHAR, L'x', 0);
         },
         {L"xMarch  7,  2001"}},
        {"date box emptied through text", [&] { PutText(host.Control(), L" "); }, {L""}},
        {"date box given a canonical text",
         [&] { TypeIntoDateBox(Canonical(2001, 3, 9)); },
         {Canonical(2001, 3, 9)}},
        {"date box given another form",
         [&] { TypeIntoDateBox(L"03-09-2001"); },
         {Canonical(2001, 3, 9), Canonical(2001, 3, 9)}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.action);
        Show(2001, 3, 7);
        row.act();
        EXPECT_EQ(sink.texts, row.raised);
    }

    // A text that is no date is announced but not drawn.
    Show(2001, 3, 7);
    PutText(host.Control(), L"");
    EXPECT_EQ(host.Text(kMonthLabelId), L"March");
    EXPECT_EQ(host.Text(kYearLabelId), L" 2001");
    EXPECT_EQ(GreenCell(host), CellOf(2001, 3, 7));
}

TEST_F(Navigation, ArrowsLandOnTheFirstOrTheLastDayOfAMonth) {
    struct Case {
        int year, month, day;
        int arrow;
        int toYear, toMonth, toDay;
    };
    const Case cases[] = {
        {2001, 1, 31, kNextMonth, 2001, 2, 1},     {2001, 1, 31, kPreviousMonth, 2000, 12, 31},
        {2001, 12, 15, kNextMonth, 2002, 1, 1},    {2000, 3, 1, kPreviousMonth, 2000, 2, 29},
        {2001, 3, 1, kPreviousMonth, 2001, 2, 28}, {2024, 2, 10, kNextMonth, 2024, 3, 1},
        {2000, 2, 29, kPreviousYear, 1999, 2, 1},  {2000, 2, 29, kNextYear, 2001, 2, 1},
        {2001, 3, 15, kNextYear, 2002, 3, 1},      {2001, 3, 15, kPreviousYear, 2000, 3, 1},
    };
    for (const Case& c : cases) {
        const bool monthArrow = c.arrow == kPreviousMonth || c.arrow == kNextMonth;
        SCOPED_TRACE(Canonical(c.year, c.month, c.day) + L" to " +
                     Canonical(c.toYear, c.toMonth, c.toDay));
        Show(c.year, c.month, c.day);
        ClickPart(c.arrow);
        EXPECT_EQ(sink.texts, Texts(monthArrow ? 2 : 1, Canonical(c.toYear, c.toMonth, c.toDay)));
        ExpectShown(c.toYear, c.toMonth, c.toDay);
        // A month arrow writes the year once more, without the leading blank.
        EXPECT_EQ(host.Text(kYearLabelId), (monthArrow ? L"" : L" ") + std::to_wstring(c.toYear));
    }
}

TEST_F(Navigation, DayCellsSelectAndTheSpaceBetweenThemIsTheFrame) {
    Show(2001, 3, 7);
    ClickDay(2001, 3, 7);
    EXPECT_EQ(sink.Count(), 0u);
    ClickDay(2001, 3, 31);
    EXPECT_EQ(sink.texts, Texts{Canonical(2001, 3, 31)});
    ExpectShown(2001, 3, 31);

    // Between two cells of a row the click falls on the frame: today.
    sink.Clear();
    const TwipRect sunday = DayRect(7), monday = DayRect(8);
    ClickAt(host.Part(kFrameId),
            FramePoint((sunday.left + sunday.width + monday.left) / 2, sunday.top + 120));
    EXPECT_EQ(sink.texts, Texts{TodayText()});
    const SYSTEMTIME today = TodayNow();
    ExpectShown(today.wYear, today.wMonth, today.wDay);
}

TEST_F(Navigation, BeforeAnyDateOnlyTheFrameWorks) {
    for (int arrow = kPreviousYear; arrow <= kNextMonth; ++arrow)
        ClickPart(arrow);
    for (int cell : {0, 17, 36})
        Click(host.Day(cell));
    EXPECT_EQ(sink.Count(), 0u);
    EXPECT_EQ(Text(), L"");
    EXPECT_EQ(host.Text(kMonthLabelId), L"Label3");
    EXPECT_EQ(host.Text(kYearLabelId), L"Year");

    ClickPart(kFrameId);
    EXPECT_EQ(sink.texts, Texts{TodayText()});
    sink.Clear();
    ClickPart(kFrameId);
    EXPECT_EQ(sink.Count(), 0u);
}

TEST_F(Navigation, WithoutADateInTheBoxOnlyTheMonthArrowsStop) {
    Show(2001, 3, 15);
    PutText(host.Control(), L"");
    ClickPart(kPreviousMonth);
    ClickPart(kNextMonth);
    EXPECT_EQ(sink.texts, Texts{L""});
    EXPECT_EQ(host.Text(kMonthLabelId), L"March");

    sink.Clear();
    ClickPart(kNextYear);
    EXPECT_EQ(sink.texts, Texts{Canonical(2002, 3, 1)});
    PutText(host.Control(), L"");
    ClickDay(2002, 3, 9);
    ExpectShown(2002, 3, 9);

    // The year label without its blank, as a month arrow leaves it, reads too.
    ClickPart(kNextMonth);
    PutText(host.Control(), L"");
    sink.Clear();
    ClickDay(2002, 4, 9);
    EXPECT_EQ(sink.texts, Texts{Canonical(2002, 4, 9)});
    PutText(host.Control(), L"");
    ClickPart(kPreviousYear);
    ExpectShown(2001, 4, 1);
}

// The platform reads three-digit years as written ("March 5, 999" is the
// year 999), but two-digit ones as this century's: year 99 must never be
// written, or it would read back as 1999.
TEST_F(Navigation, ArrowsStopAtTheEndsOfTheDateRange) {
    Show(9999, 12, 15);
    ClickPart(kNextMonth);
    ClickPart(kNextYear);
    EXPECT_EQ(sink.Count(), 0u);
    ExpectShown(9999, 12, 15);
    ClickPart(kPreviousMonth);
    ExpectShown(9999, 11, 30);
    ClickPart(kNextYear);  // from the year label as a month arrow wrote it
    ClickPart(kNextMonth);
    ClickDay(9999, 12, 31);
    sink.Clear();
    ClickPart(kNextMonth);
    ClickPart(kNextYear);
    EXPECT_EQ(sink.Count(), 0u);
    ExpectShown(9999, 12, 31);

    Show(100, 1, 15);
    ClickPart(kPreviousMonth);
    ClickPart(kPreviousYear);
    EXPECT_EQ(sink.Count(), 0u);
    ExpectShown(100, 1, 15);
    ClickPart(kNextMonth);
    EXPECT_EQ(sink.texts, (Texts{Canonical(100, 2, 1), Canonical(100, 2, 1)}));
    EXPECT_EQ(host.Text(kYearLabelId), L"100");
    ClickPart(kPreviousYear);
    ClickPart(kPreviousMonth);
    ClickDay(100, 1, 1);
    sink.Clear();
    ClickPart(kPreviousMonth);
    ClickPart(kPreviousYear);
    EXPECT_EQ(sink.Count(), 0u);
    ExpectShown(100, 1, 1);

    // Across the step from three to four digits, both ways.
    Show(999, 12, 15);
    ClickPart(kNextMonth);
    ExpectShown(1000, 1, 1);
    ClickPart(kPreviousYear);
    ExpectShown(999, 1, 1);
    ClickDay(999, 1, 20);
    ExpectShown(999, 1, 20);
}

// What a container sees from inside its Change handler.
struct Seen {
    std::wstring box, month, year;
    int green;
    bool operator==(const Seen&) const = default;
    friend void PrintTo(const Seen& s, std::ostream* out) {
        *out << ::testing::PrintToString(s.box) << " " << ::testing::PrintToString(s.month) << " "
             << ::testing::PrintToString(s.year) << " green " << s.green;
    }
};

TEST_F(Navigation, TheContainerSeesTheNewDateInsideChange) {
    std::vector<Seen> seen;
    sink.onChange = [&] {
        seen.push_back({host.Text(kDateBoxId), host.Text(kMonthLabelId), host.Text(kYearLabelId),
                        GreenCell(host)});
    };
    Show(2001, 1, 31);
    seen.clear();
    ClickPart(kPreviousMonth);
    const Seen december{Canonical(2000, 12, 31), L"December", L" 2000", CellOf(2000, 12, 31)};
    EXPECT_EQ(seen, (std::vector<Seen>{december, december}));
    EXPECT_EQ(host.Text(kYearLabelId), L"2000");  // the blank goes after both events

    seen.clear();
    ClickDay(2000, 12, 5);
    EXPECT_EQ(
        seen,
        (std::vector<Seen>{{Canonical(2000, 12, 5), L"December", L" 2000", CellOf(2000, 12, 5)}}));
    seen.clear();
    ClickPart(kNextYear);
    EXPECT_EQ(
        seen,
        (std::vector<Seen>{{Canonical(2001, 12, 1), L"December", L" 2001", CellOf(2001, 12, 1)}}));
}

// Real input, hit-tested by the window system: a label that let clicks
// through to the frame would jump to today.
TEST_F(Navigation, RealClicksOnLabelsDoNothingAndOnCellsAndArrowsNavigate) {
    BringToFront(host.Top());
    Show(2001, 3, 7);
    std::vector<int> labels{kYearLabelId, kMonthLabelId};
    for (int i = 0; i < 7; ++i)
        labels.push_back(kWeekdayIdBase + i);
    for (int id : labels) {
        const POINT at = ScreenCentre(host.Part(id));
        EXPECT_EQ(WindowFromPoint(at), host.Part(id)) << id;
        ASSERT_TRUE(RealClick(at));
    }
    EXPECT_EQ(sink.Count(), 0u);
    ExpectShown(2001, 3, 7);

    ASSERT_TRUE(RealClick(ScreenCentre(host.Day(CellOf(2001, 3, 20)))));
    EXPECT_EQ(sink.texts, Texts{Canonical(2001, 3, 20)});
    // Two quick clicks on an arrow are two clicks, not a double-click.
    sink.Clear();
    ASSERT_TRUE(RealClick(ScreenCentre(host.Part(kNextMonth))));
    ASSERT_TRUE(RealClick(ScreenCentre(host.Part(kNextMonth))));
    EXPECT_EQ(sink.Count(), 4u);
    ASSERT_TRUE(RealClick(ScreenCentre(host.Day(CellOf(2001, 5, 17)))));
    ExpectShown(2001, 5, 17);
    SaveScreenshot(host.Top(), L"navigation_may_17_2001");

    // 1 May 2001 was a Tuesday: cell 1 is hidden and its place is the
    // frame's. (Most of hidden cell 0 lies under the tall Sunday initial.)
    sink.Clear();
    ASSERT_FALSE(IsWindowVisible(host.Day(1)));
    const POINT hidden = ScreenCentre(host.Day(1));
    ASSERT_EQ(WindowFromPoint(hidden), host.Part(kFrameId));
    ASSERT_TRUE(RealClick(hidden));
    EXPECT_EQ(sink.texts, Texts{TodayText()});
}

}  // namespace
}  // namespace nuv::test
