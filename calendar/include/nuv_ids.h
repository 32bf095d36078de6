/* The calendar control's numbers that others rely on: DISPIDs, child window
   ids and resource ids. Plain defines, because the IDL compiler and the
   resource compiler read this file as well as C++. */
#ifndef NUV_IDS_H
#define NUV_IDS_H

/* _Nuvender and __Nuvender members */
#define NUV_DISPID_TEXT 0x68030000
#define NUV_DISPID_PUTDATE 0x60030002
#define NUV_DISPID_MARKDAY 0x60040000
#define NUV_DISPID_CHANGE 1

/* Child windows, found by these ids by containers and outside tools. */
#define NUV_ID_DAY_FIRST 1000   /* 37 day cells: 1000 .. 1036 */
#define NUV_ID_ARROW_FIRST 1101 /* previous year, next year, previous month, next month */
/* 1200 .. 1206 were the weekday initials' windows; the frame draws them now,
   and no other part takes these ids. */
#define NUV_ID_YEAR_LABEL 1207
#define NUV_ID_MONTH_LABEL 1208
#define NUV_ID_FRAME 1300
#define NUV_ID_DATE_BOX 1400

/* Resources of Nuv.ocx */
#define NUV_IDI_ARROW_LEFT 101
#define NUV_IDI_ARROW_RIGHT 102
#define NUV_IDB_TOOLBOX 30000 /* the control's toolbox picture, shown by hosts too */

#endif
