#include "alarm_panel_rules.h"

#include <gtest/gtest.h>

namespace velmi {
namespace {

// alarm_panel_fuzz plays whole panel sessions against these rules; what it
// cannot see is checked here: keys that do nothing in its model, the time the
// panel opens with, and which box a refusal names.
TEST(AlarmPanel, OnlyDigitsAndBackspaceReachTheBoxesAndEnterMovesOn) {
    for (int key = 0; key < 0x10000; ++key) {
        const auto c = static_cast<wchar_t>(key);
        ASSERT_EQ(FilterPanelKey(c).pass, (c >= L'0' && c <= L'9') || c == 8) << key;
        ASSERT_EQ(FilterPanelKey(c).moveFocus, c == 13) << key;
    }
}

// The quarter hour after the minute of now: the hour and the day roll over,
// 12 o'clock is noon or midnight, never 00.
TEST(AlarmPanel, OpensAtTheNextQuarterHourOnTheTwelveHourClock) {
    const struct {
        TimeOfDay now;
        const wchar_t* shown;
    } cases[] = {{{9, 31, 0}, L"09:45AM"}, {{23, 50, 59}, L"12:00AM"}, {{12, 5, 0}, L"12:15PM"},
                 {{0, 0, 0}, L"12:15AM"},  {{11, 45, 0}, L"12:00PM"},  {{13, 14, 59}, L"01:15PM"}};
    for (const auto& c : cases) {
        const PanelTime t = NextQuarterHour(c.now);
        EXPECT_EQ(t.hours + L":" + t.minutes + t.designator, c.shown) << c.now.hour << c.now.minute;
    }
}

// Hours 1 to 12 and minutes 0 to 59: a box past them is refused as it is
// typed, one still on its way is not; "Set" refuses every box it cannot
// write, and names the first.
TEST(AlarmPanel, RefusesHoursAndMinutesOutOfRange) {
    using enum PanelBox;
    const struct {
        const wchar_t *hours, *minutes;
        std::optional<PanelBox> typing, set;
    } cases[] = {{L"13", L"75", kHours, kHours},     {L"00", L"30", kHours, kHours},
                 {L"0", L"30", {}, kHours},          {L"", L"", {}, kHours},
                 {L"12", L"60", kMinutes, kMinutes}, {L"1", L"5", {}, {}},
                 {L"12", L"", {}, kMinutes},         {L"1a", L"00", {}, kHours}};
    for (const auto& c : cases) {
        EXPECT_EQ(BoxOutOfRange(c.hours, c.minutes), c.typing) << c.hours << L" " << c.minutes;
        const PanelSet set = SetMarker(c.hours, c.minutes, L"PM");
        EXPECT_EQ(set.marker.empty() ? std::optional(set.refused) : std::nullopt, c.set)
            << c.hours << L" " << c.minutes;
    }
    EXPECT_EQ(SetMarker(L"1", L"5", L"PM").marker, L"{*01:05PM*}");
    EXPECT_EQ(ToggleDesignator(L"am"), L"AM");
}

}  // namespace
}  // namespace velmi
