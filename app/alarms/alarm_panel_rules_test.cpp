#include "alarm_panel_rules.h"

#include <gtest/gtest.h>

namespace velmi {
namespace {

// alarm_panel_fuzz plays whole panel sessions against these rules; what it
// cannot see is checked here: keys that do nothing in its model, where the
// limits lie exactly, and what a box is changed to.
TEST(AlarmPanel, OnlyDigitsAndBackspaceReachTheBoxesAndEnterMovesOn) {
    for (int key = 0; key < 0x10000; ++key) {
        const auto c = static_cast<wchar_t>(key);
        ASSERT_EQ(FilterPanelKey(c).pass, (c >= L'0' && c <= L'9') || c == 8) << key;
        ASSERT_EQ(FilterPanelKey(c).moveFocus, c == 13) << key;
    }
}

TEST(AlarmPanel, BoxLimitsDesignatorAndMarkerText) {
    EXPECT_EQ(CheckHours(L"13"), L"00");
    EXPECT_FALSE(CheckHours(L"12"));
    EXPECT_EQ(CheckMinutes(L"60"), L"");
    EXPECT_FALSE(CheckMinutes(L"59"));
    EXPECT_FALSE(CheckMinutes(L""));
    EXPECT_FALSE(CheckHours(L"00"));  // what a check leaves passes it, so no change loops
    EXPECT_EQ(ToggleDesignator(L"am"), L"AM");
    EXPECT_EQ(MarkerText(L"09", L"30", L"AM"), L"{*09:30AM*}");
}

}  // namespace
}  // namespace velmi
