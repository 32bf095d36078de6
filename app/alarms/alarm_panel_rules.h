// The alarm panel's editing rules, which its window handlers apply: the time
// it opens with, the hour and minute boxes, AM/PM and the marker that "Set"
// inserts.
#pragma once

#include "date_core.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velmi {

inline constexpr wchar_t kKeyBackspace = 8;
inline constexpr wchar_t kKeyEnter = 13;

struct PanelKey {
    bool moveFocus = false;  // Enter: hours box -> minutes box -> "Set"
    bool pass = false;       // the key reaches the box
};

// Only Backspace and the digits reach a box; Enter moves the focus on and is
// then discarded like every other key.
[[nodiscard]] PanelKey FilterPanelKey(wchar_t key) noexcept;

// What the panel shows: two-digit hours (1 to 12) and minutes, and AM or PM.
struct PanelTime {
    std::wstring hours, minutes, designator;
};

// The first quarter hour after the minute of now, on the 12-hour clock.
[[nodiscard]] PanelTime NextQuarterHour(const TimeOfDay& now);

enum class PanelBox { kHours, kMinutes };

// The word the panel shows for a box that holds no number it accepts.
[[nodiscard]] std::wstring_view RangeWord(PanelBox box) noexcept;

// While the user types: the first box that holds a number no further typing
// makes good (an hour above 12 or 00, a minute above 59). A box on its way to
// a number ("", "0") is not refused yet.
[[nodiscard]] std::optional<PanelBox> BoxOutOfRange(std::wstring_view hours,
                                                    std::wstring_view minutes) noexcept;

// A single character left in a box gets a leading zero when the box loses the focus.
[[nodiscard]] std::optional<std::wstring> PadOnLostFocus(std::wstring_view text);

// "AM" becomes "PM"; anything else becomes "AM".
[[nodiscard]] std::wstring_view ToggleDesignator(std::wstring_view caption) noexcept;
// The designator a typed key chooses: A for AM, P for PM, in either case.
[[nodiscard]] std::optional<std::wstring_view> DesignatorOfKey(wchar_t key) noexcept;

// What "Set" does: write the marker {*hh:mmAM*}, or send the user to the
// first box that holds no hour 1 to 12 or minute 0 to 59 (a marker that
// could never go off is not written).
struct PanelSet {
    std::wstring marker;                  // empty when refused
    PanelBox refused = PanelBox::kHours;  // where to send the user then
};
[[nodiscard]] PanelSet SetMarker(std::wstring_view hours, std::wstring_view minutes,
                                 std::wstring_view designator);

// The marker at the caret position remembered when the panel was opened, or
// at the end when the note has since become shorter.
[[nodiscard]] std::wstring InsertMarker(std::wstring_view note, std::size_t pos,
                                        std::wstring_view marker);

}  // namespace velmi
