#include "date_core.h"

namespace velmi {
namespace {

// Days from 1 March of year 0 (where the civil-from-days scheme counts from)
// to 30 December 1899.
constexpr std::int64_t kEpochShift = 693899;

constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b) noexcept {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

}  // namespace

DateSerial SerialFromCivil(const CivilDate& d) noexcept {
    // Count years from March so the leap day falls at the end of the year.
    const std::int64_t y = d.year - (d.month <= 2 ? 1 : 0);
    const std::int64_t era = FloorDiv(y, 400);
    const std::int64_t yoe = y - era * 400;
    const std::int64_t mp = (d.month + 9) % 12;  // March = 0
    const std::int64_t doy = (153 * mp + 2) / 5 + d.day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return static_cast<DateSerial>(era * 146097 + doe - kEpochShift);
}

CivilDate CivilFromSerial(DateSerial serial) noexcept {
    const std::int64_t z = static_cast<std::int64_t>(serial) + kEpochShift;
    const std::int64_t era = FloorDiv(z, 146097);
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day};
}

int Weekday(DateSerial serial) noexcept {
    // Day 0 was a Saturday.
    return static_cast<int>(((static_cast<std::int64_t>(serial) + 6) % 7 + 7) % 7) + 1;
}

std::wstring SerialText(DateSerial serial) {
    std::wstring digits = std::to_wstring(serial);
    return serial >= 0 ? L" " + digits : digits;
}

std::wstring CanonicalDateText(std::wstring_view monthName, int day, int year) {
    std::wstring text(monthName);
    text += L"  ";
    text += std::to_wstring(day);
    text += L",  ";
    text += std::to_wstring(year);
    return text;
}

}  // namespace velmi
