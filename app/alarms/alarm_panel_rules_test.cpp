#include "alarm_panel_rules.h"

#include <gtest/gtest.h>

namespace velmi {
namespace {

TEST(AlarmPanel, OnlyDigitsAndBackspaceReachTheBoxesAndEnterMovesOn) {
    for (int key = 0; key < 0x10000; ++key) {
        const auto c = static_cast<wchar_t>(key);
        ASSERT_EQ(FilterPanelKey(c).pass, (c >= L'0' && c <= L'9') || c == 8) << key;
        ASSERT_EQ(FilterPanelKey(c).moveFocus, c == 13) << key;
    }
}

TEST(AlarmPanel, BoxesFollowTheRangeChecksAndPadding) {
    EXPECT_EQ(CheckHours(L"13"), L"00");
    EXPECT_FALSE(CheckHours(L"12"));
    EXPECT_EQ(CheckMinutes(L"60"), L"");
    EXPECT_FALSE(CheckMinutes(L"59"));
    EXPECT_FALSE(CheckMinutes(L""));
    EXPECT_FALSE(CheckHours(L"00"));  // what a check leaves passes it, so no change loops
    EXPECT_EQ(PadOnLostFocus(L"7"), L"07");
    EXPECT_FALSE(PadOnLostFocus(L""));
    EXPECT_FALSE(PadOnLostFocus(L"07"));
    EXPECT_EQ(ToggleDesignator(ToggleDesignator(L"AM")), L"AM");
    EXPECT_EQ(ToggleDesignator(L"am"), L"AM");
}

TEST(AlarmPanel, MarkerGoesWhereTheCaretWasOrAtTheEnd) {
    const std::wstring marker = MarkerText(L"09", L"30", L"AM");
    EXPECT_EQ(marker, L"{*09:30AM*}");
    EXPECT_EQ(InsertMarker(L"Buy milk", 0, marker), L"{*09:30AM*}Buy milk");
    EXPECT_EQ(InsertMarker(L"Buy milk", 8, marker), L"Buy milk{*09:30AM*}");
    EXPECT_EQ(InsertMarker(L"", 0, marker), marker);
    EXPECT_EQ(InsertMarker(L"Buy", 8, marker), L"Buy{*09:30AM*}");
    const std::wstring inserted = InsertMarker(std::wstring(40'010, L'x'), 40'005, marker);
    EXPECT_EQ(inserted.find(L'{'), 40'005u);
    EXPECT_EQ(inserted.size(), 40'021u);
}

}  // namespace
}  // namespace velmi
