// The calendar's date box change chain over its model, driven by random puts,
// typing, putdate and clicks. After every action: a date box that names a
// date holds its canonical text and the grid shows exactly that date (its
// month's cells, one green cell, the labels), Change came as often as the
// text really changed (never for a put of the text already held), and at
// every Change the box already held its final text. A second mode plays a
// container that acts again from inside its Change handler; there the chain
// must still end, and the box and the cells must still agree.
#include "calendar_model.h"
#include "fuzz_support.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <regex>
#include <string>
#include <vector>

namespace {

using nuv::Calendar;
using nuv::DateSerial;
using nuv::kDayCount;
using velmi::fuzz::Escaped;
using velmi::fuzz::PickText;

// Plain civil arithmetic, written here independently of the date core.
struct Day {
    int year = 0, month = 0, day = 0;
};

int Length(int y, int m) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && (y % 400 == 0 || (y % 4 == 0 && y % 100 != 0)) ? 29 : kDays[m - 1];
}
bool Valid(const Day& d) {
    return d.year >= 100 && d.year <= 9999 && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
           d.day <= Length(d.year, d.month);
}
// Days since 1 January of the year 1.
std::int64_t Ordinal(const Day& d) {
    const std::int64_t y = d.year - 1;
    std::int64_t n = 365 * y + y / 4 - y / 100 + y / 400;
    for (int m = 1; m < d.month; ++m)
        n += Length(d.year, m);
    return n + d.day - 1;
}
DateSerial Serial(const Day& d) {
    return static_cast<DateSerial>(Ordinal(d) - Ordinal({1899, 12, 30}));
}
// Sunday = 1 .. Saturday = 7; day 0 of the serials was a Saturday.
int Weekday(const Day& d) {
    return static_cast<int>((Serial(d) % 7 + 7 + 6) % 7) + 1;
}

const wchar_t* const kMonths[] = {L"January",   L"February", L"March",    L"April",
                                  L"May",       L"June",     L"July",     L"August",
                                  L"September", L"October",  L"November", L"December"};

std::wstring Lower(std::wstring_view s) {
    std::wstring out(s);
    for (wchar_t& c : out)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return out;
}

// A small date reader for the model: "<month name> <day>, <year>" with any
// blanks and at most one comma before the year, and "m-d-y" or "m/d/y".
// Two-digit years fall in 1930 .. 2029.
class FakePlatform final : public nuv::CalendarPlatform {
public:
    Day today{2026, 12, 5};

    std::optional<Day> Read(std::wstring_view text) const {
        static const std::wregex kNamed(
            LR"( *([^ ,/0-9-]+) +([0-9]{1,2})(?: *, *| +)([0-9]{1,4}) *)");
        static const std::wregex kNumeric(LR"( *([0-9]{1,2})([-/])([0-9]{1,2})\2([0-9]{1,4}) *)");
        const std::wstring s(text);
        std::wsmatch m;
        int month = 0;
        std::wstring day, year;
        if (std::regex_match(s, m, kNamed)) {
            for (int i = 0; i < 12; ++i)
                if (Lower(m.str(1)) == Lower(kMonths[i])) month = i + 1;
            day = m.str(2);
            year = m.str(3);
        } else if (std::regex_match(s, m, kNumeric)) {
            month = std::stoi(m.str(1));
            day = m.str(3);
            year = m.str(4);
        }
        if (month == 0) return std::nullopt;
        const int y = std::stoi(year);
        const Day d{year.size() > 2 ? y : y + (y < 30 ? 2000 : 1900), month, std::stoi(day)};
        return Valid(d) ? std::optional(d) : std::nullopt;
    }
    std::wstring Canonical(const Day& d) const {
        return std::wstring(kMonths[d.month - 1]) + L"  " + std::to_wstring(d.day) + L",  " +
               std::to_wstring(d.year);
    }

