// The alarm panel's editing rules, which its window handlers apply: the hour
// and minute boxes, the AM/PM toggle and the marker that "Set" inserts.
#pragma once

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

// The text a box must change to after an edit, or nothing when it may stay.
// Hours above 12 become "00"; minutes above 59 empty the box.
[[nodiscard]] std::optional<std::wstring> CheckHours(std::wstring_view text);
[[nodiscard]] std::optional<std::wstring> CheckMinutes(std::wstring_view text);

// A single character left in a box gets a leading zero when the box loses the focus.
[[nodiscard]] std::optional<std::wstring> PadOnLostFocus(std::wstring_view text);

// "AM" becomes "PM"; anything else becomes "AM".
[[nodiscard]] std::wstring_view ToggleDesignator(std::wstring_view caption) noexcept;

// A box's number in two digits, one digit completed with a leading zero;
// nothing when the box holds no number, which no marker could go off with.
[[nodiscard]] std::optional<std::wstring> CompleteBox(std::wstring_view text);

// {*hh:mmAM*} from the completed boxes.
[[nodiscard]] std::wstring MarkerText(std::wstring_view hours, std::wstring_view minutes,
                                      std::wstring_view designator);

// The marker at the caret position remembered when the panel was opened, or
// at the end when the note has since become shorter.
[[nodiscard]] std::wstring InsertMarker(std::wstring_view note, std::size_t pos,
                                        std::wstring_view marker);

}  // namespace velmi
