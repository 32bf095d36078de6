#include "alarm_scan.h"

#include <optional>

namespace velmi {
namespace {

constexpr std::wstring_view kOpening = L"{*";
constexpr std::size_t kTimeOffset = 2;        // "hh:mm" right after the opening
constexpr std::size_t kDesignatorOffset = 7;  // "AM"/"PM" after the time
constexpr std::size_t kShortestMarker = 8;    // "{*hh:mm" and one designator character

[[nodiscard]] std::optional<int> TwoDigits(wchar_t tens, wchar_t ones) noexcept {
    if (tens < L'0' || tens > L'9' || ones < L'0' || ones > L'9') return std::nullopt;
    return (tens - L'0') * 10 + (ones - L'0');
}

struct WrittenTime {
    int hour = 0;
    int minute = 0;
};

// "hh:mm" with an hour up to 23 and a minute up to 59, else nothing.
[[nodiscard]] std::optional<WrittenTime> ReadTime(std::wstring_view t) noexcept {
    if (t.size() < 5 || t[2] != L':') return std::nullopt;
    const auto hour = TwoDigits(t[0], t[1]);
    const auto minute = TwoDigits(t[3], t[4]);
    if (!hour || !minute || *hour > 23 || *minute > 59) return std::nullopt;
    return WrittenTime{*hour, *minute};
}

// The written hour read on the 12-hour clock; "00PM" is taken as noon.
[[nodiscard]] int HourOfDay(int written, std::wstring_view designator) noexcept {
    if (designator == L"AM") return written == 12 ? 0 : written;
    if (designator == L"PM") return written == 0 ? 12 : written < 12 ? written + 12 : written;
    return written;
}

void TwoDigitField(std::wstring& text, int value) {
    if (value < 10) text += L'0';
    text += std::to_wstring(value);
}

}  // namespace

void ScanAlarms(std::wstring_view note, MinuteTable& alarms) {
    alarms.count = 0;
    std::size_t start = 0;
    while (alarms.count < MinuteTable::kCapacity) {
        const std::size_t p = note.find(kOpening, start);
        // A marker cut off by the end of the note ends the scan.
        if (p == std::wstring_view::npos || note.size() - p < kShortestMarker) return;
        const auto time = ReadTime(note.substr(p + kTimeOffset, 5));
        if (!time) {
            // A stray "{*" must not hide a real marker starting inside it.
            start = p + kOpening.size();
            continue;
        }
        const std::wstring_view designator = note.substr(p + kDesignatorOffset, 2);
        alarms.minutes[++alarms.count] = HourOfDay(time->hour, designator) * 60 + time->minute;
        start = p + kDesignatorOffset;
    }
}

std::wstring ReportText(std::wstring_view prefix, const TimeOfDay& now) {
    std::wstring text(prefix);
    TwoDigitField(text, now.hour);
    text += L':';
    TwoDigitField(text, now.minute);
    text += L':';
    TwoDigitField(text, now.second);
    return text;
}

}  // namespace velmi
