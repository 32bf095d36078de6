// The main window's controls at their places after start-up, in twips
// relative to their container. The start-up routine moves the calendar, the
// note and the alarm panel up from their design position (and the panel's
// inner frame within it) before the window is first shown.
#pragma once

#include "twips.h"

namespace velmi::form1 {

inline constexpr int kClientWidth = 7575;
inline constexpr int kClientHeight = 3495;

inline constexpr TwipRect kNuvender1{0, 0, 2775, 3855};
inline constexpr TwipRect kText1{2760, 0, 4815, 3495};
inline constexpr TwipRect kFrame1{0, 0, 2775, 3495};
inline constexpr TwipRect kLabel2{240, 360, 2175, 615};     // in Frame1
inline constexpr TwipRect kFrame2{360, 0, 1935, 1215};      // in Frame1
inline constexpr TwipRect kText2{240, 480, 375, 285};       // in Frame2
inline constexpr TwipRect kText3{840, 480, 375, 285};       // in Frame2
inline constexpr TwipRect kLabel1{1320, 480, 495, 255};     // in Frame2
inline constexpr TwipRect kCommand1{240, 2400, 615, 375};   // in Frame1
inline constexpr TwipRect kCommand2{1680, 2400, 735, 375};  // in Frame1

// Where the window's design puts them before the start-up routine moves them.
inline constexpr int kDesignTop = 1560;
inline constexpr int kFrame2DesignTop = 1080;

}  // namespace velmi::form1