    std::optional<DateSerial> ReadDate(std::wstring_view text) const override {
        const auto d = Read(text);
        return d ? std::optional(Serial(*d)) : std::nullopt;
    }
    std::wstring MonthName(int month) const override { return kMonths[month - 1]; }
    DateSerial Today() const override { return Serial(today); }
};

Day PickDay(FuzzedDataProvider& in, bool valid) {
    constexpr int kYears[] = {100, 101, 999, 1000, 1899, 1900, 1999, 2000, 2001, 2024, 9998, 9999};
    const int year = in.ConsumeBool() ? kYears[in.ConsumeIntegralInRange(0, 11)]
                                      : in.ConsumeIntegralInRange(100, 9999);
    const int month = in.ConsumeIntegralInRange(1, 12);
    const int last = valid ? Length(year, month) : 32;
    return {year, month, in.ConsumeIntegralInRange(valid ? 1 : 0, last)};
}

// A date written the ways users and containers write them, or nearly so:
// the month's name with any blanks, padding and comma, or numbers with dashes
// or slashes and two or four year digits.
std::wstring WrittenDate(FuzzedDataProvider& in) {
    const Day d = PickDay(in, in.ConsumeIntegralInRange(0, 7) != 0);
    auto blanks = [&](int least) {
        return std::wstring(in.ConsumeIntegralInRange(least, 3), L' ');
    };
    auto number = [&](int n) {
        return (in.ConsumeBool() && n < 10 ? L"0" : L"") + std::to_wstring(n);
    };
    // Braces take the parts in order, so a seed always writes the same text.
    const auto join = [](std::initializer_list<std::wstring> parts) {
        std::wstring s;
        for (const std::wstring& part : parts)
            s += part;
        return s;
    };
    const std::wstring name = kMonths[d.month - 1];
    const std::wstring dash = in.ConsumeBool() ? L"-" : L"/";
    if (in.ConsumeBool()) {
        return join({blanks(0), in.ConsumeBool() ? Lower(name) : name, blanks(1), number(d.day),
                     blanks(0), in.ConsumeIntegralInRange(0, 4) ? L"," : L"", blanks(0),
                     std::to_wstring(d.year), blanks(0)});
    }
    return join({blanks(0), number(d.month), dash, number(d.day), dash,
                 in.ConsumeBool() ? number(d.year % 100) : std::to_wstring(d.year), blanks(0)});
}

// Anything near a date, a written date, the text held, blanks, or the text
// held with one character taken out or put in.
std::wstring PickBoxText(FuzzedDataProvider& in, const Calendar& calendar) {
    const int kind = in.ConsumeIntegralInRange(0, 5);
    if (kind == 0) return PickText(in, L" ,-/0123456789MarchJuneDcmbOtoxa\u00e9", 24);
    if (kind <= 2) return WrittenDate(in);
    if (kind == 4) return std::wstring(in.ConsumeIntegralInRange(0, 3), L' ');
    std::wstring s = calendar.Text();
    if (kind == 3) return s;
    const std::size_t at = in.ConsumeIntegralInRange<std::size_t>(0, s.size());
    if (in.ConsumeBool() && at < s.size()) return s.erase(at, 1);
    return s.insert(at, 1, in.ConsumeBool() ? L' ' : L'1');
}

enum Action { kPut, kType, kPutDate, kCell, kYearBack, kYearOn, kMonthBack, kMonthOn, kToday };

struct Step {
    Action action = kToday;
    std::wstring text;  // put or typed
    Day day;            // putdate
    int index = 0;      // day cell
};

// What the face shows, tracked from the rules the control documents, and
// what the last action raised.
struct Shown {
    std::optional<Day> drawn;  // nothing before the first drawing
    bool yearBlank = true;     // putdate writes " 2001", the month arrows "2001"
    std::wstring box;
    std::size_t changes = 0;
    bool refused = false;
};

