// The calendar's date box change chain over its model, driven by random puts,
// typing, commits, putdate and clicks. After every action: a date box that
// names a date holds its canonical text and the grid shows exactly that date
// (its month's cells, one green cell, the labels), or it holds exactly what
// was typed; a commit leaves a date or changes nothing; Change came only when the
// text really changed (never for a write of the text already held), at
// every Change the box already held its final text, and an arrow went to a
// date or, at the ends of the date range, nowhere. A second mode plays a
// container that acts again from inside its Change handler; there the chain
// must still end, and the box and the cells must still agree.
#include "calendar_fixture.h"
#include "fuzz_support.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace {

using nuv::Calendar;
using nuv::kDayCount;
using nuv::test::kMonths;
using velmi::CivilDate;
using velmi::fuzz::Escaped;

int Length(const CivilDate& d) {
    return velmi::MonthLength(d.month, d.year);
}

CivilDate PickDay(FuzzedDataProvider& in, bool valid) {
    constexpr int kYears[] = {100, 101, 999, 1000, 1899, 1900, 1999, 2000, 2001, 2024, 9998, 9999};
    CivilDate d{in.ConsumeBool() ? kYears[in.ConsumeIntegralInRange(0, 11)]
                                 : in.ConsumeIntegralInRange(100, 9999),
                in.ConsumeIntegralInRange(1, 12)};
    d.day = in.ConsumeIntegralInRange(valid ? 1 : 0, valid ? Length(d) : 32);
    return d;
}

// A date written the ways users and containers write it, or nearly so: the
// month's name in either case, any blanks and padding, a comma or none. Each
// part is taken in turn, so a seed always writes the same text.
std::wstring WrittenDate(FuzzedDataProvider& in) {
    const CivilDate d = PickDay(in, in.ConsumeIntegralInRange(0, 7) != 0);
    std::wstring s(in.ConsumeIntegralInRange(0, 3), L' ');
    s += in.ConsumeBool() ? nuv::test::Lower(kMonths[d.month - 1]) : kMonths[d.month - 1];
    s.append(in.ConsumeIntegralInRange(1, 3), L' ');
    s += (in.ConsumeBool() && d.day < 10 ? L"0" : L"") + std::to_wstring(d.day);
    s.append(in.ConsumeIntegralInRange(0, 3), L' ');
    s += in.ConsumeIntegralInRange(0, 4) ? L"," : L"";
    return s.append(in.ConsumeIntegralInRange(0, 3), L' ') + std::to_wstring(d.year);
}

// Anything near a date, a written date, the text held, blanks, or the text
// held with one character taken out or put in.
std::wstring PickBoxText(FuzzedDataProvider& in, const Calendar& calendar) {
    const int kind = in.ConsumeIntegralInRange(0, 5);
    if (kind == 0) return velmi::fuzz::PickText(in, L" ,0123456789MarchJuneDcmbOtoxa\u00e9", 24);
    if (kind <= 2) return WrittenDate(in);
    if (kind == 4) return std::wstring(in.ConsumeIntegralInRange(0, 3), L' ');
    std::wstring s = calendar.Text();
    if (kind == 3) return s;
    const std::size_t at = in.ConsumeIntegralInRange<std::size_t>(0, s.size());
    if (in.ConsumeBool() && at < s.size()) return s.erase(at, 1);
    return s.insert(at, 1, in.ConsumeBool() ? L' ' : L'1');
}

// clang-format off
enum Action { kPut, kType, kCommit, kPutDate, kCell, kYearBack, kYearOn, kMonthBack, kMonthOn,
              kToday, kKey, kMark };
// clang-format on

class Harness final : public nuv::CalendarEvents {
public:
    Harness(FuzzedDataProvider& in, bool reentrant) : in_(in), reentrant_(reentrant) {}

    nuv::test::FakePlatform platform;
    Calendar calendar{platform, *this};
    std::string log;
    std::vector<std::wstring> raised;  // the box text at each Change
    int actions = 0;                   // the top-level one and those run from inside Change
    std::set<int> marks;               // the days marked and not unmarked since
    bool boxTyped = false;             // the box's last write was typing
    Action action = kToday;            // the last action picked, and the text it put or typed
    std::wstring text;

    // Picks an action and runs it; returns whether a put was refused as no date.
    bool Act() {
        ++actions;
        constexpr const char* kNames[] = {" put ",   " type ", " commit", " putdate ",
                                          " day ",   " year-", " year+",  " month-",
                                          " month+", " today", " key ",   " mark "};
        const Action a = action = static_cast<Action>(in_.ConsumeIntegralInRange(0, 11));
        log += kNames[a];
        if (a == kPut || a == kType) log += Escaped(text = PickBoxText(in_, calendar));
        if (a == kPut) return calendar.PutText(text) == Calendar::PutResult::kInvalidDate;
        const bool outer = typing_;
        typing_ = a == kType;
        if (a == kType) calendar.TypeDateBoxText(text);
        typing_ = outer;
        if (a == kCommit) calendar.CommitDateBox();
        const int number = a == kPutDate || a == kMark ? velmi::SerialFromCivil(PickDay(in_, true))
                           : a == kCell ? in_.ConsumeIntegralInRange(-2, kDayCount + 1)
                           : a == kKey  ? in_.ConsumeIntegralInRange(0, 9)
                                        : 0;
        if (a == kPutDate || a == kCell || a >= kKey) log += std::to_string(number);
        if (a == kKey) calendar.MoveByKey(static_cast<nuv::DayKey>(number));
        if (a == kMark && in_.ConsumeBool()) {
            calendar.MarkDay(number, true);
            marks.insert(number);
        } else if (a == kMark) {
            calendar.MarkDay(number, false);
            marks.erase(number);
        }
        if (a == kPutDate) calendar.PutDate(number);
        if (a == kCell) calendar.GoToCell(number);
        if (a == kYearBack) calendar.GoToPreviousYear();
        if (a == kYearOn) calendar.GoToNextYear();
        if (a == kMonthBack) calendar.GoToPreviousMonth();
        if (a == kMonthOn) calendar.GoToNextMonth();
        if (a == kToday) calendar.GoToToday();
        return false;
    }

