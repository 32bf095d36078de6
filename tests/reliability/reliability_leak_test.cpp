// The About and products windows opened and closed hundreds of times must
// leave no GDI or USER objects, handles or memory behind: each makes its
// pictures and font afresh. The walk counts what the other actions leave.
#include "main_window_fixture.h"
#include "process.h"
#include "resource_usage.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace velmi::test {
namespace {

TEST(ReliabilityLeaks, AboutAndProductsWindowsClosedByTheirCloseBox) {
    MainWindowDriver app{L"Software\\VelmiTests\\ReliabilityLeaks",
                         L"Local\\VelmiTests.ReliabilityLeaks"};
    test::MessageBoxAnswerer answerer;
    ASSERT_TRUE(app.Start());
    struct Window {
        const char* what;
        int menu;
        const wchar_t* windowClass;
    };
    for (const Window& w : {Window{"About windows", kMenuAboutId, kAboutWindowClass},
                            Window{"products windows", kMenuProductsId, kProductsWindowClass}}) {
        auto once = [&] {
            app.Menu(w.menu);
            const std::vector<HWND> shown = test::TopLevelWindows(w.windowClass);
            ASSERT_EQ(shown.size(), 1u) << w.what;
            SendMessageW(shown[0], WM_SYSCOMMAND, SC_CLOSE, 0);
            app.Pump();
        };
        for (int i = 0; i < 20; ++i)  // warm-up: what is made once and kept
            once();
        const test::ResourceUsage before = test::MeasureResources();
        for (int i = 0; i < 200 && !HasFatalFailure(); ++i)
            once();
        const test::ResourceUsage after = test::MeasureResources();
        std::printf("%s:\n  before: %s\n  after:  %s\n", w.what, Describe(before).c_str(),
                    Describe(after).c_str());
        EXPECT_LE(after.gdi - before.gdi, 4) << w.what;
        EXPECT_LE(after.user - before.user, 4) << w.what;
        EXPECT_LE(after.handles - before.handles, 8) << w.what;
        EXPECT_LE(after.workingSet - before.workingSet, 4LL << 20) << w.what;
        EXPECT_TRUE(test::TopLevelWindows(w.windowClass).empty()) << w.what;
    }
    EXPECT_TRUE(answerer.Seen().empty());
}

}  // namespace
}  // namespace velmi::test
