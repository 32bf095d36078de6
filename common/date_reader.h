// The one reader of dates written as text: a text is a date only when it
// names a real day and no field rolls over. What it knows of the user's way
// of writing dates comes from the locale (the order of the short date's
// fields, the month names, the two-digit-year window); it asks no platform.
#pragma once

#include "date_core.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmi {

struct DateLocale {
    enum class Order { kMonthDayYear, kDayMonthYear, kYearMonthDay };
    Order order = Order::kMonthDayYear;
    // The years a two-digit year stands for end here: 49 is 2049, 50 is 1950.
    int twoDigitYearMax = 2049;

    // Adds a name of a month (1 .. 12), in any form the locale writes it
    // (full, abbreviated, genitive); empty names are left out.
    void AddMonthName(int month, std::wstring_view name);

    struct Name {
        std::wstring folded;  // lower case, without a closing full stop
        int month;
    };
    std::vector<Name> monthNames;
};

// The order of the day, month and year fields in a short date picture
// ("M/d/yyyy", "dd.MM.yyyy", "yyyy-MM-dd").
[[nodiscard]] DateLocale::Order OrderOfPicture(std::wstring_view picture);

// The date a text names, or nothing. Read are three fields between blanks
// or one of "/-.,": all digits in the locale's order (a first field of three
// or four digits is the year, as in ISO's yyyy-mm-dd), or a month name with
// the day before or after it and the year last.
[[nodiscard]] std::optional<CivilDate> ReadDateText(std::wstring_view text,
                                                    const DateLocale& locale);

}  // namespace velmi