    std::string Report() const { return "actions:" + log + "\n  box " + Escaped(calendar.Text()); }

    // Exactly the month of `d` in the cells, from the 1st's weekday (Sunday's
    // is cell 0), with its day green; and the labels.
    void CheckFace(const CivilDate& d, bool labels = false) const {
        const nuv::Face& face = calendar.face();
        const int first = velmi::Weekday(velmi::SerialFromCivil({d.year, d.month, 1})) - 1;
        for (int k = 0; k < kDayCount; ++k) {
            const nuv::DayCell& cell = face.days[static_cast<std::size_t>(k)];
            const int n = k - first + 1;
            FUZZ_CHECK(cell.visible == (n >= 1 && n <= Length(d)), Report());
            FUZZ_CHECK(!cell.visible || cell.text == std::to_wstring(n), Report());
            FUZZ_CHECK(!cell.visible || cell.green == (n == d.day), Report());
            // Marked exactly as the marks say, whichever way the month came.
            const int day = velmi::SerialFromCivil({d.year, d.month, 1}) + n - 1;
            FUZZ_CHECK(!cell.visible || cell.marked == marks.contains(day), Report());
        }
        if (!labels) return;
        FUZZ_CHECK(face.monthLabel == kMonths[d.month - 1], Report());
        const std::wstring year = std::to_wstring(d.year);  // after a blank or not
        FUZZ_CHECK(face.yearLabel == year || face.yearLabel == L" " + year, Report());
    }

private:
    void GridChanged() override {}
    void DateBoxChanged() override { boxTyped = typing_; }
    void RaiseChange() override {
        raised.push_back(calendar.Text());
        // When Change comes for a date, the grid already shows it, unless
        // the date was typed: typing waits for the commit.
        if (const auto d = platform.Read(calendar.Text()); d && !boxTyped) CheckFace(*d);
        // A container acting again from inside the event, a few levels deep.
        if (reentrant_ && depth_ < 3 && in_.ConsumeIntegralInRange(0, 3) == 0) {
            ++depth_;
            log += " {";
            (void)Act();
            log += " }";
            --depth_;
        }
    }

    FuzzedDataProvider& in_;
    bool reentrant_;
    int depth_ = 0;
    bool typing_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const bool reentrant = in.ConsumeIntegralInRange(0, 3) == 0;
    Harness h(in, reentrant);
    h.platform.today = PickDay(in, true);

    for (int steps = 0; steps < 64 && in.remaining_bytes() > 0; ++steps) {
        h.raised.clear();
        h.actions = 0;
        const std::wstring before = h.calendar.Text();
        const bool drawn = nuv::SelectedCellOf(h.calendar.face()) >= 0;
        const bool refused = h.Act();
        const std::wstring& after = h.calendar.Text();

        // The chain always ends, at most two changes per action.
        FUZZ_CHECK(h.raised.size() <= static_cast<std::size_t>(2 * h.actions), h.Report());
        // A box that names a date holds its canonical text and the face
        // shows it, unless the user typed it.
        FUZZ_CHECK(after.find(L'\0') == std::wstring::npos, h.Report());
        if (const auto d = h.platform.Read(after)) {
            FUZZ_CHECK(h.boxTyped || after == std::wstring(kMonths[d->month - 1]) + L"  " +
                                                  std::to_wstring(d->day) + L",  " +
                                                  std::to_wstring(d->year),
                       h.Report());
            if (!h.boxTyped) h.CheckFace(*d, !reentrant);  // a handler may act between writes
        }
        if (reentrant) continue;  // what a handler did is not foreseen here

        // Change only for a real change of the text, and at each one the box
        // already held its final text. Writing the text held raises nothing.
        const bool writes = h.action == kPut || h.action == kType;
        std::wstring written = h.text.substr(0, h.text.find(L'\0'));
        if (h.action == kPut && h.text.find_first_not_of(L' ') == std::wstring::npos)
            written.clear();  // a put of blanks empties the box
        FUZZ_CHECK(h.raised.empty() == (writes ? refused || written == before : after == before),
                   h.Report());
        FUZZ_CHECK(!refused || after == before, h.Report());
        // An arrow goes to a date or, at the ends of the range, nowhere.
        const bool arrow = h.action >= kYearBack && h.action <= kMonthOn;
        FUZZ_CHECK(!arrow || after == before || h.platform.Read(after), h.Report());
        // Typing keeps the text; a commit leaves a date, or the text as it was.
        FUZZ_CHECK(h.action != kType || after == written, h.Report());
        FUZZ_CHECK(h.action != kCommit || h.platform.Read(after) || (!drawn && after == before),
                   h.Report());
        for (const std::wstring& text : h.raised)
            FUZZ_CHECK(text == after, h.Report());
    }
    return 0;
}
