// The main window's own steps where a failing reliability walk would not
// point to the cause: closing, the session's end, the products window and
// the alarm panel's re-opening.
#include "main_window_fixture.h"
#include "process.h"

#include <shlobj.h>

#include <cstdio>
#include <functional>

namespace velmi::test {
namespace {

// Also run in the day-first locale, where today's short date must not be
// read as the 12th of May.
TEST_F(MainWindowTest, StartsOnTodayWithTheFocusInTheNote) {
    EXPECT_EQ(mainWindow->Calendar().Text(), L"December  5,  2026");
    EXPECT_EQ(WindowText(Main()), L"Scheduled items for December  5,  2026");
    EXPECT_EQ(GetFocus(), Note());
}

TEST_F(MainWindowTest, ClosingSavesTheShownDayAndClosesOnlyItsOwnWindows) {
    Type(Note(), L"x");
    SetWindowTextW(CalendarPart(nuv::kDateBoxId), L"Dec");  // half typed: no day
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPED, 0, 0, 50, 50, nullptr,
                                 nullptr, nullptr, nullptr);
    Menu(kMenuAboutId);
    Menu(kMenuProductsId);
    SendMessageW(Main(), WM_CLOSE, 0, 0);
    EXPECT_EQ(Main(), nullptr);
    EXPECT_TRUE(TopLevelWindows(kAboutWindowClass).empty());
    EXPECT_TRUE(TopLevelWindows(kProductsWindowClass).empty());
    EXPECT_TRUE(IsWindow(other));
    DestroyWindow(other);
    EXPECT_EQ(Stored(kToday), L"x");
}

TEST_F(MainWindowTest, AFailedSaveIsToldOncePerActionAndClosingAsksFirst) {
    Type(Note(), L"k");
    store->failWrites = true;
    MessageBoxAnswerer answerer(IDNO);
    Click(CalendarPart(nuv::kArrowIdBase + 3));  // next month: two Change events
    Pump();
    EXPECT_EQ(answerer.Seen().size(), 1u);
    SendMessageW(Main(), WM_CLOSE, 0, 0);
    ASSERT_EQ(answerer.Seen().size(), 2u);
    EXPECT_EQ(answerer.Seen()[1].buttons.size(), 2u);  // Yes and No
    ASSERT_NE(Main(), nullptr);
    EXPECT_EQ(WindowText(Note()), L"k");
    answerer.SetAnswer(IDYES);
    SendMessageW(Main(), WM_CLOSE, 0, 0);
    EXPECT_EQ(Main(), nullptr);
}

TEST_F(MainWindowTest, TheSessionsEndKeepsTheNote) {
    Type(Note(), L"\u00e9");
    store->failWrites = true;
    EXPECT_TRUE(SendMessageW(Main(), WM_QUERYENDSESSION, 0, 0));
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

    // A forced end comes without the query.
    store->failWrites = false;
    Type(Note(), L"!");
    SendMessageW(Main(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(Stored(kToday), L"\u00e9!");
}

TEST_F(MainWindowTest, EveryWayOutOfProductsBringsTheNoteBack) {
    Menu(kMenuProductsId);
    EXPECT_FALSE(IsWindowVisible(Main()));
    MessageBoxAnswerer answerer;
    mainWindow->Alarms().timers = {{0, 570}, 1};  // a countdown due at 09:30
    SendMessageW(Main(), WM_TIMER, kCountdownTimerId, 0);
    EXPECT_EQ(answerer.Seen().size(), 1u);  // it goes off while the window is hidden

    const std::function<void(HWND)> ways[] = {
        [](HWND w) { SendMessageW(GetDlgItem(w, kProductsBackId), BM_CLICK, 0, 0); },
        [](HWND w) { SendMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0); },
        [](HWND w) { SendMessageW(w, WM_SYSKEYDOWN, VK_F4, KF_ALTDOWN << 16); }};
    for (const auto& leave : ways) {
        SCOPED_TRACE(&leave - ways);
        Menu(kMenuProductsId);
        const auto products = TopLevelWindows(kProductsWindowClass);
        ASSERT_EQ(products.size(), 1u);
        leave(products[0]);
        // Activation reaches this thread through the X server, a little later.
        EXPECT_TRUE(PumpUntil([&] { return GetFocus() == Note(); }, 2s));
        EXPECT_TRUE(IsWindowVisible(Main()));
    }
}

TEST_F(MainWindowTest, OpeningThePanelAgainSelectsTheHours) {
    Menu(kMenuAlarmId);
    HWND hours = Child(Main(), kHoursBoxId);
    Type(hours, L"1");
    Menu(kMenuAlarmId);  // the hours box still has the focus: no focus event
    ASSERT_EQ(GetFocus(), hours);
    Type(hours, L"7");
    EXPECT_EQ(WindowText(hours), L"7");
}

}  // namespace
}  // namespace velmi::test
