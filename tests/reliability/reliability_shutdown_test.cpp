// Velmi.exe ended in the ways a program is ended against its will: killed
// between or amid date changes, and the session ending in its rarer forms.
#include "calendar_dates.h"
#include "message_box_answerer.h"
#include "process.h"
#include "store_reading.h"
#include "velmi_process.h"

#include <gtest/gtest.h>

#include <thread>

namespace velmi::reliability {
namespace {

using namespace std::chrono_literals;
using test::VelmiProcess;
using test::WindowText;

int Today() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return now.wDay;
}

Serial SerialOfDay(int day) {
    return RealToday() - Today() + day;
}

[[nodiscard]] bool Kill(VelmiProcess& velmi) {
    const auto killed = test::RunProcess(L"taskkill.exe /f /pid " + std::to_wstring(velmi.Pid()));
    return killed.exitCode == 0 && velmi.WaitForExit(10s);
}

// The notes as the registry holds them, the layout checked on the way.
Notes Stored() {
    const StoreContents contents = ReadStore(HKEY_LOCAL_MACHINE);
    for (const std::wstring& fault : contents.faults)
        ADD_FAILURE() << fault;
    return contents.notes;
}

// A top-level window of the process with the class, once it is shown.
HWND WaitForWindow(DWORD pid, const wchar_t* cls) {
    for (int i = 0; i < 200; ++i) {
        for (HWND w : test::TopLevelWindows(cls, pid))
            if (IsWindowVisible(w)) return w;
        std::this_thread::sleep_for(50ms);
    }
    return nullptr;
}

LRESULT SendWithin(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wp, lp, SMTO_NORMAL, 10000, &result);
    return static_cast<LRESULT>(result);
}

class ReliabilityShutdown : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Tolvane");
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tolvane");
    }
    void TearDown() override { SetUp(); }
};

TEST_F(ReliabilityShutdown, AKilledProgramLosesNothingThatWasSaved) {
    const int other = KeptDaysOfThisMonth().front();
    {
        VelmiProcess velmi;
        ASSERT_NE(velmi.WaitForMainWindow(), nullptr);
        HWND note = velmi.Child(kNoteBoxId);
        test::TypeInto(note, L"today's note");
        test::ClickCentre(velmi.DayCell(other));  // today's note is saved
        test::TypeInto(note, L"another day's note");
        test::ClickCentre(velmi.DayCell(Today()));  // and the other day's
        test::TypeInto(note, L", then more that was never saved");
        ASSERT_TRUE(Kill(velmi));
    }
    const Notes expected{{RealToday(), L"today's note"},
                         {SerialOfDay(other), L"another day's note"}};
    const Notes stored = Stored();
    EXPECT_EQ(stored, expected) << DescribeDifference(expected, stored);

    VelmiProcess again;
    ASSERT_NE(again.WaitForMainWindow(), nullptr);
    HWND note = again.Child(kNoteBoxId);
    EXPECT_EQ(WindowText(note), L"today's note");
    test::ClickCentre(again.DayCell(other));
    EXPECT_EQ(WindowText(note), L"another day's note");
    PostMessageW(again.Main(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(again.WaitForExit());
}

TEST_F(ReliabilityShutdown, KilledAmidDateChangesEveryNoteStaysWithItsDay) {
    const std::vector<int> kept = KeptDaysOfThisMonth();
    const std::vector<int> days{Today(), kept[0], kept[1], kept[2]};
    Notes expected;
    {
        VelmiProcess velmi;
        ASSERT_NE(velmi.WaitForMainWindow(), nullptr);
        HWND note = velmi.Child(kNoteBoxId);
        for (int day : days) {
            if (day != Today()) test::ClickCentre(velmi.DayCell(day));
            const std::wstring text = L"the note of " + CalendarText(SerialOfDay(day));
            test::TypeInto(note, text);
            expected[SerialOfDay(day)] = text;
        }
        test::ClickCentre(velmi.DayCell(Today()));
        PostMessageW(velmi.Main(), WM_CLOSE, 0, 0);
        ASSERT_TRUE(velmi.WaitForExit());
    }
    ASSERT_EQ(Stored(), expected) << DescribeDifference(expected, Stored());

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
        ASSERT_TRUE(Kill(velmi));
        const Notes stored = Stored();
        ASSERT_EQ(stored, expected)
            << "killed after " << delay.count() << " ms" << DescribeDifference(expected, stored);
    }
    VelmiProcess again;
    ASSERT_NE(again.WaitForMainWindow(), nullptr);
    EXPECT_EQ(WindowText(again.Child(kNoteBoxId)), expected[RealToday()]);
}

TEST_F(ReliabilityShutdown, AForcedEndOfTheSessionWithoutTheQuestionSavesTheNote) {
    // A forced logoff or shutdown sends WM_ENDSESSION without asking first.
    VelmiProcess velmi;
    HWND main = velmi.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    test::TypeInto(velmi.Child(kNoteBoxId), L"typed just before a forced logoff");
    SendWithin(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_TRUE(velmi.WaitForExit(10s));
    const Notes expected{{RealToday(), L"typed just before a forced logoff"}};
    EXPECT_EQ(Stored(), expected) << DescribeDifference(expected, Stored());
}

TEST_F(ReliabilityShutdown, AnEndOfTheSessionThatIsCalledOffLeavesTheProgramAsItWas) {
    VelmiProcess velmi;
    HWND main = velmi.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    HWND note = velmi.Child(kNoteBoxId);
    test::TypeInto(note, L"one");
    EXPECT_TRUE(SendWithin(main, WM_QUERYENDSESSION, 0, 0));
    SendWithin(main, WM_ENDSESSION, FALSE, 0);  // another program refused
    ASSERT_TRUE(velmi.Running());
    EXPECT_TRUE(IsWindowVisible(main));
    test::TypeInto(note, L" two");
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(velmi.WaitForExit());
    const Notes expected{{RealToday(), L"one two"}};
    EXPECT_EQ(Stored(), expected) << DescribeDifference(expected, Stored());
}

TEST_F(ReliabilityShutdown, TheSessionEndsWhileBoxesAreOpenOnAnotherDay) {
    const int other = KeptDaysOfThisMonth().front();
    VelmiProcess velmi;
    HWND main = velmi.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    test::ClickCentre(velmi.DayCell(other));
    test::TypeInto(velmi.Child(kNoteBoxId), L"for the other day");
    PostMessageW(main, WM_COMMAND, kMenuAboutId, 0);
    ASSERT_NE(WaitForWindow(velmi.Pid(), kAboutWindowClass), nullptr);
    PostMessageW(main, WM_COMMAND, kMenuCountdownId, 0);  // its input box waits for an answer
    ASSERT_NE(WaitForWindow(velmi.Pid(), L"#32770"), nullptr);

    EXPECT_TRUE(SendWithin(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    SendWithin(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_TRUE(velmi.WaitForExit(10s));
    const Notes expected{{RealToday(), L""}, {SerialOfDay(other), L"for the other day"}};
    EXPECT_EQ(Stored(), expected) << DescribeDifference(expected, Stored());
}

}  // namespace
}  // namespace velmi::reliability
