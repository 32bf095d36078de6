// Where the calendar's child controls stand, in twips (1/1440 inch), relative
// to the control surface. The face is fixed: nothing moves when the
// container gives the control another size.
#pragma once

#include "calendar_model.h"
#include "twips.h"

namespace nuv {

using velmi::TwipRect;

inline constexpr int kSurfaceWidth = 2790;
inline constexpr int kSurfaceHeight = 3855;

inline constexpr TwipRect kFrameRect{0, 0, 2775, 3855};         // OrvMonth1
inline constexpr TwipRect kDateBoxRect{960, 3120, 1695, 285};   // Text1, in front of the frame
inline constexpr TwipRect kYearLabelRect{840, 240, 855, 255};   // Label1(7)
inline constexpr TwipRect kMonthLabelRect{840, 720, 975, 255};  // Label3

// Image1 .. Image4: previous year, next year, previous month, next month.
inline constexpr TwipRect kArrowRects[4] = {
    {360, 120, 480, 480}, {1800, 120, 480, 480}, {360, 600, 480, 480}, {1800, 600, 480, 480}};

inline constexpr const wchar_t* kWeekdayInitials[7] = {L"S", L"M", L"T", L"W", L"T", L"F", L"S"};

// Label1(0) .. Label1(6), above the columns, Sunday first.
[[nodiscard]] constexpr TwipRect WeekdayLabelRect(int column) {
    return {240 + 360 * column, 1080, column == 3 ? 255 : 135, column == 0 ? 375 : 255};
}

// Days(0) .. Days(36): five full weeks and a sixth row of two cells.
[[nodiscard]] constexpr TwipRect DayRect(int index) {
    return {240 + 360 * (index % 7), 1320 + 360 * (index / 7), 255, 240};
}

}  // namespace nuv

namespace nuv {

// Child window identifiers, so containers and tests can find the parts.
inline constexpr int kDayIdBase = 1000;      // Days(i): 1000 + i
inline constexpr int kArrowIdBase = 1101;    // Image1 .. Image4: 1101 .. 1104
inline constexpr int kWeekdayIdBase = 1200;  // Label1(0) .. Label1(6): 1200 .. 1206
inline constexpr int kYearLabelId = 1207;    // Label1(7)
inline constexpr int kMonthLabelId = 1208;   // Label3
inline constexpr int kFrameId = 1300;        // OrvMonth1
inline constexpr int kDateBoxId = 1400;      // Text1

}  // namespace nuv
