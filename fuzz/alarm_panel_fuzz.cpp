// The alarm panel's rules and the marker insertion. InsertMarker keeps the
// note around the marker, which lands at the remembered caret or at the end.
// The panel opens at the quarter hour after now, which "Set" arms as it
// stands. And whatever the user does in the panel (digits, letters, pastes,
// caret moves, Enter, focus changes, AM and PM), "Set" writes a marker only
// when the boxes hold an hour 1 to 12 and a minute 0 to 59, and the scan arms
// it exactly as they show it.
#include "alarm_panel_rules.h"
#include "alarm_scan.h"
#include "fuzz_support.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace {

using velmi::fuzz::Escaped;
using velmi::fuzz::PickText;

constexpr std::size_t kBoxLimit = 2;  // the boxes take at most two characters

// A single-line edit box as the panel uses it: a caret or selection, a
// length limit, and the panel's handlers on change and on losing the focus.
struct Box {
    std::wstring text;
    std::size_t selStart = 0, selEnd = 0;

    void Set(std::wstring value) {
        if (value == text) return;  // no change, no handler
        text = std::move(value);
        selStart = selEnd = text.size();
    }
    void Replace(std::wstring_view with) {
        const std::size_t keep = text.size() - (selEnd - selStart);
        with = with.substr(0, std::min(with.size(), kBoxLimit - std::min(keep, kBoxLimit)));
        std::wstring next = text.substr(0, selStart);
        next.append(with).append(text.substr(selEnd));
        const std::size_t caret = selStart + with.size();
        Set(next);
        if (text == next) selStart = selEnd = caret;
    }
    void Backspace() {
        if (selStart == selEnd && selStart > 0) --selStart;
        Replace(L"");
    }
    void MoveCaret(std::size_t to) { selStart = selEnd = std::min(to, text.size()); }
    void GotFocus() {
        selStart = 0;
        selEnd = text.size();
    }
    void LostFocus() {
        if (const auto padded = velmi::PadOnLostFocus(text)) Set(*padded);
    }
};

struct Panel {
    Box hours, minutes;
    std::wstring designator;
    int focus = 0;  // 0 hours, 1 minutes, 2 the "Set" button
    bool pasted = false;

    Box* Focused() { return focus == 0 ? &hours : focus == 1 ? &minutes : nullptr; }
    void FocusTo(int next) {
        if (next == focus) return;
        if (Box* box = Focused()) box->LostFocus();
        focus = next;
        if (Box* box = Focused()) box->GotFocus();
    }
    void Char(wchar_t key) {
        Box* box = Focused();
        if (!box) return;
        const velmi::PanelKey k = velmi::FilterPanelKey(key);
        if (k.moveFocus) FocusTo(focus + 1);
        if (!k.pass) return;
        if (key == velmi::kKeyBackspace) {
            box->Backspace();
        } else {
            box->Replace(std::wstring(1, key));
        }
    }
};

