// The calendar's contract numbers as typed C++ constants, for the control and
// for its hosts. The values live in nuv_ids.h, which the IDL and resource
// compilers read too; nothing here restates one.
#pragma once

#include "nuv_ids.h"

#include <windows.h>
#include <oaidl.h>

namespace nuv {

// _Nuvender's members, _Nuvender2's, and __Nuvender's event.
inline constexpr DISPID kTextDispId = NUV_DISPID_TEXT;
inline constexpr DISPID kPutDateDispId = NUV_DISPID_PUTDATE;
inline constexpr DISPID kMarkDayDispId = NUV_DISPID_MARKDAY;
inline constexpr DISPID kChangeDispId = NUV_DISPID_CHANGE;

// Child window identifiers, so containers and tests can find the parts.
inline constexpr int kDayIdBase = NUV_ID_DAY_FIRST;  // day cell i: kDayIdBase + i
inline constexpr int kArrowIdBase = NUV_ID_ARROW_FIRST;
inline constexpr int kYearLabelId = NUV_ID_YEAR_LABEL;
inline constexpr int kMonthLabelId = NUV_ID_MONTH_LABEL;
inline constexpr int kFrameId = NUV_ID_FRAME;
inline constexpr int kDateBoxId = NUV_ID_DATE_BOX;

// The box that refuses a text that is no date.
inline constexpr wchar_t kMessageTitle[] = L"Ruviruve";
inline constexpr wchar_t kInvalidDateText[] = L"Invalid date";

// Resources of Nuv.ocx.
inline constexpr int kArrowLeftIconId = NUV_IDI_ARROW_LEFT;
inline constexpr int kArrowRightIconId = NUV_IDI_ARROW_RIGHT;
inline constexpr int kToolboxBitmapId = NUV_IDB_TOOLBOX;

}  // namespace nuv
