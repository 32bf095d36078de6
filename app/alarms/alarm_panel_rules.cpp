#include "alarm_panel_rules.h"

#include <algorithm>

namespace velmi {
namespace {

constexpr int kLastHour = 12;
constexpr int kLastMinute = 59;
constexpr int kQuarter = 15;
constexpr int kMinutesPerDay = 24 * 60;

// The number its leading digits form; an empty text or one starting with
// anything else counts as 0. Saturates far above any limit checked here.
[[nodiscard]] int LeadingValue(std::wstring_view text) noexcept {
    int value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') break;
        value = std::min(value * 10 + (c - L'0'), 1'000'000);
    }
    return value;
}

[[nodiscard]] std::wstring TwoDigits(int n) {
    return {static_cast<wchar_t>(L'0' + n / 10), static_cast<wchar_t>(L'0' + n % 10)};
}

// A box's number when it holds one or two digits and nothing else.
[[nodiscard]] std::optional<int> BoxNumber(std::wstring_view text) noexcept {
    const bool digits =
        std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
    if (text.empty() || text.size() > 2 || !digits) return std::nullopt;
    return LeadingValue(text);
}

}  // namespace

PanelKey FilterPanelKey(wchar_t key) noexcept {
    const bool digit = key >= L'0' && key <= L'9';
    return {key == kKeyEnter, digit || key == kKeyBackspace};
}

PanelTime NextQuarterHour(const TimeOfDay& now) {
    const int next = (now.hour * 60 + now.minute) / kQuarter * kQuarter + kQuarter;
    const int minuteOfDay = next % kMinutesPerDay;
    const int hour = minuteOfDay / 60;
    const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    return {TwoDigits(hour12), TwoDigits(minuteOfDay % 60), hour < 12 ? L"AM" : L"PM"};
}

std::wstring_view RangeWord(PanelBox box) noexcept {
    return box == PanelBox::kHours ? L"Hours 1 to 12" : L"Minutes 0 to 59";
}

std::optional<PanelBox> BoxOutOfRange(std::wstring_view hours, std::wstring_view minutes) noexcept {
    const int hour = LeadingValue(hours);
    if (hour > kLastHour || (hours.size() == 2 && hour == 0)) return PanelBox::kHours;
    if (LeadingValue(minutes) > kLastMinute) return PanelBox::kMinutes;
    return std::nullopt;
}

std::optional<std::wstring> PadOnLostFocus(std::wstring_view text) {
    if (text.size() != 1) return std::nullopt;
    return L"0" + std::wstring(text);
}

std::wstring_view ToggleDesignator(std::wstring_view caption) noexcept {
    return caption == L"AM" ? L"PM" : L"AM";
}

std::optional<std::wstring_view> DesignatorOfKey(wchar_t key) noexcept {
    if (key == L'a' || key == L'A') return L"AM";
    if (key == L'p' || key == L'P') return L"PM";
    return std::nullopt;
}

PanelSet SetMarker(std::wstring_view hours, std::wstring_view minutes,
                   std::wstring_view designator) {
    const std::optional<int> hour = BoxNumber(hours), minute = BoxNumber(minutes);
    if (!hour || *hour < 1 || *hour > kLastHour) return {{}, PanelBox::kHours};
    if (!minute || *minute > kLastMinute) return {{}, PanelBox::kMinutes};
    std::wstring marker = L"{*";
    marker.append(TwoDigits(*hour)).append(L":").append(TwoDigits(*minute));
    marker.append(designator).append(L"*}");
    return {marker};
}

std::wstring InsertMarker(std::wstring_view note, std::size_t pos, std::wstring_view marker) {
    const std::size_t at = std::min(pos, note.size());
    std::wstring text;
    text.reserve(note.size() + marker.size());
    text.append(note.substr(0, at)).append(marker).append(note.substr(at));
    return text;
}

}  // namespace velmi
