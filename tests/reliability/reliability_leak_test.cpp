// Long runs of what a user repeats all day long must leave no GDI or USER
// objects, handles or memory behind.
#include "calendar_dates.h"
#include "main_window_driver.h"
#include "process.h"
#include "resource_usage.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>

namespace velmi::reliability {
namespace {

// What a long run may end with beyond where it began, after its warm-up.
constexpr long kObjectSlack = 4;
constexpr long kHandleSlack = 8;
constexpr long long kMemorySlack = 4LL << 20;

class ReliabilityLeaks : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(app.Start()); }

    // Runs the action warmUp times, measures, runs it count times more and
    // measures again.
    void ExpectNoGrowth(const char* what, int warmUp, int count,
                        const std::function<void(int)>& action) {
        for (int i = 0; i < warmUp && !HasFatalFailure(); ++i)
            Once(action, i);
        const test::ResourceUsage before = test::MeasureResources();
        const auto began = std::chrono::steady_clock::now();
        for (int i = 0; i < count && !HasFatalFailure(); ++i)
            Once(action, warmUp + i);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        const test::ResourceUsage after = test::MeasureResources();
        std::printf("%s: %d in %.1f s\n  before: %s\n  after:  %s\n", what, count, seconds,
                    Describe(before).c_str(), Describe(after).c_str());
        std::fflush(stdout);
        EXPECT_LE(after.gdi - before.gdi, kObjectSlack) << what;
        EXPECT_LE(after.user - before.user, kObjectSlack) << what;
        EXPECT_LE(after.handles - before.handles, kHandleSlack) << what;
        EXPECT_LE(after.workingSet - before.workingSet, kMemorySlack) << what;
        EXPECT_TRUE(answerer.Seen().empty()) << what << ": " << answerer.Seen().front().text;
    }

    void Once(const std::function<void(int)>& action, int i) {
        action(i);
        // Paints and whatever else the program posted, as its loop would run them.
        if (i % 20 == 0) DrainMessages();
    }

    MainWindowDriver app{L"Software\\VelmiTests\\ReliabilityLeaks",
                         L"Local\\VelmiTests.ReliabilityLeaks"};
    test::MessageBoxAnswerer answerer;
};

TEST_F(ReliabilityLeaks, TenThousandDayChanges) {
    // Days 1 .. 28 of the shown month in turn, each click a change; now and
    // then a letter typed, so that notes are written as well as empty ones.
    const SYSTEMTIME shown = DateOf(SerialOf(app.clock.now.date.year, app.clock.now.date.month, 1));
    std::vector<HWND> cells;
    for (int day = 1; day <= 28; ++day)
        cells.push_back(
            app.CalendarPart(nuv::kDayIdBase + CellOf(SerialOf(shown.wYear, shown.wMonth, day))));
    ExpectNoGrowth("day changes", 500, 10000, [&](int i) {
        app.Click(cells[static_cast<size_t>(i % 28)]);
        if (i % 100 == 0) SendMessageW(app.Note(), WM_CHAR, L'x', 1);
    });
    // The last of them still took effect.
    EXPECT_EQ(app.App().Calendar().Text(),
              CalendarText(SerialOf(shown.wYear, shown.wMonth, 1 + (10500 - 1) % 28)));
}

TEST_F(ReliabilityLeaks, AboutAndProductsWindowsClosedByTheirCloseBox) {
    struct Window {
        const char* what;
        int menu;
        const wchar_t* windowClass;
    };
    for (const Window& w : {Window{"About windows", kMenuAboutId, kAboutWindowClass},
                            Window{"products windows", kMenuProductsId, kProductsWindowClass}}) {
        ExpectNoGrowth(w.what, 20, 200, [&](int) {
            app.Menu(w.menu);
            const std::vector<HWND> shown = test::TopLevelWindows(w.windowClass);
            ASSERT_EQ(shown.size(), 1u);
            SendMessageW(shown[0], WM_SYSCOMMAND, SC_CLOSE, 0);
        });
        EXPECT_TRUE(test::TopLevelWindows(w.windowClass).empty()) << w.what;
    }
}

TEST_F(ReliabilityLeaks, AThousandAlarmsSetThroughThePanel) {
    ExpectNoGrowth("alarm panel", 50, 1000, [&](int i) {
        app.Menu(kMenuAlarmId);
        app.Type(app.Item(kHoursBoxId), L"7\r");
        app.Type(app.Item(kMinutesBoxId), L"30");
        if (i % 2) app.Click(app.Item(kDesignatorId));
        SendMessageW(app.Item(kSetButtonId), BM_CLICK, 0, 0);
        ASSERT_EQ(test::WindowText(app.Note()), i % 2 ? L"{*07:30PM*}" : L"{*07:30AM*}");
        // The note must not grow from one cycle to the next.
        SendMessageW(app.Note(), EM_SETSEL, 0, -1);
        SendMessageW(app.Note(), WM_CHAR, L'\b', 1);
    });
}

TEST_F(ReliabilityLeaks, TwoHundredStartsOfTheMainWindowWithItsCalendar) {
    ExpectNoGrowth("starts", 10, 200, [&](int) {
        ASSERT_TRUE(app.Close());
        ASSERT_TRUE(app.Start());
    });
}

}  // namespace
}  // namespace velmi::reliability
