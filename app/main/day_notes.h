// The notes follow the calendar: every change of its date stores the note of
// the day being left, shows the new day's note and deletes the notes of the
// ten days before today.
#pragma once

#include "alarm_tables.h"
#include "clock.h"
#include "note_store.h"

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace velmi {

inline constexpr std::wstring_view kCaptionPrefix = L"Scheduled items for ";
inline constexpr int kPurgedDays = 10;

// A note that could not be kept or shown, for the window to report.
struct StoreProblem {
    enum class Kind { kSave, kRead } kind = Kind::kSave;
    std::wstring dayText;  // the calendar's text of the day
    unsigned long error = 0;
};

// What the procedure needs of the main window.
class NoteWindow {
public:
    virtual ~NoteWindow() = default;
    [[nodiscard]] virtual std::wstring CalendarText() = 0;  // the calendar's text
    [[nodiscard]] virtual std::wstring NoteText() = 0;      // the note box
    // Replaces the note box's text; the box counts as unedited afterwards.
    virtual void SetNoteText(std::wstring_view text) = 0;
    [[nodiscard]] virtual bool NoteEdited() = 0;
    virtual void SetCaption(std::wstring_view caption) = 0;
    virtual void ReportStoreProblem(const StoreProblem& problem) = 0;
    // Marks a day whose stored note is not empty; false when the calendar cannot.
    virtual bool MarkDay(DateSerial day, bool marked) = 0;
};

using DateReader = std::function<std::optional<DateSerial>(std::wstring_view)>;

class DayNotes {
public:
    DayNotes(NoteStore& store, const Clock& clock, DateReader readDate, NoteWindow& window)
        : store_(store), clock_(clock), readDate_(std::move(readDate)), window_(window) {}

    // Loading: no day is shown yet, so the first change stores nothing.
    bool Loading = false;
    // The calendar text of the day whose note is in the note box.
    std::wstring LastDateText;

    // The calendar's Change event.
    void OnCalendarChanged();

    // Stores the note box under the day it belongs to (closing, the session's
    // end). Nothing to store before a day was shown, or when the day's note
    // could not be read and the box was not edited since.
    struct SaveOutcome {
        bool attempted = false;
        RegResult result;
    };
    [[nodiscard]] SaveOutcome SaveShownNote();

    // The alarms of a day's note: while the note box holds today's note, with
    // its unsaved edits; otherwise, and for a day that is over, the stored note.
    [[nodiscard]] MinuteTable AlarmsOf(DateSerial day, DateSerial today);

private:
    [[nodiscard]] SaveOutcome SaveNoteOf(DateSerial day);
    void LoadNoteOf(DateSerial day);
    void PurgeBeforeToday();
    // The calendar's marks follow the store: each month's notes are read once
    // per run, and each save, empty note and purge after that is told.
    void MarkMonthOf(DateSerial day);
    void SetNoted(DateSerial day, bool noted);

    NoteStore& store_;
    const Clock& clock_;
    DateReader readDate_;
    NoteWindow& window_;
    // The shown day whose stored note could not be read: its empty box must
    // not replace that note unless the user writes one.
    std::optional<DateSerial> unreadDay_;
    bool marking_ = true;             // until the calendar turns out to have no marks
    std::set<int> monthsRead_;        // year * 12 + month - 1
    std::set<DateSerial> notedDays_;  // marked on the calendar
    // The today whose ten days before were all deleted by a purge, with no
    // note saved to one of them since: purging again would change nothing.
    std::optional<DateSerial> purgedFor_;
};

}  // namespace velmi