class Harness final : public nuv::CalendarEvents {
public:
    Harness(FuzzedDataProvider& in, bool reentrant) : in_(in), reentrant_(reentrant) {}

    FakePlatform platform;
    Calendar calendar{platform, *this};
    std::string log;
    std::vector<std::wstring> raised;  // the box text at each Change
    int actions = 0;                   // the top-level one and those run from inside Change

    Step Pick() {
        Step step;
        step.action = static_cast<Action>(in_.ConsumeIntegralInRange(0, 8));
        if (step.action == kPut || step.action == kType) step.text = PickBoxText(in_, calendar);
        if (step.action == kPutDate) step.day = PickDay(in_, true);
        if (step.action == kCell) step.index = in_.ConsumeIntegralInRange(-2, kDayCount + 1);
        return step;
    }

    // Returns whether a put was refused as no date.
    bool Run(const Step& step) {
        ++actions;
        constexpr const char* kNames[] = {" put ",  " type ",  " putdate ", " day ", " year-",
                                          " year+", " month-", " month+",   " today"};
        const Action a = step.action;
        log += kNames[a] + (a <= kType      ? Escaped(step.text)
                            : a == kPutDate ? std::to_string(Serial(step.day))
                            : a == kCell    ? std::to_string(step.index)
                                            : "");
        if (a == kPut) return calendar.PutText(step.text) == Calendar::PutResult::kInvalidDate;
        if (a == kType) calendar.SetDateBoxText(step.text);
        if (a == kPutDate) calendar.PutDate(Serial(step.day));
        if (a == kCell) calendar.GoToCell(step.index);
        if (a == kYearBack) calendar.GoToPreviousYear();
        if (a == kYearOn) calendar.GoToNextYear();
        if (a == kMonthBack) calendar.GoToPreviousMonth();
        if (a == kMonthOn) calendar.GoToNextMonth();
        if (a == kToday) calendar.GoToToday();
        return false;
    }

    // The documented outcome of a step, with no Change handler acting.
    Shown Predict(const Step& step, const Shown& before) const {
        Shown out{before.drawn, before.yearBlank, before.box};
        auto draw = [&](const Day& d) {
            out = {d, true, platform.Canonical(d)};
            out.changes = out.box == before.box ? 0 : 1;
        };
        auto write = [&](std::wstring text) {
            text.resize(std::min(text.size(), text.find(L'\0')));  // a box ends at a zero
            if (text == before.box) return;
            const auto d = platform.Read(text);
            out.box = text;
            out.changes = 1;
            if (!d) return;
            draw(*d);
            out.changes = platform.Canonical(*d) == text ? 1 : 2;
        };
        const Action a = step.action;
        const std::optional<Day> drawn = before.drawn;
        const bool blank = step.text.find_first_not_of(L' ') == std::wstring::npos;
        out.refused = a == kPut && !blank && !platform.Read(step.text);
        if (a == kPut && !out.refused) write(blank ? L"" : step.text);
        if (a == kType) write(step.text);
        if (a == kPutDate) draw(step.day);
        if (a == kToday) draw(platform.today);
        if (a == kCell && drawn && step.index >= 0 && step.index < kDayCount) {
            const Day cell{drawn->year, drawn->month,
                           step.index - Weekday({drawn->year, drawn->month, 1}) + 2};
            if (Valid(cell)) draw(cell);
        }
        if ((a == kYearBack || a == kYearOn) && drawn) {
            const Day target{drawn->year + (a == kYearOn ? 1 : -1), drawn->month, 1};
            if (Valid(target)) draw(target);
        }
        const auto boxDay = platform.Read(before.box);
        if ((a == kMonthBack || a == kMonthOn) && boxDay) {
            const Day& d = *boxDay;
            const Day target =
                a == kMonthOn ? (d.month < 12 ? Day{d.year, d.month + 1, 1} : Day{d.year + 1, 1, 1})
                : d.month > 1 ? Day{d.year, d.month - 1, Length(d.year, d.month - 1)}
                              : Day{d.year - 1, 12, 31};
            if (Valid(target)) {
                draw(target);
                out.changes = 2;  // "mmmm dd, yyyy" first, then the canonical text
                out.yearBlank = false;
            }
        }
        return out;
    }

