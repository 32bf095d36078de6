// The main window's own steps where a failing reliability walk would not
// point to the cause, or which it does not take: closing, a store that fails
// to read, write or purge, the session's end, the alarm panel's re-opening,
// and alarms and countdowns against the program's clock.
#include "calendar_dates.h"
#include "main_window_fixture.h"
#include "note_keys.h"
#include "process.h"
#include "registry.h"
#include "scratch_key_fixture.h"
#include "screenshot.h"
#include "store_reading.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <thread>

namespace velmi::test {
namespace {

constexpr wchar_t kTodayCaption[] = L"Scheduled items for December  5,  2026";

using Rows = std::vector<std::wstring>;

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

// Tab runs from the note to the calendar's selected day and its date box. Days
// browsed by keys, and a half-typed date, write no day; a half-typed date
// names none, so the note stays. A committed one is followed, and the note
// before it stays with its day. Closing saves the day shown.
TEST_F(MainWindowTest, TabTypedDatesAndClosingKeepEachNoteWithItsDay) {
    Type(app.Note(), L"x");
    HWND box = app.CalendarPart(nuv::kDateBoxId);
    const HWND day = app.CalendarPart(nuv::kDayIdBase + CellOf(kToday));
    for (HWND next : {day, box, app.Note(), day}) {
        Key(GetFocus(), VK_TAB, app.Keys());
        ASSERT_EQ(GetFocus(), next);
    }
    for (const UINT key : {VK_RIGHT, VK_DOWN, VK_LEFT, VK_UP})
        Key(GetFocus(), key, app.Keys());
    EXPECT_EQ(WindowText(app.Main()), kTodayCaption);
    Key(GetFocus(), VK_TAB, app.Keys());
    ASSERT_EQ(GetFocus(), box);
    SendMessageW(box, EM_SETSEL, 0, -1);
    ASSERT_TRUE(Press(L"Dec", app.Keys()));
    EXPECT_EQ(WindowText(app.Note()), L"x");
    EXPECT_EQ(WindowText(app.Main()), kTodayCaption);
    SendMessageW(box, EM_SETSEL, 0, -1);
    ASSERT_TRUE(Press(L"3/15/2027\r", app.Keys()));
    EXPECT_EQ(WindowText(box), L"March  15,  2027");
    EXPECT_EQ(WindowText(app.Main()), L"Scheduled items for March  15,  2027");
    EXPECT_EQ(ReadStore(app.Root()).notes, (Notes{{kToday, L"x"}}));
    Type(app.Note(), L"y");
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
    EXPECT_EQ(app.Stored(SerialOf(2027, 3, 15)), L"y");
}

// A note that cannot be saved stays with its day until a later change saves
// it; the user hears of it once per action. Closing offers to try again, to
// stay open or to close without it.
TEST_F(MainWindowTest, AFailedSaveIsToldOncePerActionAndKeepsTheNoteWithItsDay) {
    Type(app.Note(), L"k");
    app.Store().failWrites = true;
    MessageBoxAnswerer answerer(IDCANCEL);
    Click(app.CalendarPart(nuv::kArrowIdBase + 3));  // next month: two Change events
    Pump();
    EXPECT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(WindowText(app.Main()), kTodayCaption);
    answerer.QueueReply(L"", IDTRYAGAIN);
    SendMessageW(app.Main(), WM_CLOSE, 0, 0);
    ASSERT_EQ(answerer.Seen().size(), 3u);
    EXPECT_EQ(answerer.Seen()[2].buttons.size(), 3u);
    for (const wchar_t* choice : {L"Try Again", L"Continue", L"Cancel"})
        EXPECT_NE(answerer.Seen()[2].text.find(choice), std::wstring::npos) << choice;
    ASSERT_NE(app.Main(), nullptr);
    EXPECT_EQ(WindowText(app.Note()), L"k");
    app.Store().failWrites = false;
    Click(app.CalendarPart(nuv::kArrowIdBase + 3));
    EXPECT_EQ(app.Stored(kToday), L"k");
    Type(app.Note(), L"x");
    app.Store().failWrites = true;
    answerer.SetAnswer(IDCONTINUE);
    SendMessageW(app.Main(), WM_CLOSE, 0, 0);
    EXPECT_EQ(app.Main(), nullptr);
}

// Typing is stored once it pauses, in one write, and a value of another kind
// than text is kept until the user writes a note of that day.
TEST_F(MainWindowTest, TypingIsStoredOnceItPausesAndForeignValuesOnlyWhenReplaced) {
    app.Store().writes = 0;
    Type(app.Note(), L"held key");
    EXPECT_EQ(app.Stored(kToday), L"");
    EXPECT_TRUE(PumpUntil([&] { return app.Stored(kToday) == L"held key"; }, 3s, app.Keys()));
    EXPECT_EQ(app.Store().writes, 1);

    MessageBoxAnswerer answerer;
    const wchar_t foreign[] = L"%HOMEPATH%";
    ASSERT_EQ(RegSetKeyValueW(app.Root(), NoteKeyPath(kToday).c_str(), L"", REG_EXPAND_SZ, foreign,
                              sizeof foreign),
              ERROR_SUCCESS);
    const auto raw = [&] { return testing::Stored(app.Root(), NoteKeyPath(kToday)); };
    ASSERT_TRUE(app.Start());
    for (int i = 0; i < 10; ++i)
        Click(app.CalendarPart(nuv::kDayIdBase + CellOf(kToday + i % 2)));
    EXPECT_TRUE(app.Close());
    EXPECT_EQ(raw().type, DWORD{REG_EXPAND_SZ});
    EXPECT_EQ(raw().size, sizeof foreign);
    ASSERT_FALSE(answerer.Seen().empty());
    EXPECT_NE(answerer.Seen()[0].text.find(L"could not be read"), std::wstring::npos);
    ASSERT_TRUE(app.Start());
    Type(app.Note(), L"mine");
    EXPECT_TRUE(app.Close());
    EXPECT_EQ(app.Stored(kToday), L"mine");
}

// The days the next purge deletes are shown read-only, with the reason above
// the note, and take no alarm. Today turns into such a day at midnight, and
// what was typed before is kept.
TEST_F(MainWindowTest, TheTenDaysBeforeTodayTakeNoEdits) {
    const HWND notice = app.Item(kNoteNoticeId);
    RECT full{}, shortened{};
    GetWindowRect(app.Note(), &full);
    EXPECT_FALSE(IsWindowVisible(notice));
    Click(app.CalendarPart(nuv::kDayIdBase + CellOf(kToday - 3)));
    EXPECT_TRUE(IsWindowVisible(notice));
    EXPECT_EQ(WindowText(notice), L"Notes of the ten days before today are not kept.");
    GetWindowRect(app.Note(), &shortened);
    EXPECT_EQ(shortened.bottom, full.bottom);
    EXPECT_GT(shortened.top, full.top);
    SaveScreenshot(app.Main(),
                   L"purged-day-" + std::to_wstring(GetDpiForWindow(app.Main())) + L"dpi");
    Type(app.Note(), L"lost");
    app.Menu(kMenuAlarmId);
    EXPECT_FALSE(IsWindowVisible(app.Item(kAlarmPanelId)));
    EXPECT_EQ(WindowText(app.Note()), L"");
    EXPECT_EQ(GetMenuState(GetMenu(app.Main()), kMenuAlarmId, MF_BYCOMMAND) & MF_GRAYED,
              static_cast<UINT>(MF_GRAYED));

    Click(app.CalendarPart(nuv::kDayIdBase + CellOf(kToday)));
    EXPECT_FALSE(IsWindowVisible(notice));
    app.clock.now.time = {23, 59, 50};
    Type(app.Note(), L"late");
    app.Tick({23, 59, 55});
    EXPECT_FALSE(IsWindowVisible(notice));
    app.clock.now.date = {2026, 12, 6};
    app.Tick({0, 0, 20});
    EXPECT_TRUE(IsWindowVisible(notice));
    EXPECT_EQ(ReadStore(app.Root()).notes, (Notes{{kToday, L"late"}}));
}

// The ten days before today go, and nothing else, whether or not the store
// lets them go: a purge failure is not the user's business. A purge is
// repeated only where it may find something: a day that could not be
// removed, or a new today.
TEST_F(MainWindowTest, PurgesTheTenDaysBeforeTodaySilentlyAndAgainOnlyWhenNeeded) {
    MessageBoxAnswerer answerer;
    for (const bool refused : {false, true}) {
        for (DateSerial d = kToday - 12; d <= kToday + 1; ++d)
            ASSERT_FALSE(RegistryNoteStore(app.Root()).WriteNote(d, L"n").Failed());
        app.Store().failRemovals = refused;
        ASSERT_TRUE(app.Start());
        for (DateSerial d = kToday - 12; d <= kToday + 1; ++d)
            EXPECT_EQ(app.Stored(d) == L"n", refused || d < kToday - 10 || d >= kToday) << d;
        app.Store().removals = 0;
        Click(app.CalendarPart(nuv::kDayIdBase + CellOf(kToday + 1)));
        EXPECT_EQ(app.Store().removals, refused ? 10 : 0);
    }
    app.Store().failRemovals = false;
    app.clock.now.date = {2026, 12, 6};
    Click(app.CalendarPart(nuv::kDayIdBase + CellOf(kToday)));
    EXPECT_EQ(app.Store().removals, 20);
    EXPECT_TRUE(answerer.Seen().empty());
}

// The report of a failed save is shown from a posted message; a tick and the
// session's end that arrive while it is open are handled as ever, and the
// alarm's row is kept for the next run.
TEST_F(MainWindowTest, TicksAndTheSessionsEndGoOnWhileAStoreProblemIsShown) {
    MessageBoxAnswerer answerer;
    answerer.Hold(true);
    Type(app.Note(), L"Call {*09:31AM*}");
    app.Store().failWrites = true;
    Click(app.CalendarPart(nuv::kArrowIdBase + 3));
    app.Store().failWrites = false;
    app.clock.now.time = {9, 31, 10};
    PostMessageW(app.Main(), WM_TIMER, kCheckTimerId, 0);
    std::thread session([&, main = app.Main()] {
        (void)answerer.WaitForCount(1, 10s);
        for (int i = 0; i < 500 && !IsWindowVisible(FindWindowW(kReminderWindowClass, nullptr));
             ++i)
            Sleep(20);
        PostMessageW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    });
    EXPECT_TRUE(PumpUntil([&] { return app.Main() == nullptr; }));
    session.join();
    EXPECT_EQ(Reports(answerer).size(), 1u);
    EXPECT_EQ(app.Stored(kToday), L"Call {*09:31AM*}");
    EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, app.MemoryPath(), L"Snoozes", L"").text,
              L"2026-12-05 09:31\tA\t2026-12-05 09:31\t0\tCall");
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

// The panel opens at the quarter hour after the program's time, with the
// hours selected even when opened again (they hear no focus event then). Tab
// stays among its controls; Space, A, P and a click set AM or PM. An hour or
// minute out of range stays, with a word saying what the box takes; "Set"
// writes nothing then, nor for hour 00, and sends the user there. The caret
// follows the marker; Escape is "Cancel".
TEST_F(MainWindowTest, ThePanelKeepsItsKeysAndWritesOnlyMarkersThatCanGoOff) {
    Type(app.Note(), L"ab");
    SendMessageW(app.Note(), EM_SETSEL, 1, 1);
    app.clock.now.time = {23, 50, 0};
    app.Menu(kMenuAlarmId);
    const HWND hours = app.Item(kHoursBoxId), minutes = app.Item(kMinutesBoxId),
               designator = app.Item(kDesignatorId), set = app.Item(kSetButtonId),
               word = app.Item(kRangeWordId);
    EXPECT_EQ(WindowText(hours) + WindowText(minutes) + WindowText(designator), L"1200AM");
    Type(hours, L"1");
    app.Menu(kMenuAlarmId);
    ASSERT_EQ(GetFocus(), hours);
    Type(hours, L"13");
    EXPECT_EQ(WindowText(hours) + L" " + WindowText(word), L"13 Hours 1 to 12");
    SaveScreenshot(app.Main(),
                   L"alarm-panel-" + std::to_wstring(GetDpiForWindow(app.Main())) + L"dpi");
    const HWND ring[] = {hours, minutes, designator, set, app.Item(kCancelButtonId), hours};
    for (size_t i = 1; i < std::size(ring); ++i) {
        Key(GetFocus(), VK_TAB, app.Keys());
        EXPECT_EQ(GetFocus(), ring[i]);
    }
    for (const wchar_t* typed : {L"13", L"00"}) {
        Type(hours, typed);
        SendMessageW(set, BM_CLICK, 0, 0);
    }
    Type(hours, L"3");
    Type(minutes, L"65");
    EXPECT_EQ(WindowText(word), L"Minutes 0 to 59");
    SendMessageW(set, BM_CLICK, 0, 0);
    EXPECT_EQ(WindowText(app.Note()), L"ab");
    EXPECT_EQ(GetFocus(), minutes);
    Type(minutes, L"5");
    EXPECT_EQ(WindowText(word), L"");
    SetFocus(designator);
    ASSERT_TRUE(PressKey(VK_SPACE, false, app.Keys()));
    Type(designator, L"a");
    Click(designator);
    Type(designator, L"\r", app.Keys());  // Enter moves on to "Set"
    EXPECT_EQ(GetFocus(), set);
    SendMessageW(set, BM_CLICK, 0, 0);
    EXPECT_EQ(WindowText(app.Note()), L"a{*03:05PM*}b");
    EXPECT_EQ(SendMessageW(app.Note(), EM_GETSEL, 0, 0), MAKELRESULT(12, 12));

    app.Menu(kMenuAlarmId);
    Key(GetFocus(), VK_ESCAPE, app.Keys());
    EXPECT_FALSE(IsWindowVisible(app.Item(kAlarmPanelId)));
    EXPECT_EQ(GetFocus(), app.Note());
    EXPECT_EQ(WindowText(app.Note()), L"a{*03:05PM*}b");
}

// The scroll bar comes and goes with the text's height; the box keeps its place.
TEST_F(MainWindowTest, TheNoteScrollsOnlyWhenTallerAndCtrlASelectsIt) {
    HWND note = app.Note();
    const auto scrolls = [&] { return (GetWindowLongW(note, GWL_STYLE) & WS_VSCROLL) != 0; };
    RECT before{}, after{};
    GetWindowRect(note, &before);
    std::wstring text;
    for (int i = 1; i <= 100; ++i)
        text += L"line " + std::to_wstring(i) + L"\r\n";
    EXPECT_FALSE(scrolls());
    SendMessageW(note, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    EXPECT_TRUE(scrolls());
    GetWindowRect(note, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    ASSERT_TRUE(PressKey('A', true, app.Keys()));
    EXPECT_EQ(SendMessageW(note, EM_GETSEL, 0, 0), MAKELRESULT(0, text.size()));
    Type(note, L"\b");
    EXPECT_FALSE(scrolls());
}

// The calendar marks the days of the shown month whose stored note is not
// empty, and follows the store: a note saved, a note emptied, a day purged.
TEST_F(MainWindowTest, DaysWithStoredNotesAreMarked) {
    for (const DateSerial d : {kToday - 3, kToday + 2})
        ASSERT_FALSE(RegistryNoteStore(app.Root()).WriteNote(d, L"n").Failed());
    ASSERT_TRUE(app.Start());
    const auto marked = [&](DateSerial day) {  // underlined in the marks' dark blue
        const std::vector<COLORREF> pixels =
            ClientPixels(app.CalendarPart(nuv::kDayIdBase + CellOf(day)));
        return std::find(pixels.begin(), pixels.end(), RGB(0, 0, 160)) != pixels.end();
    };
    EXPECT_TRUE(marked(kToday + 2));
    EXPECT_FALSE(marked(kToday - 3));  // purged at the start
    EXPECT_FALSE(marked(kToday));
    Type(app.Note(), L"today");
    Click(app.CalendarPart(nuv::kDayIdBase + CellOf(kToday + 2)));
    EXPECT_TRUE(marked(kToday));
    SendMessageW(app.Note(), EM_SETSEL, 0, -1);
    Type(app.Note(), L"\b");
    Click(app.CalendarPart(nuv::kDayIdBase + CellOf(kToday)));
    EXPECT_FALSE(marked(kToday + 2));
    EXPECT_EQ(ReadStore(app.Root()).notes, (Notes{{kToday, L"today"}}));  // its key went
}

// What the timer takes is said, and asked again, rather than an answer
// dropped. A countdown that starts is shown without taking the focus.
TEST_F(MainWindowTest, ACountdownAnswerThatIsNoUsableNumberIsExplained) {
    MessageBoxAnswerer answerer;
    for (const wchar_t* answer : {L"abc", L"-5", L"2147483648"}) {
        answerer.QueueReply(answer);
        answerer.QueueReply(L"");  // the explanation's OK
    }
    answerer.QueueReply(L"1");
    app.Menu(kMenuCountdownId);
    const std::vector<std::wstring> seen = Reports(answerer);
    ASSERT_EQ(seen.size(), 7u);
    for (size_t i = 1; i < 6; i += 2)
        EXPECT_EQ(seen[i], kCountdownRefusedText);
    app.Pump();
    EXPECT_EQ(app.Rows(), (Rows{L"Ends at 09:31 \u2014 Countdown of 1 minutes, started at 09:30"}));
    EXPECT_EQ(GetFocus(), app.Note());
    app.Tick({9, 31, 10});
    EXPECT_EQ(app.Rows(), (Rows{L"Timer went off at 09:31:10 \u2014 Countdown of 1 minutes, "
                                L"started at 09:30"}));
}

// Eight entries after two hours asleep: one window with eight rows, above
// the others but without the keyboard, and one round of sound; a check while
// it sounds starts no second round. Snooze brings a row back, the close box
// snoozes them all.
TEST_F(MainWindowTest, WhatFellDueInASleepMakesOneWindowWithoutTakingTheKeyboard) {
    MessageBoxAnswerer answerer;
    answerer.QueueReply(L"30");
    app.Menu(kMenuCountdownId);
    Type(app.Note(),
         L"Dentist {*10:00AM*}\r\nCall {*10:00AM*}\r\n{*10:30AM*}\r\nx{*10:40AM*}\r\n"
         L"y{*10:50AM*}\r\nz{*11:00AM*}\r\nw {*11:29AM*}");
    app.clock.now.time = {11, 30, 5};
    PostMessageW(app.Main(), WM_TIMER, kCheckTimerId, 0);
    SendMessageW(app.Main(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    app.Pump();
    const Rows rows = app.Rows();
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[0], L"Alarm went off at 11:30:05 (due 10:00) \u2014 Dentist");
    EXPECT_EQ(rows[2],
              L"Timer went off at 11:30:05 (due 10:00) \u2014 Countdown of 30 minutes, "
              L"started at 09:30");
    EXPECT_EQ(WindowText(app.Reminders()), L"Velmi - Reminders");
    EXPECT_TRUE(GetWindowLongW(app.Reminders(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetForegroundWindow(), app.Main());
    EXPECT_EQ(GetFocus(), app.Note());
    EXPECT_TRUE(IsWindowEnabled(app.Main()));
    EXPECT_EQ(app.sound.plays, 1);
    EXPECT_TRUE(answerer.Seen().size() == 1u);  // the countdown's question alone
    SaveScreenshot(app.Reminders(),
                   L"reminders-" + std::to_wstring(GetDpiForWindow(app.Reminders())) + L"dpi");

    HWND list = Child(app.Reminders(), kReminderListId);
    SendMessageW(list, LB_SETSEL, FALSE, -1);
    SendMessageW(list, LB_SETSEL, TRUE, 1);
    app.PressButton(kSnoozeId);
    ASSERT_EQ(app.Rows().size(), 8u);
    EXPECT_EQ(app.Rows()[7], L"Snoozed until 11:35 \u2014 Call");
    app.Tick({11, 34, 50});
    EXPECT_EQ(app.Rows().size(), 8u);
    app.Tick({11, 35, 1});
    EXPECT_EQ(app.Rows()[7], L"Alarm went off at 11:35:01 (due 10:00) \u2014 Call");
    EXPECT_TRUE(PumpUntil([&] { return app.sound.plays == 1 + kAlarmPlays; }));

    SendMessageW(app.Reminders(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(app.Reminders()));
    app.Menu(kMenuRemindersId);
    EXPECT_EQ(app.Rows().size(), 8u);
    EXPECT_EQ(app.Rows()[0], L"Snoozed until 11:40 \u2014 Dentist");
    EXPECT_FALSE(GetWindowLongW(app.Reminders(), GWL_EXSTYLE) & WS_EX_TOPMOST);

    // Its check box starts this program at sign-in, or no longer.
    for (const std::wstring& run :
         {L"\"" + ModulePath(nullptr) + L"\" /minimized", std::wstring()}) {
        app.PressButton(kStartAtSignInId);
        EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER,
                              L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"Velmi", L"")
                      .text,
                  run);
    }
}

// Closed with a row on the screen, a snooze and a countdown still to come,
// and an alarm due while it was closed: the next run shows each once.
TEST_F(MainWindowTest, ARestartNeitherRepeatsNorLosesAnything) {
    MessageBoxAnswerer answerer;
    answerer.QueueReply(L"60");
    app.Menu(kMenuCountdownId);
    Type(app.Note(), L"Dentist {*09:31AM*}\r\nGym {*09:32AM*}\r\nCall {*10:00AM*}");
    app.Tick({9, 31, 10});
    SendMessageW(app.Reminders(), WM_CLOSE, 0, 0);  // snoozed to 09:36
    app.Tick({9, 32, 10});
    ASSERT_TRUE(app.Close());
    app.clock.now.time = {10, 40, 5};
    ASSERT_TRUE(app.Start());
    EXPECT_EQ(app.Rows(),
              (Rows{L"Alarm went off at 10:40:05 (due 09:32) \u2014 Gym",
                    L"Alarm went off at 10:40:05 (due 09:31) \u2014 Dentist",
                    L"Alarm went off at 10:40:05 (due 10:00) \u2014 Call",
                    L"Timer went off at 10:40:05 (due 10:30) \u2014 Countdown of 60 minutes, "
                    L"started at 09:30"}));
    app.PressButton(kDismissAllId);
    EXPECT_FALSE(IsWindowVisible(app.Reminders()));
    ASSERT_TRUE(app.Close());
    ASSERT_TRUE(app.Start());
    app.Tick({10, 41, 1});
    EXPECT_EQ(app.Rows(), Rows{});
}

}  // namespace
}  // namespace velmi::test
