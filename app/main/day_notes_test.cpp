#include "day_notes.h"

#include <gtest/gtest.h>

#include <map>
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
        if (failRemovals) return {RegStatus::kFailed, kAccessDenied};
        return notes.erase(day) ? RegResult{} : RegResult{RegStatus::kMissing, 0};
    }
    std::map<DateSerial, std::wstring> notes;
    std::vector<DateSerial> writes;
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

// The ten days before today go, and nothing else, whether or not the store
// lets them go: a purge failure is not the user's business.
TEST_F(DayNotesTest, PurgesTheTenDaysBeforeTodaySilently) {
    for (const bool refused : {false, true}) {
        store = {};
        store.failRemovals = refused;
        for (DateSerial d = kToday - 12; d <= kToday + 1; ++d)
            store.notes[d] = L"n";
        Start();
        for (DateSerial d = kToday - 12; d <= kToday + 1; ++d)
            EXPECT_EQ(store.notes.count(d), refused || d < kToday - 10 || d >= kToday) << d;
        EXPECT_TRUE(problems.empty());
    }
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
}

TEST_F(DayNotesTest, ANoteThatCannotBeSavedStaysWithItsDayUntilItIs) {
    Start();
    Type(L"precious");
    store.failWrites = true;
    Show(kToday + 1, 2);  // a month arrow: two events
    ASSERT_FALSE(problems.empty());
    EXPECT_EQ(problems[0].kind, StoreProblem::Kind::kSave);
    EXPECT_EQ(problems[0].dayText, L"day 46361");
    EXPECT_EQ(note, L"precious");
    EXPECT_EQ(caption, L"Scheduled items for day 46361");
    store.failWrites = false;
    Show(kToday + 1);  // the next change tries that day again
    EXPECT_EQ(store.notes[kToday], L"precious");
    EXPECT_EQ(notes.LastDateText, L"day 46362");
}

TEST_F(DayNotesTest, AnUnreadableNoteIsOverwrittenOnlyOnceEdited) {
    store.notes[kToday + 2] = L"kept safe";
    Start();
    store.failReads = true;
    Show(kToday + 2, 2);
    ASSERT_FALSE(problems.empty());
    EXPECT_EQ(problems.back().kind, StoreProblem::Kind::kRead);
    store.failReads = false;
    EXPECT_FALSE(notes.SaveShownNote().attempted);  // closing now keeps the stored note
    Show(kToday);
    EXPECT_EQ(store.notes[kToday + 2], L"kept safe");
    store.failReads = true;
    Show(kToday + 2);
    store.failReads = false;
    Type(L"new words");
    EXPECT_TRUE(notes.SaveShownNote().attempted);
    EXPECT_EQ(store.notes[kToday + 2], L"new words");
}

}  // namespace
}  // namespace velmi
