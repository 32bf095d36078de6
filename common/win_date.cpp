#include "win_date.h"

#include <windows.h>

#include <array>

namespace velmi {
namespace {

SYSTEMTIME ToSystemTime(const CivilDate& d) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(d.year);
    st.wMonth = static_cast<WORD>(d.month);
    st.wDay = static_cast<WORD>(d.day);
    return st;
}

std::wstring FormatDate(const SYSTEMTIME& st, DWORD flags, const wchar_t* picture,
                        const wchar_t* localeName = nullptr) {
    std::array<wchar_t, 128> buffer{};
    const int n = GetDateFormatEx(localeName ? localeName : LOCALE_NAME_USER_DEFAULT, flags, &st,
                                  picture, buffer.data(), static_cast<int>(buffer.size()), nullptr);
    return n > 0 ? std::wstring(buffer.data(), static_cast<size_t>(n - 1)) : std::wstring();
}

std::wstring LocaleText(const wchar_t* localeName, LCTYPE type) {
    std::array<wchar_t, 128> buffer{};
    const int n = GetLocaleInfoEx(localeName ? localeName : LOCALE_NAME_USER_DEFAULT, type,
                                  buffer.data(), static_cast<int>(buffer.size()));
    return n > 0 ? std::wstring(buffer.data(), static_cast<size_t>(n - 1)) : std::wstring();
}

}  // namespace

DateLocale DateLocaleOf(const wchar_t* localeName) {
    DateLocale locale;
    locale.order = OrderOfPicture(LocaleText(localeName, LOCALE_SSHORTDATE));
    DWORD yearMax = 0;
    if (GetCalendarInfoEx(localeName ? localeName : LOCALE_NAME_USER_DEFAULT, CAL_GREGORIAN,
                          nullptr, CAL_ITWODIGITYEARMAX | CAL_RETURN_NUMBER, nullptr, 0,
                          &yearMax) &&
        yearMax >= 199 && yearMax <= 9999) {
        locale.twoDigitYearMax = static_cast<int>(yearMax);
    }
    for (int month = 1; month <= 12; ++month) {
        const auto full = static_cast<LCTYPE>(LOCALE_SMONTHNAME1 + month - 1);
        const auto brief = static_cast<LCTYPE>(LOCALE_SABBREVMONTHNAME1 + month - 1);
        for (LCTYPE type : {full, brief})
            for (LCTYPE form : {LCTYPE{0}, LCTYPE{LOCALE_RETURN_GENITIVE_NAMES}})
                locale.AddMonthName(month, LocaleText(localeName, type | form));
        // The name the calendar writes, should the platform spell it otherwise.
        locale.AddMonthName(month, MonthName(month, localeName));
    }
    return locale;
}

std::optional<DateSerial> ReadDate(std::wstring_view text) {
    static const DateLocale user = DateLocaleOf(nullptr);
    const auto d = ReadDateText(text, user);
    if (!d) return std::nullopt;
    return SerialFromCivil(*d);
}

std::wstring MonthName(int month, const wchar_t* localeName) {
    // Any year the platform formats will do; 2000 is a leap year, day 1 exists.
    return FormatDate(ToSystemTime({2000, month, 1}), 0, L"MMMM", localeName);
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
    return {{st.wYear, st.wMonth, st.wDay}, {st.wHour, st.wMinute, st.wSecond, st.wMilliseconds}};
}

int SystemClock::MinutesAheadOfUtc() const {
    // Both readings from one instant, so they differ by the offset in force
    // now alone; the time zone tables are not read, which is slow.
    FILETIME utc{};
    GetSystemTimeAsFileTime(&utc);
    FILETIME local{};
    if (!FileTimeToLocalFileTime(&utc, &local)) return 0;
    const auto ticks = [](const FILETIME& t) {
        return static_cast<long long>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                      t.dwLowDateTime);
    };
    constexpr long long kTicksPerMinute = 600'000'000;
    return static_cast<int>((ticks(local) - ticks(utc)) / kTicksPerMinute);
}

DateSerial Today(const Clock& clock) {
    return SerialFromCivil(clock.Now().date);
}

}  // namespace velmi
