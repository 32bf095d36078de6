#include "alarm_panel_rules.h"

#include <algorithm>

namespace velmi {
namespace {

constexpr int kLastHour = 12;
constexpr int kLastMinute = 59;

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

}  // namespace

PanelKey FilterPanelKey(wchar_t key) noexcept {
    const bool digit = key >= L'0' && key <= L'9';
    return {key == kKeyEnter, digit || key == kKeyBackspace};
}

std::optional<std::wstring> CheckHours(std::wstring_view text) {
    if (LeadingValue(text) > kLastHour) return L"00";
    return std::nullopt;
}

std::optional<std::wstring> CheckMinutes(std::wstring_view text) {
    if (LeadingValue(text) > kLastMinute) return L"";
    return std::nullopt;
}

std::optional<std::wstring> PadOnLostFocus(std::wstring_view text) {
    if (text.size() != 1) return std::nullopt;
    return L"0" + std::wstring(text);
}

std::optional<std::wstring> CompleteBox(std::wstring_view text) {
    const bool digits =
        std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
    if (text.empty() || text.size() > 2 || !digits) return std::nullopt;
    return std::wstring(2 - text.size(), L'0').append(text);
}

std::wstring_view ToggleDesignator(std::wstring_view caption) noexcept {
    return caption == L"AM" ? L"PM" : L"AM";
}

std::wstring MarkerText(std::wstring_view hours, std::wstring_view minutes,
                        std::wstring_view designator) {
    std::wstring marker = L"{*";
    marker.append(hours).append(L":").append(minutes).append(designator).append(L"*}");
    return marker;
}

std::wstring InsertMarker(std::wstring_view note, std::size_t pos, std::wstring_view marker) {
    const std::size_t at = std::min(pos, note.size());
    std::wstring text;
    text.reserve(note.size() + marker.size());
    text.append(note.substr(0, at)).append(marker).append(note.substr(at));
    return text;
}

}  // namespace velmi
