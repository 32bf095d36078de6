#include "notes.h"

#include <cstdio>
#include <iterator>

namespace velmi::bench {
namespace {

constexpr std::wstring_view kProse =
    L"Pick up the parcel at the post office, then call the garage about the brakes. "
    L"Buy bread, milk, apples and coffee; pay the electricity bill before Friday.\r\n";

std::wstring Marker(int hour, int minute) {
    wchar_t text[16];
    std::swprintf(text, 16, L"{*%02d:%02dAM*}", hour, minute);
    return text;
}

// Prose cut to exactly `length` characters.
std::wstring Prose(std::size_t length) {
    std::wstring text;
    text.reserve(length);
    while (text.size() < length)
        text.append(kProse.substr(0, length - text.size()));
    return text;
}

}  // namespace

std::wstring MarkedNote(std::size_t length, int markers) {
    std::wstring note = Prose(length);
    const std::size_t width = Marker(0, 0).size();
    if (markers <= 0 || length < width * static_cast<std::size_t>(markers)) return note;
    const std::size_t last = length - width;
    for (int i = 0; i < markers; ++i) {
        const std::size_t at = markers == 1 ? 0
                                            : last * static_cast<std::size_t>(i) /
                                                  static_cast<std::size_t>(markers - 1);
        note.replace(at, width, Marker(i + 1, 5 * i));
    }
    return note;
}

std::wstring FragmentNote(std::size_t length) {
    std::wstring note;
    note.reserve(length);
    while (note.size() < length)
        note += note.size() % 2 == 0 ? L'{' : L'*';
    return note;
}

std::wstring DayNote(DateSerial day) {
    std::wstring note = L"Stand-up with the team " + Marker(9, day % 60) + L"\r\n";
    note += kProse;
    if (day % 3 == 0) note += L"Dentist " + Marker(11, 15) + L", bring the card.\r\n";
    return note;
}

std::wstring ListNote(int which, int lines) {
    constexpr std::wstring_view kItems[] = {
        L"Stand-up with the team", L"Call the garage about the brakes",
        L"Buy bread, milk and coffee", L"Pay the electricity bill", L"Parcel at the post office"};
    std::wstring note;
    for (int i = 0; i < lines; ++i) {
        if (i > 0) note += L"\r\n";
        note += kItems[static_cast<std::size_t>(i + which) % std::size(kItems)];
        if (i % 4 == 0) note += L" " + Marker(8 + i / 4 % 4, 5 * i % 60);
    }
    return note;
}

}  // namespace velmi::bench
