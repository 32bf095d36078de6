// Velmi's ids as typed constants, for code and tests; the numbers themselves
// live in velmi_ids.h.
#pragma once

#include "velmi_ids.h"

#include <windows.h>

namespace velmi {

inline constexpr int kStopwatchIconId = VELMI_IDI_STOPWATCH;
inline constexpr int kInputBoxDialogId = VELMI_IDD_INPUT_BOX;

inline constexpr wchar_t kMainWindowClass[] = VELMI_CLASS_MAIN_WINDOW;
inline constexpr wchar_t kAboutWindowClass[] = VELMI_CLASS_ABOUT_WINDOW;
inline constexpr wchar_t kProductsWindowClass[] = VELMI_CLASS_PRODUCTS_WINDOW;
inline constexpr wchar_t kReminderWindowClass[] = VELMI_CLASS_REMINDER_WINDOW;

inline constexpr int kNoteBoxId = VELMI_ID_NOTE_BOX;
inline constexpr int kNoteNoticeId = VELMI_ID_NOTE_NOTICE;
inline constexpr int kAlarmPanelId = VELMI_ID_ALARM_PANEL;
inline constexpr int kPanelHintId = VELMI_ID_PANEL_HINT;
inline constexpr int kTimeFrameId = VELMI_ID_TIME_FRAME;
inline constexpr int kHoursBoxId = VELMI_ID_HOURS_BOX;
inline constexpr int kMinutesBoxId = VELMI_ID_MINUTES_BOX;
inline constexpr int kDesignatorId = VELMI_ID_DESIGNATOR;
inline constexpr int kSetButtonId = VELMI_ID_SET_BUTTON;
inline constexpr int kCancelButtonId = VELMI_ID_CANCEL_BUTTON;
inline constexpr int kRangeWordId = VELMI_ID_RANGE_WORD;

inline constexpr int kMenuCountdownId = VELMI_IDM_COUNTDOWN;
inline constexpr int kMenuAlarmId = VELMI_IDM_ALARM;
inline constexpr int kMenuHelpId = VELMI_IDM_HELP;
inline constexpr int kMenuAboutId = VELMI_IDM_ABOUT;
inline constexpr int kMenuProductsId = VELMI_IDM_PRODUCTS;
inline constexpr int kMenuRemindersId = VELMI_IDM_REMINDERS;

inline constexpr int kReminderListId = VELMI_ID_REMINDER_LIST;
inline constexpr int kSnoozeLabelId = VELMI_ID_SNOOZE_LABEL;
inline constexpr int kSnoozeChoiceId = VELMI_ID_SNOOZE_CHOICE;
inline constexpr int kSnoozeId = VELMI_ID_SNOOZE;
inline constexpr int kDismissId = VELMI_ID_DISMISS;
inline constexpr int kDismissAllId = VELMI_ID_DISMISS_ALL;
inline constexpr int kStartAtSignInId = VELMI_ID_START_AT_SIGN_IN;

inline constexpr UINT_PTR kCheckTimerId = VELMI_TIMER_CHECK;
inline constexpr UINT_PTR kNoteSaveTimerId = VELMI_TIMER_NOTE_SAVE;

inline constexpr int kAboutTextId = VELMI_ID_ABOUT_TEXT;
inline constexpr int kAboutOkId = VELMI_ID_ABOUT_OK;

inline constexpr int kProductsBackId = VELMI_ID_PRODUCTS_BACK;
inline constexpr int kProductVelmiId = VELMI_ID_PRODUCT_VELMI;
inline constexpr int kProductCalendarId = VELMI_ID_PRODUCT_CALENDAR;
inline constexpr int kProductPictureBase = VELMI_ID_PRODUCT_PICTURE_BASE;

inline constexpr int kInputAnswerId = VELMI_ID_INPUT_ANSWER;
inline constexpr int kInputPromptId = VELMI_ID_INPUT_PROMPT;

static_assert(kAboutOkId == IDOK && kProductsBackId == IDOK, "Enter presses them");

}  // namespace velmi
