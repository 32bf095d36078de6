// The main window's own steps where a failing reliability walk would not
// point to the cause, or which it does not take: closing, a store that fails
// to read, write or purge, the session's end, the alarm panel's re-opening,
// and alarms and countdowns against the program's clock.
#include "calendar_dates.h"
#include "main_window_fixture.h"
#include "process.h"

#include <shlobj.h>

#include <cstdio>
#include <thread>

namespace velmi::test {
namespace {

constexpr wchar_t kTodayCaption[] = L"Scheduled items for December  5,  2026";

std::vector<std::wstring> Reports(const MessageBoxAnswerer& answerer) {
    std::vector<std::wstring> texts;
    for (const SeenBox& box : answerer.Seen())
        texts.push_back(box.text);
    return texts;
}

// Also run in the day-first locale, where today's short date must not be
// read as the 12th of May.
TEST_F(MainWindowTest, StartsOnTodayWithTheFocusInTheNote) {
    EXPECT_EQ(app.App().Calendar().Text(), L"December  5,  2026");
    EXPECT_EQ(WindowText(app.Main()), kTodayCaption);
    EXPECT_EQ(GetFocus(), app.Note());
}

// A half-typed date names no day: the note stays, and closing saves it under
// the day it belongs to.
TEST_F(MainWindowTest, ClosingSavesTheShownDayAndClosesOnlyItsOwnWindows) {
    Type(app.Note(), L"x");
    SetWindowTextW(app.CalendarPart(nuv::kDateBoxId), L"Dec");
    EXPECT_EQ(WindowText(app.Note()), L"x");
    EXPECT_EQ(WindowText(app.Main()), kTodayCaption);
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPED, 0, 0, 50, 50, nullptr,
                                 nullptr, nullptr, nullptr);
    app.Menu(kMenuAboutId);
    app.Menu(kMenuProductsId);
    SendMessageW(app.Main(), WM_CLOSE, 0, 0);
    EXPECT_EQ(app.Main(), nullptr);
    EXPECT_TRUE(TopLevelWindows(kAboutWindowClass).empty());
    EXPECT_TRUE(TopLevelWindows(kProductsWindowClass).empty());
    EXPECT_TRUE(IsWindow(other));
    DestroyWindow(other);
    EXPECT_EQ(app.Stored(kToday), L"x");
}

// A note that cannot be saved stays with its day until a later change saves
// it; the user hears of it once per action, and closing asks first.
TEST_F(MainWindowTest, AFailedSaveIsToldOncePerActionAndKeepsTheNoteWithItsDay) {
    Type(app.Note(), L"k");
    app.Store().failWrites = true;
    MessageBoxAnswerer answerer(IDNO);
    Click(app.CalendarPart(nuv::kArrowIdBase + 3));  // next month: two Change events
    Pump();
    EXPECT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(WindowText(app.Main()), kTodayCaption);
    SendMessageW(app.Main(), WM_CLOSE, 0, 0);
    ASSERT_EQ(answerer.Seen().size(), 2u);
    EXPECT_EQ(answerer.Seen()[1].buttons.size(), 2u);  // Yes and No
    ASSERT_NE(app.Main(), nullptr);
    EXPECT_EQ(WindowText(app.Note()), L"k");
    app.Store().failWrites = false;
    Click(app.CalendarPart(nuv::kArrowIdBase + 3));
    EXPECT_EQ(app.Stored(kToday), L"k");
    app.Store().failWrites = true;
    answerer.SetAnswer(IDYES);
    SendMessageW(app.Main(), WM_CLOSE, 0, 0);
    EXPECT_EQ(app.Main(), nullptr);
}

// Reported, and then left alone unless the user writes a new note there.
TEST_F(MainWindowTest, AnUnreadableNoteIsOverwrittenOnlyOnceEdited) {
    MessageBoxAnswerer answerer;
    ASSERT_FALSE(RegistryNoteStore(app.Root()).WriteNote(kToday + 1, L"kept safe").Failed());
    HWND tomorrow = app.CalendarPart(nuv::kDayIdBase + CellOf(kToday + 1));
    app.Store().failReads = true;
    Click(tomorrow);
    app.Store().failReads = false;
    Pump();
    EXPECT_EQ(answerer.Seen().size(), 1u);
    Click(app.CalendarPart(nuv::kDayIdBase + CellOf(kToday)));
    EXPECT_EQ(app.Stored(kToday + 1), L"kept safe");
    app.Store().failReads = true;
    Click(tomorrow);
    app.Store().failReads = false;
    Type(app.Note(), L"new words");
    EXPECT_TRUE(app.Close());
    EXPECT_EQ(app.Stored(kToday + 1), L"new words");
}

// The ten days before today go, and nothing else, whether or not the store
// lets them go: a purge failure is not the user's business.
TEST_F(MainWindowTest, StartingPurgesTheTenDaysBeforeTodaySilently) {
    MessageBoxAnswerer answerer;
    for (const bool refused : {false, true}) {
        for (DateSerial d = kToday - 12; d <= kToday + 1; ++d)
            ASSERT_FALSE(RegistryNoteStore(app.Root()).WriteNote(d, L"n").Failed());
        app.Store().failRemovals = refused;
        ASSERT_TRUE(app.Start());
        for (DateSerial d = kToday - 12; d <= kToday + 1; ++d)
            EXPECT_EQ(app.Stored(d) == L"n", refused || d < kToday - 10 || d >= kToday) << d;
    }
    EXPECT_TRUE(answerer.Seen().empty());
}

// The report of a failed save is shown from a posted message; a tick and the
// session's end that arrive while it is open are handled as ever.
TEST_F(MainWindowTest, TicksAndTheSessionsEndGoOnWhileAStoreProblemIsShown) {
    MessageBoxAnswerer answerer;
    answerer.Hold(true);
    Type(app.Note(), L"{*09:31AM*}");
    app.Store().failWrites = true;
    Click(app.CalendarPart(nuv::kArrowIdBase + 3));
    app.Store().failWrites = false;
    app.clock.now.time = {9, 31, 10};
    PostMessageW(app.Main(), WM_TIMER, kAlarmTimerId, 0);
    std::thread session([&, main = app.Main()] {
        (void)answerer.WaitForCount(2, 10s);  // the problem and the alarm's report
        PostMessageW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    });
    EXPECT_TRUE(PumpUntil([&] { return app.Main() == nullptr; }));
    session.join();
    const std::vector<std::wstring> reports = Reports(answerer);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[1], L"Alarm went off at 09:31:10");
    EXPECT_EQ(app.Stored(kToday), L"{*09:31AM*}");
}

