// Dates as the user's locale writes and reads them, and the local clock.
#pragma once

#include "clock.h"
#include "date_core.h"
#include "date_reader.h"

#include <optional>
#include <string>
#include <string_view>

namespace velmi {

// How a locale writes dates (null: the user's), for reading them back: its
// short date order, its month names in every form, its two-digit-year window.
[[nodiscard]] DateLocale DateLocaleOf(const wchar_t* localeName);

// The day a text names in the user's locale, read strictly (ReadDateText);
// nothing when the text is no date.
[[nodiscard]] std::optional<DateSerial> ReadDate(std::wstring_view text);

// A locale's full name of a month (1 .. 12), as the picture "MMMM" gives it.
[[nodiscard]] std::wstring MonthName(int month, const wchar_t* localeName = nullptr);

// The calendar's canonical date text, with the locale's month name.
[[nodiscard]] std::wstring CanonicalDateText(DateSerial serial);

// "mmmm dd, yyyy": month name, two-digit day, the year ("February 28, 2001").
[[nodiscard]] std::wstring LongDateText(DateSerial serial);

// The locale's short date form ("12/5/2026" in en-US, "05/12/2026" in en-GB).
[[nodiscard]] std::wstring ShortDateText(DateSerial serial);

class SystemClock final : public Clock {
public:
    [[nodiscard]] LocalDateTime Now() const override;
    [[nodiscard]] int MinutesAheadOfUtc() const override;
};

[[nodiscard]] DateSerial Today(const Clock& clock);

}  // namespace velmi
