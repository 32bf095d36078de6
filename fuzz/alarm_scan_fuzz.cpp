// The alarm scan over any note, into a table that held other alarms: never
// more than ten alarms, entry 0 left alone, and the same alarms on the same
// lines as a plain reference reading of the marker layout written here from
// scratch; what each line says is one short line.
#include "alarm_scan.h"
#include "fuzz_support.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

using velmi::MinuteTable;
using velmi::fuzz::Escaped;

// ASCII stays itself so the seeds are readable notes; other bytes stand for
// characters that look like the marker's but are not.
wchar_t NoteChar(std::uint8_t byte) {
    constexpr wchar_t kOdd[] = {L'\0',  0x00A0, 0x0660, 0x0661, 0xFF10, 0xFF11, 0xFF12, 0xFF1A,
                                0xFF5B, 0xFF0A, 0xFF21, 0xFF2D, 0xD800, 0xDC00, 0xFFFF, 0x00E9};
    return byte < 0x80 ? static_cast<wchar_t>(byte) : kOdd[byte & 0x0F];
}

int Digit(wchar_t c) {
    return c >= L'0' && c <= L'9' ? c - L'0' : -1;
}

// Positions count from 1 as in the note's own description: "{*" at p, the
// time at p+2 .. p+6, the designator from p+7. A marker needs eight
// characters from its "{"; the first shorter one ends the scan. Malformed
// markers are passed over from just behind their "{*"; after a marker the
// search goes on at its designator.
std::vector<int> ReferenceScan(const std::vector<wchar_t>& t, std::vector<int>& lines) {
    const std::size_t length = t.size();
    auto at = [&](std::size_t position) { return t[position - 1]; };
    std::vector<int> armed;
    std::size_t start = 1;
    while (armed.size() < 10) {
        std::size_t p = 0;
        for (std::size_t i = start; i + 1 <= length; ++i) {
            if (at(i) == L'{' && at(i + 1) == L'*') {
                p = i;
                break;
            }
        }
        if (p == 0 || p + 7 > length) break;
        const int h1 = Digit(at(p + 2)), h2 = Digit(at(p + 3));
        const int m1 = Digit(at(p + 5)), m2 = Digit(at(p + 6));
        const bool wellFormed = h1 >= 0 && h2 >= 0 && at(p + 4) == L':' && m1 >= 0 && m2 >= 0;
        const int hour = h1 * 10 + h2, minute = m1 * 10 + m2;
        if (!wellFormed || hour > 23 || minute > 59) {
            start = p + 2;
            continue;
        }
        const bool am = p + 8 <= length && at(p + 7) == L'A' && at(p + 8) == L'M';
        const bool pm = p + 8 <= length && at(p + 7) == L'P' && at(p + 8) == L'M';
        int h = hour;
        if (am && hour == 12) h = 0;
        if (pm && hour == 0) h = 12;  // "00PM" is read as noon
        if (pm && hour >= 1 && hour <= 11) h = hour + 12;
        armed.push_back(h * 60 + minute);
        lines.push_back(
            static_cast<int>(std::count(t.begin(), t.begin() + static_cast<long>(p), L'\n')));
        start = p + 7;
    }
    return armed;
}

std::string Describe(const std::vector<wchar_t>& note, const MinuteTable& table,
                     const std::vector<int>& expected) {
    std::string s = "note " + Escaped({note.data(), note.size()}) + "\n  armed";
    for (int i = 1; i <= table.count && i <= MinuteTable::kCapacity; ++i)
        s += " " + std::to_string(table.minutes[static_cast<std::size_t>(i)]);
    s += " (count " + std::to_string(table.count) + ")\n  expected";
    for (const int m : expected)
        s += " " + std::to_string(m);
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Exactly as long as the note, so reading past its end is caught.
    std::vector<wchar_t> note(size);
    for (std::size_t i = 0; i < size; ++i)
        note[i] = NoteChar(data[i]);

    // A table that held other alarms before, with a mark in the unused entry 0.
    constexpr std::int32_t kUntouched = -777;
    MinuteTable table;
    table.minutes.fill(kUntouched);
    table.count = size % 11;
    velmi::ScanAlarms({note.data(), note.size()}, table);

    std::vector<int> lines;
    const std::vector<int> expected = ReferenceScan(note, lines);
    FUZZ_CHECK(table.count >= 0 && table.count <= MinuteTable::kCapacity,
               Describe(note, table, expected));
    FUZZ_CHECK(table.minutes[0] == kUntouched, Describe(note, table, expected));
    const std::vector<int> armed(table.minutes.begin() + 1,
                                 table.minutes.begin() + 1 + table.count);
    FUZZ_CHECK(armed == expected, Describe(note, table, expected));
    FUZZ_CHECK(std::equal(lines.begin(), lines.end(), table.lines.begin() + 1),
               Describe(note, table, expected) + "\n  the lines differ");
    // What a marker's line is for: short, one line, blanks collapsed.
    for (const int line : lines) {
        const std::wstring text = velmi::AlarmLineText({note.data(), note.size()}, line);
        FUZZ_CHECK(text.size() <= velmi::kLongestAlarmText &&
                       text.find_first_of(L"\r\n\t") == std::wstring::npos &&
                       text.find(L"  ") == std::wstring::npos,
                   Describe(note, table, expected) + "\n  line text " +
                       Escaped({text.data(), text.size()}));
    }
    return 0;
}