TEST_F(MainWindowTest, TheSessionsEndKeepsTheNote) {
    Type(app.Note(), L"\u00e9");
    app.Store().failWrites = true;
    EXPECT_TRUE(SendMessageW(app.Main(), WM_QUERYENDSESSION, 0, 0));
    PWSTR documents = nullptr;
    ASSERT_EQ(SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &documents), S_OK);
    const std::wstring path = std::wstring(documents) + L"\\Velmi note 2026-12-05.txt";
    CoTaskMemFree(documents);
    FILE* file = _wfopen(path.c_str(), L"rb");
    ASSERT_NE(file, nullptr);
    char bytes[16] = {};
    const size_t n = fread(bytes, 1, sizeof(bytes), file);
    fclose(file);
    DeleteFileW(path.c_str());
    EXPECT_EQ(std::string(bytes, n), "\xEF\xBB\xBF\xC3\xA9");
}

TEST_F(MainWindowTest, OpeningThePanelAgainSelectsTheHours) {
    app.Menu(kMenuAlarmId);
    HWND hours = app.Item(kHoursBoxId);
    Type(hours, L"1");
    app.Menu(kMenuAlarmId);  // the hours box still has the focus: no focus event
    ASSERT_EQ(GetFocus(), hours);
    Type(hours, L"7");
    EXPECT_EQ(WindowText(hours), L"7");
}

// The alarms are those of today's note, whichever day is on screen, typed
// markers included.
TEST_F(MainWindowTest, OnlyTodaysNoteMakesAlarmsGoOff) {
    MessageBoxAnswerer answerer;
    Type(app.Note(), L"{*09:31AM*} today");
    Click(app.CalendarPart(nuv::kDayIdBase + CellOf(kToday + 1)));
    Type(app.Note(), L"{*09:32AM*} tomorrow");
    app.Tick({9, 31, 10});
    Click(app.CalendarPart(nuv::kDayIdBase + CellOf(kToday)));
    app.Tick({9, 32, 10});
    EXPECT_EQ(Reports(answerer), std::vector<std::wstring>{L"Alarm went off at 09:31:10"});
    EXPECT_EQ(app.sound.plays.size(), 5u);
}

// Two hours asleep: one round of sound, then a late report for each alarm, and
// the ticks that arrive while the reports are open repeat none of them.
TEST_F(MainWindowTest, BackFromSleepWhatFellDueGoesOffAtOnce) {
    MessageBoxAnswerer answerer;
    Type(app.Note(), L"{*11:29AM*}{*10:00AM*}{*11:00AM*}{*11:31AM*}");
    app.clock.now.time = {11, 30, 5};
    PostMessageW(app.Main(), WM_TIMER, kAlarmTimerId, 0);  // handled inside the first report
    PostMessageW(app.Main(), WM_TIMER, kCountdownTimerId, 0);
    SendMessageW(app.Main(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    EXPECT_EQ(answerer.Seen().size(), 3u);  // at once, not at the next tick
    Pump();
    EXPECT_EQ(Reports(answerer),
              (std::vector<std::wstring>{L"Alarm went off at 11:30:05 (due 10:00)",
                                         L"Alarm went off at 11:30:05 (due 11:00)",
                                         L"Alarm went off at 11:30:05 (due 11:29)"}));
    EXPECT_EQ(app.sound.plays.size(), 5u);
}

TEST_F(MainWindowTest, AnEleventhCountdownIsRefused) {
    MessageBoxAnswerer answerer;
    for (int i = 0; i < 10; ++i)
        answerer.QueueReply(L"5");
    for (int i = 0; i < 11; ++i)
        app.Menu(kMenuCountdownId);
    const std::vector<SeenBox> seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 11u);
    EXPECT_EQ(seen[9].text, L"Enter number of minutes for timer");
    EXPECT_EQ(seen[10].text, L"Ten countdowns are already running");
    EXPECT_EQ(app.App().Alarms().reminders.Countdowns().size(), 10u);
}

}  // namespace
}  // namespace velmi::test
