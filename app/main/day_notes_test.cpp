#include "day_notes.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

namespace velmi {
namespace {

constexpr DateSerial kToday = 46361;  // 5 December 2026
constexpr unsigned long kAccessDenied = 5;

// Reads the texts these tests use: the day's serial in words, "day 46361".
std::optional<DateSerial> ReadDay(std::wstring_view text) {
    if (text.substr(0, 4) != L"day ") return std::nullopt;
    try {
        return static_cast<DateSerial>(std::stol(std::wstring(text.substr(4))));
    } catch (...) {
        return std::nullopt;
    }
}
std::wstring DayText(DateSerial d) {
    return L"day " + std::to_wstring(d);
}

class MemoryStore : public NoteStore {
public:
    RegText ReadNote(DateSerial day) override {
        if (failReads) return {{RegStatus::kFailed, kAccessDenied}, L""};
        const auto it = notes.find(day);
        if (it == notes.end()) return {{RegStatus::kMissing, 0}, L""};
        return {{}, it->second};
    }
    RegResult WriteNote(DateSerial day, std::wstring_view note) override {
        writes.push_back(day);
        if (failWrites) return {RegStatus::kFailed, kAccessDenied};
        notes[day] = note;
        return {};
    }
    RegResult RemoveDay(DateSerial day) override {
        removals.insert(day);
        if (failRemovals) return {RegStatus::kFailed, kAccessDenied};
        return notes.erase(day) ? RegResult{} : RegResult{RegStatus::kMissing, 0};
    }
    std::map<DateSerial, std::wstring> notes;
    std::vector<DateSerial> writes;
    std::set<DateSerial> removals;
    bool failReads = false, failWrites = false, failRemovals = false;
};

class FixedClock : public Clock {
public:
    LocalDateTime Now() const override { return {CivilFromSerial(today), {10, 20, 40}}; }
    DateSerial today = kToday;
};

class DayNotesTest : public ::testing::Test, public NoteWindow {
protected:
    std::wstring CalendarText() override { return calendar; }
    std::wstring NoteText() override { return note; }
    void SetNoteText(std::wstring_view text) override {
        note = text;
        edited = false;
    }
    bool NoteEdited() override { return edited; }
    void SetCaption(std::wstring_view text) override { caption = text; }
    void ReportStoreProblem(const StoreProblem& p) override { problems.push_back(p); }

    // The calendar moves to a day, raising Change once or twice.
    void Show(DateSerial day, int events = 1) {
        calendar = DayText(day);
        for (int i = 0; i < events; ++i)
            notes.OnCalendarChanged();
    }
    void Type(const std::wstring& text) {
        note += text;
        edited = true;
    }
    void Start() {
        notes.Loading = true;
        Show(clock.today, 2);  // the load step's put raises Change twice
    }

