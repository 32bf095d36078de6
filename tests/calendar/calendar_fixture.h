// A platform for the calendar model, shared by its rules table and its fuzz
// target: a small date reader, the English month names and a fixed today.
#pragma once

#include "calendar_model.h"

#include <optional>
#include <regex>
#include <string>

namespace nuv::test {

using velmi::CivilDate;

inline const wchar_t* const kMonths[] = {L"January",   L"February", L"March",    L"April",
                                         L"May",       L"June",     L"July",     L"August",
                                         L"September", L"October",  L"November", L"December"};

inline std::wstring Lower(std::wstring s) {
    for (wchar_t& c : s)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return s;
}

// Reads "<month name> <day>, <year>" with any blanks and at most one comma
// before the year. The platform's own reader is tested under Wine.
class FakePlatform final : public CalendarPlatform {
public:
    CivilDate today{2026, 12, 5};

    std::optional<CivilDate> Read(std::wstring_view text) const {
        static const std::wregex kDate(LR"( *([A-Za-z]+) +([0-9]{1,2})(?: *, *| +)([0-9]{1,4}) *)");
        const std::wstring s(text);
        std::wsmatch m;
        CivilDate d{};
        if (!std::regex_match(s, m, kDate)) return std::nullopt;
        for (int i = 0; i < 12; ++i)
            if (Lower(m.str(1)) == Lower(kMonths[i]))
                d = {std::stoi(m.str(3)), i + 1, std::stoi(m.str(2))};
        return velmi::IsValidDate(d) ? std::optional(d) : std::nullopt;
    }

    std::optional<DateSerial> ReadDate(std::wstring_view text) const override {
        const auto d = Read(text);
        return d ? std::optional(velmi::SerialFromCivil(*d)) : std::nullopt;
    }
    std::wstring MonthName(int month) const override { return kMonths[month - 1]; }
    DateSerial Today() const override { return velmi::SerialFromCivil(today); }
};

}  // namespace nuv::test
