#include "day_notes.h"

#include "alarm_scan.h"

namespace velmi {
namespace {

// A whole number of at most `most` digits at the front of text, taken off it.
std::optional<int> TakeNumber(std::wstring_view& text, size_t most) {
    size_t n = 0;
    while (n < text.size() && n < most && text[n] >= L'0' && text[n] <= L'9')
        ++n;
    if (n == 0) return std::nullopt;
    int value = 0;
    for (size_t i = 0; i < n; ++i)
        value = value * 10 + (text[i] - L'0');
    text.remove_prefix(n);
    return value;
}

}  // namespace

std::optional<DateSerial> ReadCalendarText(std::wstring_view text, const MonthNames& names) {
    for (int month = 1; month <= 12; ++month) {
        const std::wstring& monthName = names[static_cast<size_t>(month - 1)];
        const std::wstring name = monthName + L"  ";
        if (!text.starts_with(name)) continue;
        std::wstring_view rest = text.substr(name.size());
        const std::optional<int> day = TakeNumber(rest, 2);
        if (!day || !rest.starts_with(L",  ")) return std::nullopt;
        rest.remove_prefix(3);
        const std::optional<int> year = TakeNumber(rest, 4);
        const CivilDate date{year.value_or(0), month, *day};
        // Only the text the calendar itself writes, without leading zeros.
        if (!year || !rest.empty() || !IsValidDate(date) ||
            CanonicalDateText(monthName, *day, *year) != text) {
            return std::nullopt;
        }
        return SerialFromCivil(date);
    }
    return std::nullopt;
}

std::optional<DateSerial> DayNotes::ReadDay(std::wstring_view calendarText) {
    std::optional<DateSerial> day = ReadCalendarText(calendarText, names_);
    // The names are read again only for a text that ends as the calendar's
    // do: the user may have changed the language meanwhile.
    if (!day && calendarText.find(L",  ") != std::wstring_view::npos) {
        for (int month = 1; month <= 12; ++month)
            names_[static_cast<size_t>(month - 1)] = monthName_(month);
        day = ReadCalendarText(calendarText, names_);
    }
    return day;
}

void DayNotes::OnCalendarChanged(std::wstring_view calendarText) {
    const std::optional<DateSerial> day = ReadDay(calendarText);
    if (!day) return;
    const std::wstring caption = std::wstring(kCaptionPrefix) + std::wstring(calendarText);
    if (day == shown_) {
        // A second event of one change, or the same day written anew.
        shownText_ = calendarText;
        return window_.SetCaption(caption);
    }
    if (const SaveOutcome saved = SaveShownNote(); saved.attempted && saved.result.Failed()) {
        // The unsaved note stays on screen under its own day; the next change
        // tries again.
        window_.ReportStoreProblem({StoreProblem::Kind::kSave, shownText_, saved.result.error});
        return;
    }
    window_.SetCaption(caption);
    shownText_ = calendarText;
    const DateSerial today = Today();
    LoadNoteOf(*day);
    DecideReadOnly(today);
    PurgeBeforeToday(today);
    MarkMonthOf(*day);
}

DateSerial DayNotes::Today() const {
    return SerialFromCivil(clock_.Now().date);
}

DayNotes::SaveOutcome DayNotes::SaveShownNote() {
    if (!shown_ || readOnly_) return {};
    const DateSerial day = *shown_;
    const std::wstring note = window_.NoteText();
    if (stored_ ? note == *stored_ : note.empty()) return {};
    // A day of the purged range holds a note again until the next purge.
    if (purgedFor_ && IsPurgedDay(day, *purgedFor_)) purgedFor_.reset();
    // An emptied note leaves no key behind.
    RegResult result = note.empty() ? store_.RemoveDay(day) : store_.WriteNote(day, note);
    if (result.status == RegStatus::kMissing) result = {};
    if (!result.Failed()) {
        stored_ = note;
        SetNoted(day, !note.empty());
    }
    return {true, result};
}

void DayNotes::SaveAfterTyping() {
    const SaveOutcome saved = SaveShownNote();
    if (!saved.attempted) return;
    if (!saved.result.Failed()) {
        typingFailureTold_ = false;
    } else if (!typingFailureTold_) {
        typingFailureTold_ = true;
        window_.ReportStoreProblem({StoreProblem::Kind::kSave, shownText_, saved.result.error});
    }
}

void DayNotes::OnTodayMaybeChanged() {
    const DateSerial today = Today();
    if (!shown_ || today == decidedFor_) return;
    // A note typed for today up to midnight is kept until the purge.
    if (const SaveOutcome saved = SaveShownNote(); saved.attempted && saved.result.Failed()) {
        window_.ReportStoreProblem({StoreProblem::Kind::kSave, shownText_, saved.result.error});
        return;
    }
    DecideReadOnly(today);
}

void DayNotes::DecideReadOnly(DateSerial today) {
    decidedFor_ = today;
    readOnly_ = IsPurgedDay(*shown_, today);
    window_.SetNoteReadOnly(readOnly_);
}

std::wstring DayNotes::NoteOf(DateSerial day, DateSerial today) {
    // The note's own day, the one it will be stored under.
    if (day == today && shown_ == day) return window_.NoteText();
    RegText stored = store_.ReadNote(day);
    return stored.result.Failed() ? std::wstring() : std::move(stored.text);
}

void DayNotes::LoadNoteOf(DateSerial day) {
    const RegText note = store_.ReadNote(day);
    shown_ = day;
    if (note.result.Failed()) {
        stored_.reset();
        window_.ShowNote({});
        window_.ReportStoreProblem({StoreProblem::Kind::kRead, shownText_, note.result.error});
    } else {
        stored_ = note.text;
        window_.ShowNote(note.text);
    }
}

void DayNotes::PurgeBeforeToday(DateSerial today) {
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

}  // namespace velmi