    std::string Report() const {
        const nuv::Face& f = calendar.face();
        std::string s = "actions:" + log + "\n  box " + Escaped(f.dateBox) + ", labels " +
                        Escaped(f.monthLabel + L"|" + f.yearLabel) + ", Change at";
        for (const auto& t : raised)
            s += " " + Escaped(t);
        return s;
    }

    // Exactly the month of `d` in the cells, with its day green.
    void CheckCells(const Day& d) const {
        const int wd = Weekday({d.year, d.month, 1});
        const int length = Length(d.year, d.month);
        for (int k = 0; k < kDayCount; ++k) {
            const nuv::DayCell& cell = calendar.face().days[static_cast<std::size_t>(k)];
            const int n = k - wd + 2;
            FUZZ_CHECK(cell.visible == (n >= 1 && n <= length), Report());
            if (!cell.visible) continue;
            FUZZ_CHECK(cell.text == std::to_wstring(n), Report());
            FUZZ_CHECK(cell.green == (n == d.day), Report());
        }
    }

    // The whole face against what the documented rules say it shows.
    void CheckFace(const Shown& shown) const {
        const nuv::Face& face = calendar.face();
        FUZZ_CHECK(face.dateBox == shown.box, Report());
        if (!shown.drawn) return;  // nothing drawn yet: the design state
        CheckCells(*shown.drawn);
        FUZZ_CHECK(face.monthLabel == platform.MonthName(shown.drawn->month), Report());
        const std::wstring year =
            (shown.yearBlank ? L" " : L"") + std::to_wstring(shown.drawn->year);
        FUZZ_CHECK(face.yearLabel == year, Report());
    }

private:
    void GridChanged() override {}
    void DateBoxChanged() override {}
    void RaiseChange() override {
        raised.push_back(calendar.Text());
        // When Change comes for a date, the grid already shows it.
        if (const auto d = platform.Read(calendar.Text())) CheckCells(*d);
        // A container acting again from inside the event, a few levels deep.
        if (reentrant_ && depth_ < 3 && in_.ConsumeIntegralInRange(0, 3) == 0) {
            ++depth_;
            log += " {";
            (void)Run(Pick());
            log += " }";
            --depth_;
        }
    }

    FuzzedDataProvider& in_;
    bool reentrant_;
    int depth_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const bool reentrant = in.ConsumeIntegralInRange(0, 3) == 0;
    Harness h(in, reentrant);
    h.platform.today = PickDay(in, true);

    Shown shown;
    for (int steps = 0; steps < 64 && in.remaining_bytes() > 0; ++steps) {
        h.raised.clear();
        h.actions = 0;
        const Step step = h.Pick();
        const Shown expected = h.Predict(step, shown);
        const bool refused = h.Run(step);

        // The chain always ends, at most two changes per action.
        FUZZ_CHECK(h.raised.size() <= static_cast<std::size_t>(2 * h.actions), h.Report());
        // A box that names a date holds its canonical text, and the cells show it.
        if (const auto d = h.platform.Read(h.calendar.Text())) {
            FUZZ_CHECK(h.calendar.Text() == h.platform.Canonical(*d), h.Report());
            h.CheckCells(*d);
        }
        if (reentrant) continue;  // what a handler did is not foreseen here

        FUZZ_CHECK(refused == expected.refused, h.Report());
        FUZZ_CHECK(h.raised.size() == expected.changes, h.Report());
        for (const std::wstring& text : h.raised)
            FUZZ_CHECK(text == expected.box, h.Report());
        h.CheckFace(expected);
        shown = expected;
    }
    return 0;
}
