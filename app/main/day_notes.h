// The notes follow the calendar: a change of its date stores the note of the
// day being left when it was edited, shows the new day's note and deletes the
// notes of the ten days before today. Those ten days are shown read-only, since
// whatever is typed there would go with the next purge.
#pragma once

#include "alarm_tables.h"
#include "clock.h"
#include "note_store.h"

#include <array>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace velmi {

inline constexpr std::wstring_view kCaptionPrefix = L"Scheduled items for ";
inline constexpr int kPurgedDays = 10;

// The locale's full month name (1 .. 12), as the calendar writes it.
using MonthNamer = std::function<std::wstring(int month)>;
using MonthNames = std::array<std::wstring, 12>;

// The day of a text in the calendar's own form, "December  7,  2026" (month
// name, two blanks, day, comma, two blanks, year) and nothing else: the
// calendar announces half-typed dates too, and only its own text is whole.
[[nodiscard]] std::optional<DateSerial> ReadCalendarText(std::wstring_view text,
                                                         const MonthNames& names);

// True for the days the next purge deletes: the ten before today.
[[nodiscard]] constexpr bool IsPurgedDay(DateSerial day, DateSerial today) noexcept {
    return day < today && day >= today - kPurgedDays;
}

// A note that could not be kept or shown, for the window to report.
struct StoreProblem {
    enum class Kind { kSave, kRead } kind = Kind::kSave;
    std::wstring dayText;  // the calendar's text of the day
    unsigned long error = 0;
};

// What the notes need of the main window.
class NoteWindow {
public:
    virtual ~NoteWindow() = default;
    [[nodiscard]] virtual std::wstring NoteText() = 0;
    // Replaces the note box's text, with nothing pending to store.
    virtual void ShowNote(std::wstring_view text) = 0;
    // A day whose note the next purge deletes takes no edits, and says why.
    virtual void SetNoteReadOnly(bool readOnly) = 0;
    virtual void SetCaption(std::wstring_view caption) = 0;
    virtual void ReportStoreProblem(const StoreProblem& problem) = 0;
    // Marks a day whose stored note is not empty; false when the calendar cannot.
    virtual bool MarkDay(DateSerial day, bool marked) = 0;
};

class DayNotes {
public:
    DayNotes(NoteStore& store, const Clock& clock, MonthNamer monthName, NoteWindow& window)
        : store_(store), clock_(clock), monthName_(std::move(monthName)), window_(window) {}

    // The calendar's Change event, with the calendar's text.
    void OnCalendarChanged(std::wstring_view calendarText);

    // Stores the note box under the day it was loaded for, when its text
    // differs from what that day holds: closing, the session's end, idle.
    // A day that is emptied loses its key. Nothing is written for a
    // read-only day, nor an empty box over a note that could not be read.
    struct SaveOutcome {
        bool attempted = false;
        RegResult result;
    };
    [[nodiscard]] SaveOutcome SaveShownNote();
    // The save after the user stopped typing; a failure is told once until a
    // save succeeds again.
    void SaveAfterTyping();
    // The clock's date may have moved on (a check after midnight, a resume):
    // the shown day's pending edit is stored, then it may turn read-only.
    void OnTodayMaybeChanged();

    [[nodiscard]] std::optional<DateSerial> ShownDay() const noexcept { return shown_; }
    [[nodiscard]] const std::wstring& ShownDayText() const noexcept { return shownText_; }
    [[nodiscard]] bool ShownReadOnly() const noexcept { return readOnly_; }

    // The note whose markers arm a day's alarms: while the note box holds
    // today's note, with its unsaved edits; otherwise, and for a day that is
    // over, the stored note.
    [[nodiscard]] std::wstring NoteOf(DateSerial day, DateSerial today);

private:
    [[nodiscard]] std::optional<DateSerial> ReadDay(std::wstring_view calendarText);
    [[nodiscard]] DateSerial Today() const;
    void LoadNoteOf(DateSerial day);
    void DecideReadOnly(DateSerial today);
    void PurgeBeforeToday(DateSerial today);
    // The calendar's marks follow the store: each month's notes are read once
    // per run, and each save, emptied note and purge after that is told.
    void MarkMonthOf(DateSerial day);
    void SetNoted(DateSerial day, bool noted);

    NoteStore& store_;
    const Clock& clock_;
    MonthNamer monthName_;
    MonthNames names_;  // as last read from the locale
    NoteWindow& window_;

    std::optional<DateSerial> shown_;  // the day the note box was loaded for
    std::wstring shownText_;           // its calendar text, for the caption and reports
    // What the store holds for the shown day; nothing when it could not be
    // read, so that an empty box never replaces it.
    std::optional<std::wstring> stored_;
    bool readOnly_ = false;
    DateSerial decidedFor_ = 0;  // the today the read-only state was decided on
    bool typingFailureTold_ = false;

    bool marking_ = true;             // until the calendar turns out to have no marks
    std::set<int> monthsRead_;        // year * 12 + month - 1
    std::set<DateSerial> notedDays_;  // marked on the calendar
    // The today whose ten days before were all deleted by a purge, with no
    // note saved to one of them since: purging again would change nothing.
    std::optional<DateSerial> purgedFor_;
};

}  // namespace velmi
