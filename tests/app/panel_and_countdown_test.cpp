// The alarm panel and the countdown, driven on the real controls.
#include "main_window_fixture.h"

#include <gtest/gtest.h>

namespace velmi::test {
namespace {

class PanelTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Start();
    }
    HWND Item(int id) const {
        std::pair<int, HWND> search{id, nullptr};
        EnumChildWindows(
            mainWindow->Window(),
            [](HWND c, LPARAM p) -> BOOL {
                auto* s = reinterpret_cast<std::pair<int, HWND>*>(p);
                if (GetDlgCtrlID(c) != s->first) return TRUE;
                s->second = c;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.second;
    }
    // A keystroke as the message loop delivers it: keys first, then characters.
    void Type(const std::wstring& keys) {
        for (wchar_t c : keys) {
            MSG msg{GetFocus(), WM_KEYDOWN, c == L'\r' ? VK_RETURN : 0u, 0, 0, {}};
            if (c == L'\r' && mainWindow->PreTranslateMessage(msg)) continue;
            SendMessageW(GetFocus(), WM_CHAR, c, 1);
        }
    }
    void OpenPanelWithCaretAt(int pos) {
        SendMessageW(Note(), EM_SETSEL, pos, pos);
        SendMessageW(mainWindow->Window(), WM_COMMAND, kMenuAlarmId, 0);
    }
    void Press(int id) {
        SendMessageW(Item(id), BM_CLICK, 0, 0);
        Pump();
    }
};

TEST_F(PanelTest, SetPutsTheMarkerWhereTheCaretWas) {
    SetWindowTextW(Note(), L"Buy milk");
    OpenPanelWithCaretAt(0);
    EXPECT_TRUE(IsWindowVisible(Item(kAlarmPanelId)));
    EXPECT_EQ(GetFocus(), Item(kHoursBoxId));
    Type(L"9");
    Type(L"\r");  // Enter moves on to the minutes
    EXPECT_EQ(GetFocus(), Item(kMinutesBoxId));
    Type(L"30");
    SaveScreenshot(mainWindow->Window(), L"alarm_panel");
    Press(kSetButtonId);  // the 9 gets its leading zero as the focus leaves
    EXPECT_EQ(WindowText(Note()), L"{*09:30AM*}Buy milk");
    EXPECT_FALSE(IsWindowVisible(Item(kAlarmPanelId)));
    EXPECT_TRUE(SendMessageW(Note(), EM_GETMODIFY, 0, 0));  // stored like any edit
    EXPECT_EQ(mainWindow->Alarms().alarms.count, 0);        // armed at the next load only

    SetWindowTextW(Note(), L"Buy milk");
    OpenPanelWithCaretAt(8);
    Type(L"09\r30");
    Press(kSetButtonId);
    EXPECT_EQ(WindowText(Note()), L"Buy milk{*09:30AM*}");
}

TEST_F(PanelTest, TheBoxesTakeOnlyDigitsWithinRange) {
    OpenPanelWithCaretAt(0);
    Type(L"13");
    EXPECT_EQ(WindowText(Item(kHoursBoxId)), L"00");
    Type(L"\r");
    Type(L"65");
    EXPECT_EQ(WindowText(Item(kMinutesBoxId)), L"");
    Type(L"a ,5");  // letters, blanks and punctuation refused
    EXPECT_EQ(WindowText(Item(kMinutesBoxId)), L"5");
    Type(L"\r");                                // Enter reaches no box
    EXPECT_EQ(GetFocus(), Item(kSetButtonId));  // focused, not pressed
    EXPECT_TRUE(IsWindowVisible(Item(kAlarmPanelId)));
    EXPECT_EQ(WindowText(Item(kMinutesBoxId)), L"05");  // padded when it lost the focus

    SetFocus(Item(kHoursBoxId));
    Type(L"123");  // the third digit does not fit
    EXPECT_EQ(WindowText(Item(kHoursBoxId)), L"12");
    Type(L"\b");
    EXPECT_EQ(WindowText(Item(kHoursBoxId)), L"1");
}

TEST_F(PanelTest, TheDesignatorTogglesAndEveryOpeningStartsAtAM) {
    OpenPanelWithCaretAt(0);
    HWND label = Item(kDesignatorId);
    SendMessageW(mainWindow->Window(), WM_COMMAND, MAKEWPARAM(kDesignatorId, STN_CLICKED),
                 reinterpret_cast<LPARAM>(label));
    EXPECT_EQ(WindowText(label), L"PM");
    SendMessageW(mainWindow->Window(), WM_COMMAND, MAKEWPARAM(kDesignatorId, STN_CLICKED),
                 reinterpret_cast<LPARAM>(label));
    EXPECT_EQ(WindowText(label), L"AM");
    SendMessageW(mainWindow->Window(), WM_COMMAND, MAKEWPARAM(kDesignatorId, STN_CLICKED),
                 reinterpret_cast<LPARAM>(label));
    Type(L"7\r3");
    Press(kSetButtonId);
    EXPECT_EQ(WindowText(Note()), L"{*07:03PM*}");  // an empty note becomes the marker
    OpenPanelWithCaretAt(0);
    EXPECT_EQ(WindowText(label), L"AM");
    EXPECT_EQ(WindowText(Item(kHoursBoxId)), L"00");
}

TEST_F(PanelTest, CancelLeavesTheNoteAndLaterCaretMovesDoNotCount) {
    SetWindowTextW(Note(), L"abcdef");
    OpenPanelWithCaretAt(2);
    Type(L"11");
    Press(kCancelButtonId);
    EXPECT_EQ(WindowText(Note()), L"abcdef");
    EXPECT_FALSE(IsWindowVisible(Item(kAlarmPanelId)));

    SendMessageW(Note(), EM_SETSEL, 2, 4);  // "cd" selected
    SendMessageW(mainWindow->Window(), WM_COMMAND, kMenuAlarmId, 0);
    SendMessageW(Note(), EM_SETSEL, 6, 6);
    SendMessageW(Note(), WM_CHAR, L'!', 1);  // typed while the panel is open
    SetFocus(Item(kHoursBoxId));
    Type(L"8");
    Press(kSetButtonId);
    EXPECT_EQ(WindowText(Note()), L"ab{*08:00AM*}cdef!");
}

TEST_F(PanelTest, AShortenedNoteTakesTheMarkerAtItsEnd) {
    std::wstring longNote;
    while (longNote.size() < 40000)
        longNote += L"a line of the note\r\n";
    SetWindowTextW(Note(), longNote.c_str());
    OpenPanelWithCaretAt(39000);
    Press(kSetButtonId);
    EXPECT_EQ(WindowText(Note()).substr(39000, 11), L"{*00:00AM*}");
    EXPECT_EQ(WindowText(Note()).size(), longNote.size() + 11);

    OpenPanelWithCaretAt(30);
    SetWindowTextW(Note(), L"short");
    Press(kSetButtonId);
    EXPECT_EQ(WindowText(Note()), L"short{*00:00AM*}");
}

class CountdownTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        clock.now.time = {10, 20, 40};
        Start();
    }
    // The Timer menu, its input box answered with the replies in turn.
    std::vector<SeenBox> Countdown(std::initializer_list<std::pair<std::wstring, int>> replies) {
        MessageBoxAnswerer answerer;
        for (const auto& [text, button] : replies)
            answerer.QueueReply(text, button);
        SendMessageW(mainWindow->Window(), WM_COMMAND, kMenuCountdownId, 0);
        return answerer.Seen();
    }
    const MinuteTable& Timers() { return mainWindow->Alarms().timers; }
};

