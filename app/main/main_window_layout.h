// The main window's controls at their places after start-up, in twips
// relative to their container. The start-up routine moves the calendar, the
// note and the alarm panel up from their design position before the window
// is first shown; the panel's time frame keeps its place below the panel's
// caption and instructions.
#pragma once

#include "twips.h"

namespace velmi::main_layout {

inline constexpr int kClientWidth = 7575;
inline constexpr int kClientHeight = 3495;

inline constexpr TwipRect kCalendar{0, 0, 2775, 3855};
inline constexpr TwipRect kNoteBox{2760, 0, 4815, 3495};
inline constexpr TwipRect kAlarmPanel{0, 0, 2775, 3495};
inline constexpr TwipRect kPanelHint{240, 360, 2175, 615};      // in the alarm panel
inline constexpr TwipRect kTimeFrame{360, 1080, 1935, 1215};    // in the alarm panel
inline constexpr TwipRect kHoursBox{240, 480, 375, 285};        // in the time frame
inline constexpr TwipRect kMinutesBox{840, 480, 375, 285};      // in the time frame
inline constexpr TwipRect kDesignator{1320, 480, 495, 255};     // in the time frame
inline constexpr TwipRect kRangeWord{240, 840, 1575, 255};      // in the time frame
inline constexpr TwipRect kSetButton{240, 2400, 615, 375};      // in the alarm panel
inline constexpr TwipRect kCancelButton{1680, 2400, 735, 375};  // in the alarm panel

// Where the window's design puts them before the start-up routine moves them.
inline constexpr int kDesignTop = 1560;

}  // namespace velmi::main_layout
