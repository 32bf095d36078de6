#include "day_notes.h"

#include "alarm_scan.h"

namespace velmi {

void DayNotes::OnCalendarChanged() {
    const std::wstring text = window_.CalendarText();
    // The calendar announces every edit of its date box, half-typed ones
    // too; until its text names a day the note stays with its own day.
    const std::optional<DateSerial> day = readDate_(text);
    if (!day) return;

    if (!Loading) {
        const SaveOutcome saved = SaveShownNote();
        if (saved.attempted && saved.result.Failed()) {
            // Keep the unsaved note on screen, under its own day; the next
            // change tries again.
            window_.ReportStoreProblem(
                {StoreProblem::Kind::kSave, LastDateText, saved.result.error});
            return;
        }
    }
    window_.SetCaption(std::wstring(kCaptionPrefix) + text);
    LastDateText = text;
    LoadNoteOf(*day);
    PurgeBeforeToday();
    MarkMonthOf(*day);
    Loading = false;
}

void DayNotes::MarkMonthOf(DateSerial day) {
    const CivilDate d = CivilFromSerial(day);
    if (!marking_ || !monthsRead_.insert(d.year * 12 + d.month - 1).second) return;
    const DateSerial first = day - (d.day - 1);
    for (DateSerial n = first; n < first + MonthLength(d.month, d.year) && marking_; ++n) {
        const RegText stored = store_.ReadNote(n);
        if (!stored.result.Failed() && !stored.text.empty()) SetNoted(n, true);
    }
}

void DayNotes::SetNoted(DateSerial day, bool noted) {
    if (!marking_) return;
    const bool changed = noted ? notedDays_.insert(day).second : notedDays_.erase(day) > 0;
    if (changed && !window_.MarkDay(day, noted)) {
        // A calendar without marks: nothing more to read or tell.
        marking_ = false;
        monthsRead_.clear();
        notedDays_.clear();
    }
}

DayNotes::SaveOutcome DayNotes::SaveShownNote() {
    const std::optional<DateSerial> day = readDate_(LastDateText);
    if (!day) return {};
    return SaveNoteOf(*day);
}

DayNotes::SaveOutcome DayNotes::SaveNoteOf(DateSerial day) {
    if (unreadDay_ == day && !window_.NoteEdited()) return {};
    const std::wstring note = window_.NoteText();
    // A day of the purged range holds a note again until the next purge.
    if (purgedFor_ && day < *purgedFor_ && day >= *purgedFor_ - kPurgedDays) purgedFor_.reset();
    const RegResult result = store_.WriteNote(day, note);
    if (!result.Failed()) {
        unreadDay_.reset();
        SetNoted(day, !note.empty());
    }
    return {true, result};
}

MinuteTable DayNotes::AlarmsOf(DateSerial day, DateSerial today) {
    MinuteTable alarms;
    // The note's own day, the one it will be stored under, not the calendar's text.
    if (day == today && readDate_(LastDateText) == day) {
        ScanAlarms(window_.NoteText(), alarms);
    } else if (const RegText stored = store_.ReadNote(day); !stored.result.Failed()) {
        ScanAlarms(stored.text, alarms);
    }
    return alarms;
}

void DayNotes::LoadNoteOf(DateSerial day) {
    const RegText note = store_.ReadNote(day);
    window_.SetNoteText(note.result.Failed() ? std::wstring() : note.text);
    if (note.result.Failed()) {
        unreadDay_ = day;
        window_.ReportStoreProblem({StoreProblem::Kind::kRead, LastDateText, note.result.error});
    } else {
        unreadDay_.reset();
    }
}

void DayNotes::PurgeBeforeToday() {
    // Today is read afresh, so a run past midnight purges from the new day.
    const DateSerial today = SerialFromCivil(clock_.Now().date);
    if (purgedFor_ == today) return;
    bool allGone = true;
    for (DateSerial d = today - 1; d >= today - kPurgedDays; --d) {
        // A day that cannot be deleted merely keeps its note, and is tried again.
        if (store_.RemoveDay(d).Failed()) {
            allGone = false;
        } else {
            SetNoted(d, false);
        }
    }
    if (allGone) purgedFor_ = today;
}

}  // namespace velmi
