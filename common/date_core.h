// Calendar arithmetic shared by the calendar control and the program.
// Dates are counted as whole days from 30 December 1899 (day 0), the
// origin of the platform's DATE type, over 1 January 100 .. 31 December 9999.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velmi {

struct CivilDate {
    int year = 0;
    int month = 0;  // 1 .. 12
    int day = 0;    // 1 .. 31
    friend bool operator==(const CivilDate&, const CivilDate&) = default;
};

struct TimeOfDay {
    int hour = 0;  // 0 .. 23
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

struct LocalDateTime {
    CivilDate date;
    TimeOfDay time;
};

using DateSerial = std::int32_t;

inline constexpr int kMinYear = 100;
inline constexpr int kMaxYear = 9999;
inline constexpr DateSerial kMinSerial = -657434;  // 1 January 100
inline constexpr DateSerial kMaxSerial = 2958465;  // 31 December 9999

[[nodiscard]] constexpr bool IsLeapYear(int year) noexcept {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// Days of a month of the Gregorian calendar; 0 for a month outside 1 .. 12.
[[nodiscard]] constexpr int MonthLength(int month, int year) noexcept {
    switch (month) {
        case 1:
        case 3:
        case 5:
        case 7:
        case 8:
        case 10:
        case 12:
            return 31;
        case 4:
        case 6:
        case 9:
        case 11:
            return 30;
        case 2:
            return IsLeapYear(year) ? 29 : 28;
        default:
            return 0;
    }
}

[[nodiscard]] constexpr bool IsValidDate(const CivilDate& d) noexcept {
    return d.year >= kMinYear && d.year <= kMaxYear && d.month >= 1 && d.month <= 12 &&
           d.day >= 1 && d.day <= MonthLength(d.month, d.year);
}

[[nodiscard]] constexpr bool IsSerialInRange(std::int64_t serial) noexcept {
    return serial >= kMinSerial && serial <= kMaxSerial;
}

// Proleptic Gregorian conversion (days-from-civil); valid for any year >= 1.
[[nodiscard]] DateSerial SerialFromCivil(const CivilDate& d) noexcept;
[[nodiscard]] CivilDate CivilFromSerial(DateSerial serial) noexcept;

// Sunday = 1 .. Saturday = 7.
[[nodiscard]] int Weekday(DateSerial serial) noexcept;

// The serial in decimal, with one leading blank when it is 0 or more: " 46361", "-12".
[[nodiscard]] std::wstring SerialText(DateSerial serial);

// "November" + "  5" + ",  1999": the calendar's canonical date text.
[[nodiscard]] std::wstring CanonicalDateText(std::wstring_view monthName, int day, int year);

}  // namespace velmi
