// A platform for the calendar model, shared by its rules table and its fuzz
// target: the one date reader over the English month names, and a fixed today.
#pragma once

#include "calendar_model.h"
#include "date_reader.h"

#include <optional>
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

class FakePlatform final : public CalendarPlatform {
public:
    CivilDate today{2026, 12, 5};

    FakePlatform() {
        for (int i = 0; i < 12; ++i)
            english_.AddMonthName(i + 1, kMonths[i]);
    }
    std::optional<CivilDate> Read(std::wstring_view text) const {
        return velmi::ReadDateText(text, english_);
    }
    std::optional<DateSerial> ReadDate(std::wstring_view text) const override {
        const auto d = Read(text);
        return d ? std::optional(velmi::SerialFromCivil(*d)) : std::nullopt;
    }
    std::wstring MonthName(int month) const override { return kMonths[month - 1]; }
    DateSerial Today() const override { return velmi::SerialFromCivil(today); }

private:
    velmi::DateLocale english_;
};

}  // namespace nuv::test
