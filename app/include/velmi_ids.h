/* Velmi's own numbers that its resources, its code, its tests and its tools
   share: resource ids, window class names, child window and menu ids, timer
   ids. Plain defines, because the resource compiler reads this file as well
   as C++. */
#ifndef VELMI_IDS_H
#define VELMI_IDS_H

/* Resources of Velmi.exe */
#define VELMI_IDI_STOPWATCH 1 /* listed first in the .rc file: the program's icon */
#define VELMI_IDD_INPUT_BOX 200

/* Window classes, found by these names by outside tools. */
#define VELMI_CLASS_MAIN_WINDOW L"VelmiMainWindow"
#define VELMI_CLASS_ABOUT_WINDOW L"VelmiAboutWindow"
#define VELMI_CLASS_PRODUCTS_WINDOW L"VelmiProducts"
#define VELMI_CLASS_REMINDER_WINDOW L"VelmiReminders"

/* The main window's children */
#define VELMI_ID_NOTE_BOX 10
#define VELMI_ID_NOTE_NOTICE 11 /* why a day's note takes no edits */
#define VELMI_ID_ALARM_PANEL 20
#define VELMI_ID_PANEL_HINT 21 /* the note on how AM and PM change */
#define VELMI_ID_TIME_FRAME 22 /* the inner frame around hours, minutes, AM/PM */
#define VELMI_ID_HOURS_BOX 23
#define VELMI_ID_MINUTES_BOX 24
#define VELMI_ID_DESIGNATOR 25 /* the AM/PM button */
#define VELMI_ID_SET_BUTTON 26
#define VELMI_ID_CANCEL_BUTTON 27
#define VELMI_ID_RANGE_WORD 28 /* what a refused box accepts */

/* The main window's menu bar */
#define VELMI_IDM_COUNTDOWN 101
#define VELMI_IDM_ALARM 102
#define VELMI_IDM_HELP 103
#define VELMI_IDM_ABOUT 104
#define VELMI_IDM_PRODUCTS 105
#define VELMI_IDM_REMINDERS 106

/* The main window's timers */
#define VELMI_TIMER_CHECK 3     /* alarms and countdowns, once a minute */
#define VELMI_TIMER_NOTE_SAVE 4 /* the note is stored once typing pauses */

/* The reminder window's children */
#define VELMI_ID_REMINDER_LIST 10
#define VELMI_ID_SNOOZE_LABEL 11
#define VELMI_ID_SNOOZE_CHOICE 12 /* how long Snooze lasts */
#define VELMI_ID_SNOOZE 13
#define VELMI_ID_DISMISS 14
#define VELMI_ID_DISMISS_ALL 15
#define VELMI_ID_START_AT_SIGN_IN 16

/* The About window's children */
#define VELMI_ID_ABOUT_TEXT 10
#define VELMI_ID_ABOUT_OK 1 /* IDOK */

/* The products window's children; each picture is its entry's id plus the base. */
#define VELMI_ID_PRODUCTS_BACK 1 /* IDOK */
#define VELMI_ID_PRODUCT_VELMI 11
#define VELMI_ID_PRODUCT_CALENDAR 12
#define VELMI_ID_PRODUCT_PICTURE_BASE 100

/* The input box dialog's children */
#define VELMI_ID_INPUT_ANSWER 100
#define VELMI_ID_INPUT_PROMPT 0xFFFF /* a dialog's static text, as in message boxes */

#endif
