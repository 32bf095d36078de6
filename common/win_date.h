// Dates as the user's locale writes and reads them, and the local clock.
#pragma once

#include "clock.h"
#include "date_core.h"

#include <optional>
#include <string>
#include <string_view>

namespace velmi {

// The whole day of a date written in text, read by the system's date parsing
// (VarDateFromStr) in the user's locale; nothing when the text is no date.
// A time of day is dropped: the day is the date value truncated toward zero,
// because the platform stores dates before 30 December 1899 with a positive
// time fraction.
[[nodiscard]] std::optional<DateSerial> ReadDate(std::wstring_view text);

// The locale's full name of a month (1 .. 12), as the picture "MMMM" gives it.
[[nodiscard]] std::wstring MonthName(int month);

// The calendar's canonical date text, with the locale's month name.
[[nodiscard]] std::wstring CanonicalDateText(DateSerial serial);

// "mmmm dd, yyyy": month name, two-digit day, the year ("February 28, 2001").
[[nodiscard]] std::wstring LongDateText(DateSerial serial);

// The locale's short date form ("12/5/2026" in en-US, "05/12/2026" in en-GB).
[[nodiscard]] std::wstring ShortDateText(DateSerial serial);

class SystemClock final : public Clock {
public:
    [[nodiscard]] LocalDateTime Now() const override;
};

[[nodiscard]] DateSerial Today(const Clock& clock);

}  // namespace velmi
