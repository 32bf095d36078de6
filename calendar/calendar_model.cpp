#include "calendar_model.h"

#include <algorithm>
#include <cwctype>

namespace nuv {
namespace {

using velmi::CivilDate;
using velmi::CivilFromSerial;
using velmi::SerialFromCivil;

std::wstring_view TrimBlanks(std::wstring_view s) {
    const auto first = s.find_first_not_of(L' ');
    if (first == std::wstring_view::npos) return {};
    return s.substr(first, s.find_last_not_of(L' ') - first + 1);
}

// The number a label starts with, leading blanks skipped ("  2001" gives 2001).
std::optional<long> LeadingNumber(std::wstring_view s) {
    s = s.substr(std::min(s.size(), s.find_first_not_of(L' ')));
    long value = 0;
    size_t digits = 0;
    for (; digits < s.size() && std::iswdigit(s[digits]) && digits < 9; ++digits) {
        value = value * 10 + (s[digits] - L'0');
    }
    if (digits == 0) return std::nullopt;
    return value;
}

std::wstring LongDateText(std::wstring_view monthName, const CivilDate& d) {
    std::wstring text(monthName);
    text += d.day < 10 ? L" 0" : L" ";
    text += std::to_wstring(d.day) + L", " + std::to_wstring(d.year);
    return text;
}

}  // namespace

std::optional<DateSerial> DayAfterKey(DateSerial selected, DayKey key) {
    const CivilDate d = CivilFromSerial(selected);
    // The same day of a month some months away, or that month's last day.
    const auto monthsOn = [&](int months) -> std::optional<DateSerial> {
        const int index = d.year * 12 + (d.month - 1) + months;
        CivilDate t{index / 12, index % 12 + 1, 1};
        t.day = std::min(d.day, velmi::MonthLength(t.month, t.year));
        if (!velmi::IsValidDate(t)) return std::nullopt;
        return SerialFromCivil(t);
    };
    const auto daysOn = [&](std::int64_t days) -> std::optional<DateSerial> {
        const std::int64_t target = std::int64_t{selected} + days;
        if (!velmi::IsSerialInRange(target)) return std::nullopt;
        return static_cast<DateSerial>(target);
    };
    switch (key) {
        case DayKey::kPreviousDay:
            return daysOn(-1);
        case DayKey::kNextDay:
            return daysOn(1);
        case DayKey::kPreviousWeek:
            return daysOn(-7);
        case DayKey::kNextWeek:
            return daysOn(7);
        case DayKey::kPreviousMonth:
            return monthsOn(-1);
        case DayKey::kNextMonth:
            return monthsOn(1);
        case DayKey::kPreviousYear:
            return monthsOn(-12);
        case DayKey::kNextYear:
            return monthsOn(12);
        case DayKey::kFirstOfMonth:
            return daysOn(1 - d.day);
        case DayKey::kLastOfMonth:
            return daysOn(velmi::MonthLength(d.month, d.year) - d.day);
    }
    return std::nullopt;
}

Calendar::PutResult Calendar::PutText(std::wstring_view value) {
    if (value.size() > kMaxTextLength) return PutResult::kInvalidDate;
    const std::wstring copy(value);  // the box may be rewritten while we look at it
    if (TrimBlanks(copy).empty()) {
        SetDateBoxText(L"");
    } else if (platform_.ReadDate(copy)) {
        SetDateBoxText(copy);
    } else {
        return PutResult::kInvalidDate;
    }
    return PutResult::kDone;
}

void Calendar::PutDate(DateSerial day) {
    const CivilDate d = CivilFromSerial(day);
    DrawMonth(d);
    // Built from the labels as just written: "November" "  5" ",  1999".
    SetDateBoxText(face_.monthLabel + L"  " + std::to_wstring(d.day) + L", " + face_.yearLabel);
}

void Calendar::DrawMonth(const CivilDate& d) {
    face_.yearLabel = L" " + std::to_wstring(d.year);
    face_.monthLabel = platform_.MonthName(d.month);

    monthStart_ = SerialFromCivil({d.year, d.month, 1});
    const int wd = velmi::Weekday(*monthStart_);
    firstCell_ = wd - 1;
    // Leading cells are only hidden; they keep an earlier drawing's text and colour.
    for (int i = 0; i <= wd - 2; ++i)
        face_.days[i].visible = false;

    const int length = velmi::MonthLength(d.month, d.year);
    for (int k = wd - 1; k < kDayCount; ++k) {
        const int n = k - wd + 2;
        DayCell& cell = face_.days[k];
        cell.visible = n <= length;
        if (cell.visible) cell.text = std::to_wstring(n);
        cell.green = n == d.day;
        cell.marked = cell.visible && marks_.contains(*monthStart_ + n - 1);
        cell.today = cell.visible && *monthStart_ + n - 1 == today_;
    }
    events_.GridChanged();
}

bool Calendar::StoreDateBoxText(std::wstring_view text) {
    // A text box holds no zero character: the text ends there, with or
    // without a window to show it. Nor more than the limit.
    text = text.substr(0, std::min(text.find(L'\0'), kMaxTextLength));
    // Writing the text the box already holds is no change; the redraw chain
    // of a put ends only because of this.
    if (text == face_.dateBox) return false;
    face_.dateBox = text;
    events_.DateBoxChanged();
    return true;
}

void Calendar::SetDateBoxText(std::wstring_view text) {
    if (StoreDateBoxText(text)) OnDateBoxChanged();
}

void Calendar::TypeDateBoxText(std::wstring_view text) {
    if (StoreDateBoxText(text)) events_.RaiseChange();
}

void Calendar::CommitDateBox() {
    auto day = platform_.ReadDate(face_.dateBox);
    if (const int cell = SelectedCellOf(face_); !day && cell >= 0) day = DateOfCell(cell);
    if (day) PutDate(*day);
}

int SelectedCellOf(const Face& face) noexcept {
    // The date drawn is the green day of the labels' month.
    for (int i = 0; i < kDayCount; ++i)
        if (face.days[i].visible && face.days[i].green) return i;
    return -1;
}

int Calendar::CellOfDay(DateSerial day) const noexcept {
    if (!monthStart_) return -1;
    const std::int64_t k = firstCell_ + (static_cast<std::int64_t>(day) - *monthStart_);
    if (k < 0 || k >= kDayCount || !face_.days[static_cast<size_t>(k)].visible) return -1;
    return static_cast<int>(k);
}

void Calendar::MarkDay(DateSerial day, bool marked) {
    if (marked) {
        marks_.insert(day);
    } else {
        marks_.erase(day);
    }
    const int k = CellOfDay(day);
    if (k < 0 || face_.days[k].marked == marked) return;
    face_.days[k].marked = marked;
    events_.GridChanged();
}

void Calendar::SetToday(DateSerial today) {
    if (today == today_) return;
    const int before = CellOfDay(today_), after = CellOfDay(today);
    today_ = today;
    if (before >= 0) face_.days[before].today = false;
    if (after >= 0) face_.days[after].today = true;
    if (before >= 0 || after >= 0) events_.GridChanged();
}

void Calendar::MoveByKey(DayKey key) {
    const int cell = SelectedCellOf(face_);
    if (cell < 0) return;
    const auto selected = DateOfCell(cell);
    if (!selected) return;
    if (const auto target = DayAfterKey(*selected, key)) PutDate(*target);
}

void Calendar::OnDateBoxChanged() {
    if (const auto day = platform_.ReadDate(face_.dateBox)) PutDate(*day);
    events_.RaiseChange();
}

std::optional<DateSerial> Calendar::DateOfCell(int index) const {
    return platform_.ReadDate(face_.monthLabel + L" " + face_.days[index].text + L", " +
                              face_.yearLabel);
}

void Calendar::GoToCell(int index) {
    if (index < 0 || index >= kDayCount || !face_.days[index].visible) return;
    if (const auto day = DateOfCell(index)) PutDate(*day);
}

void Calendar::StepYear(int delta) {
    const auto shown = platform_.ReadDate(face_.monthLabel + L" 01, " + face_.yearLabel);
    const auto year = LeadingNumber(face_.yearLabel);
    if (!shown || !year) return;
    const CivilDate target{static_cast<int>(*year + delta), CivilFromSerial(*shown).month, 1};
    // A year the date type cannot hold is out of reach; the arrow does nothing.
    if (!velmi::IsValidDate(target)) return;
    PutDate(SerialFromCivil(target));
}

void Calendar::GoToPreviousMonth() {
    const auto d = platform_.ReadDate(face_.dateBox);
    if (!d) return;
    StepMonthTo(*d - CivilFromSerial(*d).day);
}

void Calendar::GoToNextMonth() {
    const auto d = platform_.ReadDate(face_.dateBox);
    if (!d) return;
    const CivilDate c = CivilFromSerial(*d);
    StepMonthTo(*d + velmi::MonthLength(c.month, c.year) - c.day + 1);
}

void Calendar::StepMonthTo(DateSerial target) {
    if (!velmi::IsSerialInRange(target)) return;
    const CivilDate n = CivilFromSerial(target);
    const std::wstring month = platform_.MonthName(n.month);
    SetDateBoxText(LongDateText(month, n));
    // After both Change events the labels are rewritten once more, the year
    // now without the leading blank that the drawing writes.
    face_.monthLabel = month;
    face_.yearLabel = std::to_wstring(n.year);
    events_.GridChanged();
}

}  // namespace nuv
