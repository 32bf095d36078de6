#include "win_date.h"

#include <windows.h>
#include <oleauto.h>

#include <array>
#include <cmath>

namespace velmi {
namespace {

SYSTEMTIME ToSystemTime(const CivilDate& d) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(d.year);
    st.wMonth = static_cast<WORD>(d.month);
    st.wDay = static_cast<WORD>(d.day);
    return st;
}

std::wstring FormatDate(const SYSTEMTIME& st, DWORD flags, const wchar_t* picture) {
    std::array<wchar_t, 128> buffer{};
    const int n = GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, flags, &st, picture, buffer.data(),
                                  static_cast<int>(buffer.size()), nullptr);
    return n > 0 ? std::wstring(buffer.data(), static_cast<size_t>(n - 1)) : std::wstring();
}

}  // namespace

std::optional<DateSerial> ReadDate(std::wstring_view text) {
    // The platform reads up to the first zero; a text with one inside is no date.
    if (text.find(L'\0') != std::wstring_view::npos) return std::nullopt;
    std::wstring copy(text);  // the platform wants a writable, terminated string
    DATE value = 0;
    if (FAILED(VarDateFromStr(copy.data(), LOCALE_USER_DEFAULT, 0, &value))) return std::nullopt;
    const double day = std::trunc(value);
    if (!IsSerialInRange(static_cast<std::int64_t>(day))) return std::nullopt;
    return static_cast<DateSerial>(day);
}

std::wstring MonthName(int month) {
    // Any year the platform formats will do; 2000 is a leap year, day 1 exists.
    return FormatDate(ToSystemTime({2000, month, 1}), 0, L"MMMM");
}

std::wstring CanonicalDateText(DateSerial serial) {
    const CivilDate d = CivilFromSerial(serial);
    return CanonicalDateText(MonthName(d.month), d.day, d.year);
}

std::wstring LongDateText(DateSerial serial) {
    // Built here rather than by GetDateFormatEx, which refuses years before 1601.
    const CivilDate d = CivilFromSerial(serial);
    std::wstring text = MonthName(d.month) + L" ";
    if (d.day < 10) text += L'0';
    text += std::to_wstring(d.day) + L", " + std::to_wstring(d.year);
    return text;
}

std::wstring ShortDateText(DateSerial serial) {
    const CivilDate d = CivilFromSerial(serial);
    std::wstring text = FormatDate(ToSystemTime(d), DATE_SHORTDATE, nullptr);
    if (text.empty()) text = LongDateText(serial);  // years the platform will not format
    return text;
}

LocalDateTime SystemClock::Now() const {
    SYSTEMTIME st{};
    GetLocalTime(&st);
    return {{st.wYear, st.wMonth, st.wDay}, {st.wHour, st.wMinute, st.wSecond}};
}

DateSerial Today(const Clock& clock) {
    return SerialFromCivil(clock.Now().date);
}

}  // namespace velmi
