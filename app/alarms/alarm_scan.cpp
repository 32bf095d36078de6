#include "alarm_scan.h"

#include <algorithm>
#include <optional>

namespace velmi {
namespace {

constexpr std::wstring_view kOpening = L"{*";
constexpr std::size_t kTimeOffset = 2;        // "hh:mm" right after the opening
constexpr std::size_t kDesignatorOffset = 7;  // "AM"/"PM" after the time
constexpr std::size_t kShortestMarker = 8;    // "{*hh:mm" and one designator character
constexpr std::wstring_view kClosing = L"*}";
constexpr std::size_t kMarkerLength = 11;  // "{*hh:mmAM*}"

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
    std::size_t lineStart = 0;  // where the count of line breaks below stopped
    int line = 0;
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
        line += static_cast<int>(std::count(note.begin() + static_cast<std::ptrdiff_t>(lineStart),
                                            note.begin() + static_cast<std::ptrdiff_t>(p), L'\n'));
        lineStart = p;
        alarms.minutes[++alarms.count] = HourOfDay(time->hour, designator) * 60 + time->minute;
        alarms.lines[static_cast<std::size_t>(alarms.count)] = line;
        start = p + kDesignatorOffset;
    }
}

std::wstring AlarmLineText(std::wstring_view note, int line) {
    std::size_t begin = 0;
    for (int i = 0; i < line && begin != std::wstring_view::npos; ++i) {
        begin = note.find(L'\n', begin);
        if (begin != std::wstring_view::npos) ++begin;
    }
    if (begin == std::wstring_view::npos) return {};
    const std::wstring_view rest = note.substr(begin);
    const std::wstring_view text = rest.substr(0, rest.find(L'\n'));

    std::wstring out;
    bool blank = false;
    for (std::size_t i = 0; i < text.size() && out.size() < kLongestAlarmText;) {
        // A marker that arms an alarm says nothing of what the alarm is for.
        if (text.substr(i, 2) == kOpening && i + kMarkerLength <= text.size() &&
            ReadTime(text.substr(i + kTimeOffset, 5)) &&
            text.substr(i + kMarkerLength - 2, 2) == kClosing) {
            i += kMarkerLength;
            blank = true;
            continue;
        }
        const wchar_t c = text[i++];
        if (c == L' ' || c == L'\t' || c == L'\r' || c == L'\x3000' || c == L'\xA0') {
            blank = true;
            continue;
        }
        if (blank && !out.empty()) out += L' ';
        blank = false;
        out += c;
    }
    if (out.size() > kLongestAlarmText) out.resize(kLongestAlarmText);
    return out;
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