TEST_F(CountdownTest, FifteenMinutesFromTwentyPastTenGoOffAtTenThirtyFive) {
    const auto boxes = Countdown({{L"15", IDOK}});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, L"Velmi");
    EXPECT_EQ(boxes[0].text, L"Enter number of minutes for timer");
    ASSERT_EQ(Timers().count, 1);
    EXPECT_EQ(Timers().minutes[1], 635);

    MessageBoxAnswerer answerer;
    clock.now.time = {10, 34, 59};
    SendMessageW(mainWindow->Window(), WM_TIMER, kCountdownTimerId, 0);
    EXPECT_TRUE(answerer.Seen().empty());
    clock.now.time = {10, 35, 30};
    SendMessageW(mainWindow->Window(), WM_TIMER, kCountdownTimerId, 0);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].text, L"Timer went off at 10:35:30");
    EXPECT_EQ(sound.plays, std::vector<std::wstring>(5, L"laser.wav"));
}

TEST_F(CountdownTest, HalvesRoundToEvenOnTheSumWithTheMinute) {
    (void)Countdown({{L"2.5", IDOK}});
    clock.now.time = {10, 21, 0};
    (void)Countdown({{L"2.5", IDOK}});
    (void)Countdown({{L"0", IDOK}});
    ASSERT_EQ(Timers().count, 3);
    EXPECT_EQ(Timers().minutes[1], 622);
    EXPECT_EQ(Timers().minutes[2], 624);
    EXPECT_EQ(Timers().minutes[3], 621);
}

TEST_F(CountdownTest, ANonNumberAsksAgainAndCancelEnds) {
    const auto boxes = Countdown({{L"soon", IDOK}, {L"1e12", IDOK}, {L"", IDCANCEL}});
    EXPECT_EQ(boxes.size(), 3u);
    EXPECT_EQ(Timers().count, 0);
    (void)Countdown({{L"", IDOK}});  // OK with an empty field ends it too
    EXPECT_EQ(Timers().count, 0);
}

TEST_F(CountdownTest, EndsOutsideTodayAndAnEleventhCountdown) {
    (void)Countdown({{L"-30", IDOK}});   // before today began: 09:50 is long past, but today
    (void)Countdown({{L"-700", IDOK}});  // before midnight: not recorded
    ASSERT_EQ(Timers().count, 1);
    EXPECT_EQ(Timers().minutes[1], 590);
    clock.now.time = {23, 50, 0};
    (void)Countdown({{L"15", IDOK}});  // carries into tomorrow
    EXPECT_EQ(Timers().minutes[2], 5);
    for (int i = 0; i < 9; ++i)
        (void)Countdown({{std::to_wstring(i), IDOK}});
    ASSERT_EQ(Timers().count, 10);
    EXPECT_EQ(Timers().minutes[1], 5);  // the oldest made room
    EXPECT_EQ(Timers().minutes[10], 1438);
}

}  // namespace
}  // namespace velmi::test
