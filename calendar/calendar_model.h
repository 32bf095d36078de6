// The calendar control's behaviour over a small model of its child controls.
// The control keeps no date of its own: the shown date is whatever the date
// box, the two labels and the day cells hold, and every action reads it back
// from there. The window shell mirrors this model on screen.
#pragma once

#include "date_core.h"

#include <array>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace nuv {

using velmi::DateSerial;

inline constexpr int kDayCount = 37;
// The longest text the date box holds, on every path in and out.
inline constexpr size_t kMaxTextLength = 0x100000;

struct DayCell {
    bool visible = true;
    std::wstring text = L"01";
    bool green = false;   // the drawn date's day; every other cell is white
    bool marked = false;  // a day the container marked
    bool today = false;   // the computer's today, outlined
};

// The child controls' contents, in their design-time state.
struct Face {
    std::array<DayCell, kDayCount> days;
    std::wstring monthLabel = L"Label3";
    std::wstring yearLabel = L"Year";
    std::wstring dateBox;
};

// What the calendar needs from the platform.
class CalendarPlatform {
public:
    virtual ~CalendarPlatform() = default;
    // The whole day of a date written in text, read in the user's locale.
    [[nodiscard]] virtual std::optional<DateSerial> ReadDate(std::wstring_view text) const = 0;
    // The locale's full month name (1 .. 12).
    [[nodiscard]] virtual std::wstring MonthName(int month) const = 0;
    [[nodiscard]] virtual DateSerial Today() const = 0;
};

// How the calendar tells its shell what happened.
class CalendarEvents {
public:
    virtual ~CalendarEvents() = default;
    virtual void GridChanged() = 0;     // cells and labels were redrawn
    virtual void DateBoxChanged() = 0;  // the date box holds a new text
    virtual void RaiseChange() = 0;     // the control's Change event
};

// The keys that move the selected day while a day cell has the focus.
enum class DayKey {
    kPreviousDay,
    kNextDay,
    kPreviousWeek,
    kNextWeek,
    kPreviousMonth,
    kNextMonth,
    kPreviousYear,
    kNextYear,
    kFirstOfMonth,
    kLastOfMonth
};

// The day a key leads to from the selected day, or nothing when it would
// leave the date range. Months and years keep the day, or the month's last.
[[nodiscard]] std::optional<DateSerial> DayAfterKey(DateSerial selected, DayKey key);

// The cell of the selected day (the green one shown), or -1 before the first date.
[[nodiscard]] int SelectedCellOf(const Face& face) noexcept;

class Calendar {
public:
    Calendar(const CalendarPlatform& platform, CalendarEvents& events)
        : platform_(platform), events_(events), today_(platform.Today()) {}

    [[nodiscard]] const Face& face() const noexcept { return face_; }
    [[nodiscard]] const std::wstring& Text() const noexcept { return face_.dateBox; }

    enum class PutResult { kDone, kInvalidDate };
    // The text property's put: blanks only empty the box, a date is kept as
    // written, anything else (a text longer than the limit too) is refused
    // (the shell tells the user).
    [[nodiscard]] PutResult PutText(std::wstring_view value);

    // Draws the month of the day, marks the day and writes the date box.
    void PutDate(DateSerial day);

    // A change of the date box's text by a put or a stored property: a date
    // is drawn and the box rewritten in the calendar's form.
    void SetDateBoxText(std::wstring_view text);

    // The user's typing: the box keeps the text as typed, under the user's
    // caret, up to the limit; the grid waits for the commit.
    void TypeDateBoxText(std::wstring_view text);
    // Enter, Tab or the focus leaving the box: a typed date is drawn and
    // rewritten in the calendar's form; a text that names no date gives way
    // to the date drawn.
    void CommitDateBox();

    // The user's clicks: a day cell, the four arrows, the frame (today).
    void GoToCell(int index);
    void GoToPreviousYear() { StepYear(-1); }
    void GoToNextYear() { StepYear(+1); }
    void GoToPreviousMonth();
    void GoToNextMonth();
    void GoToToday() { PutDate(platform_.Today()); }
    // A key on a day cell: from the selected day, as a click on the day it leads to.
    void MoveByKey(DayKey key);
    // A container's mark on a day, shown whenever its month is; until unmarked.
    void MarkDay(DateSerial day, bool marked);
    // The computer's date, outlined whenever its month is shown; the shell
    // tells it anew at each midnight.
    void SetToday(DateSerial today);

private:
    void DrawMonth(const velmi::CivilDate& d);
    // The cell that shows the day in the month drawn, or -1.
    [[nodiscard]] int CellOfDay(DateSerial day) const noexcept;
    // Writes the text into the box; false when the box held it already.
    [[nodiscard]] bool StoreDateBoxText(std::wstring_view text);
    [[nodiscard]] std::optional<DateSerial> DateOfCell(int index) const;
    void OnDateBoxChanged();
    void StepYear(int delta);
    void StepMonthTo(DateSerial target);

    const CalendarPlatform& platform_;
    CalendarEvents& events_;
    Face face_;
    std::set<DateSerial> marks_;
    DateSerial today_;
    std::optional<DateSerial> monthStart_;  // the 1st of the month drawn
    int firstCell_ = 0;                     // the cell of that 1st
};

}  // namespace nuv
