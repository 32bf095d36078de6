// Dates worked out apart from the program, through the platform's own date
// type and locale, for the models the tests keep of what the program shows.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

namespace velmi::test {

using Serial = long;  // whole days from 30 December 1899

[[nodiscard]] inline Serial SerialOf(int year, int month, int day) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    DATE date = 0;
    SystemTimeToVariantTime(&st, &date);
    return static_cast<Serial>(date);
}

[[nodiscard]] inline SYSTEMTIME DateOf(Serial serial) {
    SYSTEMTIME st{};
    VariantTimeToSystemTime(static_cast<DATE>(serial), &st);
    return st;
}

[[nodiscard]] inline int DaysInMonth(int year, int month) {
    return static_cast<int>(SerialOf(month == 12 ? year + 1 : year, month % 12 + 1, 1) -
                            SerialOf(year, month, 1));
}

[[nodiscard]] inline Serial RealToday() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return SerialOf(now.wYear, now.wMonth, now.wDay);
}

// "December  5,  2026": the calendar's own form, with the locale's month name.
[[nodiscard]] inline std::wstring CalendarText(Serial serial) {
    const SYSTEMTIME st = DateOf(serial);
    wchar_t month[64] = {};
    GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &st, L"MMMM", month, 64, nullptr);
    return std::wstring(month) + L"  " + std::to_wstring(st.wDay) + L",  " +
           std::to_wstring(st.wYear);
}

// The index of the day cell that shows the day: Sunday-first rows of seven,
// the month's first day in the column of its weekday.
[[nodiscard]] inline int CellOf(Serial serial) {
    const SYSTEMTIME st = DateOf(serial);
    const SYSTEMTIME first = DateOf(SerialOf(st.wYear, st.wMonth, 1));
    return first.wDayOfWeek + st.wDay - 1;
}

// Days of this month, today excepted, that no change of date deletes: those
// after today and those more than ten days before it. There are at least 17.
[[nodiscard]] inline std::vector<int> KeptDaysOfThisMonth() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    std::vector<int> days;
    for (int day = 1; day <= DaysInMonth(now.wYear, now.wMonth); ++day)
        if (day > now.wDay || day < now.wDay - 10) days.push_back(day);
    return days;
}

}  // namespace velmi::test
