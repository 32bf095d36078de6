// Where the calendar's child controls stand, in twips (1/1440 inch), relative
// to the control surface. The face is fixed: nothing moves when the
// container gives the control another size.
#pragma once

#include "calendar_model.h"
#include "nuv_contract.h"
#include "twips.h"

namespace nuv {

using velmi::TwipRect;

inline constexpr int kSurfaceWidth = 2790;
inline constexpr int kSurfaceHeight = 3855;

inline constexpr TwipRect kFrameRect{0, 0, 2775, 3855};        // the frame that holds the month
inline constexpr TwipRect kDateBoxRect{960, 3120, 1695, 285};  // in front of the frame
inline constexpr TwipRect kYearLabelRect{840, 240, 855, 255};
inline constexpr TwipRect kMonthLabelRect{840, 720, 975, 255};

// The arrows, in the order of their ids.
enum class Arrow { kPreviousYear, kNextYear, kPreviousMonth, kNextMonth };
inline constexpr int kArrowCount = 4;
inline constexpr TwipRect kArrowRects[kArrowCount] = {
    {360, 120, 480, 480}, {1800, 120, 480, 480}, {360, 600, 480, 480}, {1800, 600, 480, 480}};

inline constexpr int kWeekdayCount = 7;
inline constexpr const wchar_t* kWeekdayInitials[kWeekdayCount] = {L"S", L"M", L"T", L"W",
                                                                   L"T", L"F", L"S"};

// The weekday initials above the columns, Sunday first, drawn by the frame:
// seven windows fewer to make at start-up.
[[nodiscard]] constexpr TwipRect WeekdayInitialRect(int column) {
    return {240 + 360 * column, 1080, column == 3 ? 255 : 135, column == 0 ? 375 : 255};
}

// The day cells: five full weeks and a sixth row of two cells.
[[nodiscard]] constexpr TwipRect DayRect(int index) {
    return {240 + 360 * (index % 7), 1320 + 360 * (index / 7), 255, 240};
}

enum class PartKind { kDay, kArrow, kYearLabel, kMonthLabel, kFrame, kOther };

// What a child window of the face is, by its id.
[[nodiscard]] constexpr PartKind KindOf(int id) {
    if (id >= kDayIdBase && id < kDayIdBase + kDayCount) return PartKind::kDay;
    if (id >= kArrowIdBase && id < kArrowIdBase + kArrowCount) return PartKind::kArrow;
    if (id == kYearLabelId) return PartKind::kYearLabel;
    if (id == kMonthLabelId) return PartKind::kMonthLabel;
    if (id == kFrameId) return PartKind::kFrame;
    return PartKind::kOther;
}

}  // namespace nuv