    MemoryStore store;
    FixedClock clock;
    MinuteTable alarms;
    std::wstring calendar, note, caption;
    bool edited = false;
    std::vector<StoreProblem> problems;
    DayNotes notes{store, clock, ReadDay, *this, alarms};
};

TEST_F(DayNotesTest, TheLoadStepStoresTheJustLoadedNoteOnTheSecondChange) {
    store.notes[kToday] = L"{*09:30AM*}Dentist";
    notes.Loading = true;
    Show(kToday);
    EXPECT_TRUE(store.writes.empty());
    EXPECT_FALSE(notes.Loading);
    EXPECT_EQ(caption, L"Scheduled items for day 46361");
    EXPECT_EQ(note, L"{*09:30AM*}Dentist");
    EXPECT_EQ(alarms.count, 1);
    EXPECT_EQ(alarms.minutes[1], 570);
    notes.OnCalendarChanged();
    EXPECT_EQ(store.writes, std::vector<DateSerial>{kToday});
    EXPECT_EQ(store.notes[kToday], L"{*09:30AM*}Dentist");
}

TEST_F(DayNotesTest, AFreshStartStoresAnEmptyNoteForToday) {
    Start();
    EXPECT_EQ(note, L"");
    ASSERT_TRUE(store.notes.count(kToday));
    EXPECT_EQ(store.notes[kToday], L"");
}

TEST_F(DayNotesTest, TheNoteFollowsTheDay) {
    Start();
    Type(L"buy milk");
    store.notes[kToday + 3] = L"{*03:00PM*}call";
    Show(kToday + 3);
    EXPECT_EQ(store.notes[kToday], L"buy milk");
    EXPECT_EQ(note, L"{*03:00PM*}call");
    EXPECT_EQ(alarms.minutes[1], 900);  // the alarms follow the note on display
    EXPECT_EQ(notes.LastDateText, L"day 46364");
    Show(kToday);
    EXPECT_EQ(note, L"buy milk");
    EXPECT_EQ(alarms.count, 0);
    EXPECT_EQ(store.notes[kToday + 3], L"{*03:00PM*}call");  // unchanged by moving through
}

TEST_F(DayNotesTest, PurgesTheTenDaysBeforeTodayAndNothingElse) {
    for (DateSerial d = kToday - 12; d <= kToday + 1; ++d)
        store.notes[d] = L"n";
    Start();
    for (DateSerial d = kToday - 10; d <= kToday - 1; ++d)
        EXPECT_FALSE(store.notes.count(d)) << d;
    for (DateSerial d : {kToday - 12, kToday - 11, kToday, kToday + 1})
        EXPECT_TRUE(store.notes.count(d)) << d;

    // The purge follows today, not the shown date, and reads today afresh.
    Show(kToday + 400);
    clock.today = kToday + 1;
    store.notes[kToday] = L"yesterday by now";
    store.notes[kToday - 10] = L"eleven days back by now";
    Show(kToday + 401);
    EXPECT_FALSE(store.notes.count(kToday));
    EXPECT_TRUE(store.notes.count(kToday - 10));  // eleven days back from the new today
}

TEST_F(DayNotesTest, YesterdayIsShownThenPurgedInTheSameChange) {
    store.notes[kToday - 1] = L"old";
    Start();
    store.notes[kToday - 1] = L"old";
    Show(kToday - 1);
    EXPECT_EQ(note, L"old");
    EXPECT_FALSE(store.notes.count(kToday - 1));
}

TEST_F(DayNotesTest, AChangeToATextThatIsNoDateChangesNothing) {
    Start();
    Type(L"half");
    store.writes.clear();
    calendar = L"Decem";
    notes.OnCalendarChanged();
    EXPECT_TRUE(store.writes.empty());
    EXPECT_EQ(note, L"half");
    EXPECT_EQ(caption, L"Scheduled items for day 46361");
    EXPECT_EQ(notes.LastDateText, L"day 46361");
}

TEST_F(DayNotesTest, ANoteThatCannotBeSavedStaysWithItsDay) {
    Start();
    Type(L"precious");
    store.failWrites = true;
    Show(kToday + 1, 2);             // a month arrow: two events
    ASSERT_EQ(problems.size(), 2u);  // the window shows one box per action
    EXPECT_EQ(problems[0].kind, StoreProblem::Kind::kSave);
    EXPECT_EQ(problems[0].dayText, L"day 46361");
    EXPECT_EQ(problems[0].error, kAccessDenied);
    EXPECT_EQ(note, L"precious");
    EXPECT_EQ(caption, L"Scheduled items for day 46361");
    EXPECT_EQ(notes.LastDateText, L"day 46361");

    store.failWrites = false;
    Show(kToday + 1);  // the next change tries that day again
    EXPECT_EQ(store.notes[kToday], L"precious");
    EXPECT_EQ(notes.LastDateText, L"day 46362");
}

TEST_F(DayNotesTest, AnUnreadableNoteIsNotOverwrittenByTheEmptyBox) {
    store.notes[kToday + 2] = L"kept safe";
    Start();
    store.failReads = true;
    Show(kToday + 2, 2);
    ASSERT_FALSE(problems.empty());
    EXPECT_EQ(problems.back().kind, StoreProblem::Kind::kRead);
    EXPECT_EQ(note, L"");
    store.failReads = false;
    Show(kToday);
    EXPECT_EQ(store.notes[kToday + 2], L"kept safe");

    // Once the user writes into the box, that note is stored.
    store.failReads = true;
    Show(kToday + 2);
    store.failReads = false;
    EXPECT_FALSE(notes.SaveShownNote().attempted);  // closing now keeps the stored note
    Type(L"new words");
    EXPECT_TRUE(notes.SaveShownNote().attempted);
    EXPECT_EQ(store.notes[kToday + 2], L"new words");
}

TEST_F(DayNotesTest, PurgeFailuresAreSilent) {
    store.failRemovals = true;
    Start();
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(store.removals.size(), 10u);
}

TEST_F(DayNotesTest, ClosingStoresUnderTheShownDayNotTheCalendarText) {
    EXPECT_FALSE(notes.SaveShownNote().attempted);  // nothing shown yet
    Start();
    Type(L"typed");
    calendar = L"Dec";  // half-typed into the calendar's date box
    const auto saved = notes.SaveShownNote();
    EXPECT_TRUE(saved.attempted);
    EXPECT_FALSE(saved.result.Failed());
    EXPECT_EQ(store.notes[kToday], L"typed");
}

}  // namespace
}  // namespace velmi
