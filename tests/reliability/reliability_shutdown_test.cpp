// Velmi.exe as its own process: killed amid date changes and after typing
// pauses, the session ending
// while boxes are open, and a note that stretches the store through a close
// and a new start.
#include "calendar_dates.h"
#include "message_box_answerer.h"
#include "process.h"
#include "store_reading.h"
#include "velmi_process.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

namespace velmi::test {
namespace {

using namespace std::chrono_literals;

int Today() {
    return DateOf(RealToday()).wDay;
}

Serial SerialOfDay(int day) {
    return RealToday() - Today() + day;
}

// The notes as the registry holds them, the layout checked on the way.
Notes Stored() {
    const StoreContents contents = ReadStore(HKEY_LOCAL_MACHINE);
    for (const std::wstring& fault : contents.faults)
        ADD_FAILURE() << fault;
    return contents.notes;
}

LRESULT SendWithin(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wp, lp, SMTO_NORMAL, 120000, &result);
    return static_cast<LRESULT>(result);
}

// Puts the text on the clipboard and pastes it where the note's caret is.
void Paste(HWND note, const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    EXPECT_NE(SetClipboardData(CF_UNICODETEXT, memory), nullptr);
    CloseClipboard();
    SendWithin(note, WM_PASTE, 0, 0);
}

class ReliabilityShutdown : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Tolvane");
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tolvane");
    }
    void TearDown() override { SetUp(); }
};

TEST_F(ReliabilityShutdown, KilledAmidDateChangesEveryNoteStaysWithItsDay) {
    const std::vector<int> kept = KeptDaysOfThisMonth();
    const std::vector<int> days{Today(), kept[0], kept[1], kept[2]};
    Notes expected;
    {
        VelmiProcess velmi;
        ASSERT_NE(velmi.WaitForMainWindow(), nullptr);
        HWND note = velmi.Child(kNoteBoxId);
        for (int day : days) {
            if (day != Today()) test::Click(velmi.DayCell(day));
            const std::wstring text = L"the note of " + CalendarText(SerialOfDay(day));
            test::Type(note, text);
            expected[SerialOfDay(day)] = text;
        }
        // What is typed is stored once typing pauses, with no change of day.
        test::Click(velmi.DayCell(Today()));
        test::Type(note, L"more, then ");  // at the caret, before the text
        expected[RealToday()] = L"more, then " + expected[RealToday()];
        std::this_thread::sleep_for(3s);
        ASSERT_EQ(
            test::RunProcess(L"taskkill.exe /f /pid " + std::to_wstring(velmi.Pid())).exitCode, 0u);
        ASSERT_TRUE(velmi.WaitForExit(10s));
    }
    ASSERT_EQ(Stored(), expected);

    // Each round queues a burst of clicks among the four days and kills the
    // program while it works through them, a little later each time.
    for (const auto delay : {30ms, 150ms, 400ms, 900ms, 1700ms, 2600ms}) {
        VelmiProcess velmi;
        ASSERT_NE(velmi.WaitForMainWindow(), nullptr);
        std::vector<HWND> cells;
        for (int day : days)
            cells.push_back(velmi.DayCell(day));
        for (int i = 0; i < 400; ++i) {
            PostMessageW(cells[static_cast<size_t>(i % 4)], WM_LBUTTONDOWN, MK_LBUTTON,
                         MAKELPARAM(3, 3));
            PostMessageW(cells[static_cast<size_t>(i % 4)], WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
        }
        std::this_thread::sleep_for(delay);
        ASSERT_EQ(
            test::RunProcess(L"taskkill.exe /f /pid " + std::to_wstring(velmi.Pid())).exitCode, 0u);
        ASSERT_TRUE(velmi.WaitForExit(10s));
        ASSERT_EQ(Stored(), expected) << "killed after " << delay.count() << " ms";
    }
    VelmiProcess again;
    ASSERT_NE(again.WaitForMainWindow(), nullptr);
    EXPECT_EQ(WindowText(again.Child(kNoteBoxId)), expected[RealToday()]);
}

// The About window and the countdown's input box stay open while the session
// ends: the note is saved under the day it belongs to.
TEST_F(ReliabilityShutdown, TheSessionEndsWhileBoxesAreOpenOnAnotherDay) {
    const int other = KeptDaysOfThisMonth().front();
    VelmiProcess velmi;
    HWND main = velmi.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    test::Click(velmi.DayCell(other));
    test::Type(velmi.Child(kNoteBoxId), L"for the other day");
    PostMessageW(main, WM_COMMAND, kMenuAboutId, 0);
    PostMessageW(main, WM_COMMAND, kMenuCountdownId, 0);  // its input box waits for an answer
    test::MessageBoxAnswerer boxes(IDOK, velmi.Pid());
    boxes.Hold(true);
    ASSERT_TRUE(boxes.WaitForCount(1, 30s));
    EXPECT_EQ(test::TopLevelWindows(kAboutWindowClass, velmi.Pid()).size(), 1u);

    EXPECT_TRUE(SendWithin(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    SendWithin(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_TRUE(velmi.WaitForExit(10s));
    EXPECT_EQ(Stored(), (Notes{{SerialOfDay(other), L"for the other day"}}));
}

// A note typed and pasted (a megabyte, every kind of line break, text beyond
// ASCII) follows its day through the store, another day and a new start.
TEST_F(ReliabilityShutdown, ANoteFollowsItsDayThroughTheStoreAndANewStart) {
    const int other = KeptDaysOfThisMonth().front();
    const std::wstring typed = L"typed: caf\u00e9 \u4e2d\u6587 \U0001F600 ";
    std::wstring pasted =
        L"CR LF\r\nlone LF\nlone CR\rCR CR LF\r\r\nend: na\u00efve \u00c5ngstr\u00f6m, "
        L"\u65e5\u672c\u8a9e\u306e\u4e88\u5b9a \U0001F600\U0001F389\r\n";
    while (pasted.size() < (1u << 20))
        pasted += L"Line " + std::to_wstring(pasted.size()) + L": call the plumber, buy milk\r\n";
    const std::wstring expected = typed + pasted;
    {
        VelmiProcess velmi;
        ASSERT_NE(velmi.WaitForMainWindow(), nullptr);
        HWND note = velmi.Child(kNoteBoxId);
        test::Type(note, typed);
        Paste(note, pasted);
        test::Click(velmi.DayCell(other));
        EXPECT_EQ(WindowText(note), L"");
        EXPECT_TRUE(Stored()[RealToday()] == expected) << "stored differently";
        test::Type(note, L"other day");
        test::Click(velmi.DayCell(Today()));
        EXPECT_TRUE(WindowText(note) == expected) << "shown differently on its day";
        PostMessageW(velmi.Main(), WM_CLOSE, 0, 0);
        ASSERT_TRUE(velmi.WaitForExit());
    }
    EXPECT_TRUE(Stored() == (Notes{{RealToday(), expected}, {SerialOfDay(other), L"other day"}}));
    VelmiProcess again;
    ASSERT_NE(again.WaitForMainWindow(), nullptr);
    EXPECT_TRUE(WindowText(again.Child(kNoteBoxId)) == expected) << "shown differently at a start";
}

}  // namespace
}  // namespace velmi::test
