#include "main_window_fixture.h"

#include <shlobj.h>

#include <cstdio>
#include <thread>

namespace velmi::test {
namespace {

using namespace std::chrono_literals;

TEST_F(MainWindowTest, StartsOnTodayWithTheFocusInTheNote) {
    Start();
    EXPECT_EQ(WindowText(mainWindow->Window()), L"Scheduled items for December  5,  2026");
    EXPECT_EQ(mainWindow->Calendar().Text(), L"December  5,  2026");
    EXPECT_EQ(GetFocus(), Note());
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(mainWindow->Window(), kAlarmPanelId)));
    HMENU menu = GetMenu(mainWindow->Window());
    ASSERT_EQ(GetMenuItemCount(menu), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(GetSubMenu(menu, i), nullptr);  // no drop-downs
    RECT client{};
    GetClientRect(mainWindow->Window(), &client);
    EXPECT_EQ(client.right, 505);    // 7575 twips at 96 dpi
    EXPECT_EQ(client.bottom, 233);   // 3495 twips
    EXPECT_EQ(Stored(kToday), L"");  // the load step's second change stored it
}

TEST_F(MainWindowTest, TabGoesFromTheNoteThroughTheCalendarAndBack) {
    Start();
    Key(VK_TAB);
    // 1 December 2026 was a Tuesday: the first two day cells are hidden.
    EXPECT_EQ(GetFocus(), CalendarPart(nuv::kDayIdBase + 32));  // the 31st, the last shown
    for (int i = 0; i < 30; ++i)
        Key(VK_TAB);
    EXPECT_EQ(GetFocus(), CalendarPart(nuv::kDayIdBase + 2));
    Key(VK_TAB);
    EXPECT_EQ(GetFocus(), CalendarPart(nuv::kDateBoxId));
    Key(VK_TAB);
    EXPECT_EQ(GetFocus(), Note());
}

TEST_F(MainWindowTest, AFailedSaveOnClosingAsksWhetherToCloseAnyway) {
    Start();
    SendMessageW(Note(), WM_CHAR, L'x', 1);
    store->failWrites = true;
    MessageBoxAnswerer answerer(IDNO);
    SendMessageW(mainWindow->Window(), WM_CLOSE, 0, 0);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    const auto box = answerer.Seen()[0];
    EXPECT_EQ(box.title, L"Velmi");
    EXPECT_NE(box.text.find(L"December  5,  2026"), std::wstring::npos);
    EXPECT_NE(box.text.find(L"Close Velmi anyway?"), std::wstring::npos);
    EXPECT_TRUE(IsWindow(mainWindow->Window()));
    EXPECT_EQ(WindowText(Note()), L"x");

    answerer.SetAnswer(IDYES);
    SendMessageW(mainWindow->Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(mainWindow->Window(), nullptr);
    MSG quit;
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(MainWindowTest, AtTheSessionsEndAnUnsavedNoteGoesToAFile) {
    Start();
    SendMessageW(Note(), WM_CHAR, L'\u00e9', 1);
    store->failWrites = true;
    EXPECT_TRUE(SendMessageW(mainWindow->Window(), WM_QUERYENDSESSION, 0, 0));
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

TEST_F(MainWindowTest, ADateChangeThatCannotSaveIsReportedOncePerAction) {
    store->failWrites = false;
    Start();
    SendMessageW(Note(), WM_CHAR, L'k', 1);
    store->failWrites = true;
    MessageBoxAnswerer answerer;
    Click(CalendarPart(nuv::kArrowIdBase + 3));  // next month: two Change events
    Pump();
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_NE(answerer.Seen()[0].text.find(L"December  5,  2026"), std::wstring::npos);
    EXPECT_EQ(WindowText(Note()), L"k");
    EXPECT_EQ(WindowText(mainWindow->Window()), L"Scheduled items for December  5,  2026");

    store->failWrites = false;
    Click(CalendarPart(nuv::kDayIdBase + 10));  // the next change saves the day it kept
    Pump();
    EXPECT_EQ(Stored(kToday), L"k");
}

TEST_F(MainWindowTest, TheProblemBoxStaysSafeWhileTicksAndTheSessionsEndArrive) {
    store->failWrites = false;
    Start();
    SendMessageW(Note(), WM_CHAR, L'n', 1);
    mainWindow->Alarms().alarms = {{0, 570}, 1};  // due now, at 09:30
    store->failWrites = true;
    MessageBoxAnswerer answerer;
    answerer.Hold(true);
    HWND window = mainWindow->Window();
    std::thread meanwhile([&] {
        if (!answerer.WaitForCount(1, 10s)) return;
        SendMessageW(window, WM_QUERYENDSESSION, 0, 0);  // saves, or writes the file
        PostMessageW(window, WM_TIMER, kAlarmTimerId, 0);
        answerer.Hold(false);
    });
    Click(CalendarPart(nuv::kArrowIdBase + 3));
    for (int i = 0; i < 20 && answerer.Seen().size() < 2; ++i)
        Pump();
    meanwhile.join();
    Pump();
    ASSERT_GE(answerer.Seen().size(), 2u);
    EXPECT_EQ(answerer.Seen()[1].text, L"Alarm went off at 09:30:05");
    EXPECT_EQ(sound.plays.size(), 5u);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(WindowText(Note()), L"n");
}

TEST_F(MainWindowTest, AlarmsGoOffWithFivePlaysAndAReport) {
    Start();
    SetWindowTextW(Note(), L"{*09:30AM*}Dentist {*09:30AM*}again");
    Click(CalendarPart(nuv::kDayIdBase + 10));  // the note is kept for the 9th ...
    Click(CalendarPart(nuv::kDayIdBase + 6));   // ... and the 5th shows it again, armed
    ASSERT_EQ(mainWindow->Alarms().alarms.count, 2);
    MessageBoxAnswerer answerer;
    SendMessageW(mainWindow->Window(), WM_TIMER, kAlarmTimerId, 0);
    ASSERT_EQ(answerer.Seen().size(), 1u);  // two markers of one minute: one report
    const auto box = answerer.Seen()[0];
    EXPECT_EQ(box.text, L"Alarm went off at 09:30:05");
    EXPECT_EQ(box.title, L"Velmi");
    EXPECT_EQ(box.buttons, std::vector<std::wstring>{L"OK"});
    EXPECT_FALSE(box.hasIcon);
    EXPECT_EQ(sound.plays, std::vector<std::wstring>(5, L"laser.wav"));

    clock.now.time = {9, 31, 0};
    SendMessageW(mainWindow->Window(), WM_TIMER, kAlarmTimerId, 0);
    EXPECT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(mainWindow->Alarms().alarms.count, 2);  // nothing is disarmed
}

}  // namespace
}  // namespace velmi::test