// One or two digits, from low to high.
bool Number(const std::wstring& s, int low, int high) {
    return !s.empty() && s.size() <= 2 &&
           std::all_of(s.begin(), s.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }) &&
           std::stoi(s) >= low && std::stoi(s) <= high;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    // No "{" or "*" in the note, so the only marker is the one "Set" writes.
    std::wstring note = PickText(in, L"Buy milk 0123456789:AMP\r\n", 40);
    std::erase_if(note, [](wchar_t c) { return c == L'{' || c == L'*'; });
    const std::size_t caret = in.ConsumeIntegralInRange<std::size_t>(0, note.size());

    const int now = in.ConsumeIntegralInRange(0, 24 * 60 - 1);
    const velmi::PanelTime opened = velmi::NextQuarterHour({now / 60, now % 60, 0, 0});
    Panel panel{{opened.hours, 0, 2}, {opened.minutes}, opened.designator};
    std::string log = "opened at " + std::to_string(now);
    const bool untouched = !in.ConsumeBool();
    for (int step = untouched ? 0 : in.ConsumeIntegralInRange(0, 24);
         step > 0 && in.remaining_bytes(); --step) {
        switch (in.ConsumeIntegralInRange(0, 7)) {
            case 0:
            case 1:
                panel.Char(static_cast<wchar_t>(L'0' + in.ConsumeIntegralInRange(0, 9)));
                break;
            case 2: {
                const wchar_t key = in.ConsumeBool() ? in.ConsumeIntegralInRange<wchar_t>(0, 127)
                                                     : in.ConsumeIntegral<wchar_t>();
                log += " key " + std::to_string(static_cast<unsigned>(key));
                panel.Char(key);
                break;
            }
            case 3:
                panel.Char(in.ConsumeBool() ? velmi::kKeyBackspace : velmi::kKeyEnter);
                break;
            case 4:  // with Backspace, this also deletes forward
                if (Box* box = panel.Focused()) box->MoveCaret(in.ConsumeIntegralInRange(0, 2));
                break;
            case 5:  // a paste goes past the key filter
                if (Box* box = panel.Focused()) {
                    box->Replace(PickText(in, L"0123456789{*}:aA -", 3));
                    panel.pasted = true;
                }
                break;
            case 6:
                panel.FocusTo(in.ConsumeIntegralInRange(0, 2));
                break;
            case 7: {  // a click, or the keys A and P
                const auto chosen = velmi::DesignatorOfKey(in.ConsumeIntegral<wchar_t>());
                panel.designator = chosen ? *chosen : velmi::ToggleDesignator(panel.designator);
                break;
            }
        }
        log += " [" + Escaped(panel.hours.text) + " " + Escaped(panel.minutes.text) + "]";
    }
    // The user edits the note while the panel is open; the marker still goes
    // where the caret was, or at the end of a note that became shorter.
    if (in.ConsumeBool()) note.resize(in.ConsumeIntegralInRange<std::size_t>(0, note.size()));
    // Clicking "Set" takes the focus first; a click sent to the button need not.
    const bool clicked = in.ConsumeBool();
    if (clicked) panel.FocusTo(2);

    const std::wstring marker =
        velmi::SetMarker(panel.hours.text, panel.minutes.text, panel.designator).marker;
    const std::wstring result = velmi::InsertMarker(note, caret, marker);
    velmi::MinuteTable table;
    velmi::ScanAlarms(result, table);
    const std::vector<int> armed(table.minutes.begin() + 1,
                                 table.minutes.begin() + 1 + table.count);

    const std::string detail = "note " + Escaped(note) + " caret " + std::to_string(caret) +
                               ", steps" + log + "\n  gave " + Escaped(result) + " armed " +
                               std::to_string(table.count);
    std::vector<int> expected;
    const bool good = Number(panel.hours.text, 1, 12) && Number(panel.minutes.text, 0, 59);
    FUZZ_CHECK(marker.empty() != good, detail);
    if (untouched)
        expected.push_back((now / 15 + 1) * 15 % (24 * 60));
    else if (!marker.empty()) {
        const int h = std::stoi(panel.hours.text), m = std::stoi(panel.minutes.text);
        const auto hour = std::chrono::make24(std::chrono::hours{h}, panel.designator == L"PM");
        expected.push_back(static_cast<int>(hour.count()) * 60 + m);
    }
    for (const Box* box : {&panel.hours, &panel.minutes}) {
        // Typing alone puts nothing but digits into the boxes.
        if (!panel.pasted) FUZZ_CHECK(box->text.empty() || Number(box->text, 0, 99), detail);
        if (clicked) FUZZ_CHECK(box->text.size() == 0 || box->text.size() == 2, detail);
    }
    // The note stays whole around the marker.
    const std::size_t at = std::min(caret, note.size());
    FUZZ_CHECK(result.compare(0, at, note, 0, at) == 0, detail);
    FUZZ_CHECK(result.compare(at, marker.size(), marker) == 0, detail);
    FUZZ_CHECK(result.compare(at + marker.size(), std::wstring::npos, note, at) == 0, detail);
    FUZZ_CHECK(armed == expected, detail);
    return 0;
}
