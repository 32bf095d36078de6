// The notes against a window and a store of the test's own: which texts name
// a day, under which day a note is written, and how often a failure is told.
// What reaches the registry is the main window's tests' and the walk's.
#include "day_notes.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace velmi {
namespace {

constexpr DateSerial kToday = 46361;  // 5 December 2026
const MonthNames kEnglish{L"January",   L"February", L"March",    L"April",
                          L"May",       L"June",     L"July",     L"August",
                          L"September", L"October",  L"November", L"December"};

class FakeClock : public Clock {
public:
    LocalDateTime Now() const override { return now; }
    LocalDateTime now{{2026, 12, 5}, {23, 59, 50}};
};

class FakeStore : public NoteStore {
public:
    RegText ReadNote(DateSerial day) override {
        const auto found = notes.find(day);
        if (found == notes.end()) return {{RegStatus::kMissing, 0}, L""};
        return {{}, found->second};
    }
    RegResult WriteNote(DateSerial day, std::wstring_view note) override {
        ++writes;
        if (failWrites) return {RegStatus::kFailed, 5};
        notes[day] = note;
        return {};
    }
    RegResult RemoveDay(DateSerial day) override {
        return {notes.erase(day) > 0 ? RegStatus::kDone : RegStatus::kMissing, 0};
    }
    std::map<DateSerial, std::wstring> notes;
    int writes = 0;
    bool failWrites = false;
};

class FakeWindow : public NoteWindow {
public:
    std::wstring NoteText() override { return box; }
    void ShowNote(std::wstring_view text) override { box = text; }
    void SetNoteReadOnly(bool) override {}
    void SetCaption(std::wstring_view text) override { caption = text; }
    void ReportStoreProblem(const StoreProblem& problem) override { problems.push_back(problem); }
    bool MarkDay(DateSerial, bool) override { return false; }
    std::wstring box, caption;
    std::vector<StoreProblem> problems;
};

std::wstring Text(DateSerial day) {
    const CivilDate d = CivilFromSerial(day);
    return CanonicalDateText(kEnglish[static_cast<size_t>(d.month - 1)], d.day, d.year);
}

class DayNotesTest : public ::testing::Test {
protected:
    void Show(DateSerial day) { notes.OnCalendarChanged(Text(day)); }
    FakeClock clock;
    FakeStore store;
    FakeWindow window;
    MonthNames names = kEnglish;  // as the locale has them now
    DayNotes notes{store, clock, [this](int m) { return names[static_cast<size_t>(m - 1)]; },
                   window};
};

TEST_F(DayNotesTest, OnlyTheCalendarsOwnWholeTextNamesADay) {
    const auto read = [&](const wchar_t* text) { return ReadCalendarText(text, kEnglish); };
    EXPECT_EQ(read(L"December  5,  2026"), kToday);
    EXPECT_EQ(read(L"February  29,  2028"), SerialFromCivil({2028, 2, 29}));
    EXPECT_EQ(read(L"January  1,  100"), kMinSerial);
    for (const wchar_t* partial :
         {L"", L"12/5/2026", L"Dec", L"December  5", L"December  5,  ", L"December  5, 2026",
          L"December 5,  2026", L"December  05,  2026", L"December  5,  2026 ",
          L"February  29,  2027", L"December  32,  2026", L"December  5,  20266",
          L"Decem  5,  2026"}) {
        EXPECT_EQ(read(partial), std::nullopt) << partial;
    }
}

// The note stays with the day it was loaded for, however the calendar's text
// reads by the time it is stored.
TEST_F(DayNotesTest, TheNoteIsSavedUnderTheDayItWasLoadedFor) {
    Show(kToday + 1);
    window.box = L"for the sixth";
    names[11] = L"Dezember";  // the user changed the display language meanwhile
    notes.OnCalendarChanged(L"Dezember  9,  2026");
    EXPECT_EQ(store.notes[kToday + 1], L"for the sixth");
    EXPECT_EQ(window.caption, L"Scheduled items for Dezember  9,  2026");
}

// A failed save after typing is told once, and tried again at each pause.
TEST_F(DayNotesTest, AFailedSaveAfterTypingIsToldOnce) {
    Show(kToday);
    store.failWrites = true;
    for (const wchar_t* typed : {L"a", L"ab", L"abc"}) {
        window.box = typed;
        notes.SaveAfterTyping();
    }
    EXPECT_EQ(store.writes, 3);
    EXPECT_EQ(window.problems.size(), 1u);
    store.failWrites = false;
    notes.SaveAfterTyping();
    store.failWrites = true;
    window.box = L"abcd";
    notes.SaveAfterTyping();
    EXPECT_EQ(window.problems.size(), 2u);
    EXPECT_EQ(store.notes[kToday], L"abc");
}

}  // namespace
}  // namespace velmi
