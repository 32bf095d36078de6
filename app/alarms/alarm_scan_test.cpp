#include "alarm_scan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmi {
namespace {

using Minutes = std::vector<int>;

// The armed minutes, scanned into a table that held other alarms before.
Minutes Armed(std::wstring_view note) {
    MinuteTable table;
    table.minutes = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    table.count = 3;
    ScanAlarms(note, table);
    return {table.minutes.begin() + 1, table.minutes.begin() + 1 + table.count};
}

// alarm_scan_fuzz checks every note against a reference scan; these name the
// rules of the marker layout one by one.
TEST(ScanAlarms, NamedNotes) {
    const std::pair<std::wstring_view, Minutes> kNotes[] = {
        {L"", {}},
        {L"Gym {*07:00PM*}\r\nCall {*08:15AM*} mum\r\n{*12:00PM*}", {1140, 495, 720}},
        {L"{*12:15AM*}{*00:15AM*}{*00:15PM*}", {15, 15, 735}},  // "00PM" is read as noon
        // Hours past 12 and other designators stand as written; the compare is exact.
        {L"{*15:00PM*}{*15:00AM*}{*03:00pm*}{*12:00xx*}", {900, 900, 180, 720}},
        {L"{*10:00AM*} then {*11:00", {600}},        // a marker cut off by the end stops the scan
        {L"{*10:00AM*} then {*11:00P", {600, 660}},  // eight characters: "P" is no designator
        {L"{*09:AM*}{*:30AM*}{*24:00AM*}{*11:60AM*}{*1a:00AM*}", {}},
        {L"smile {*{*09:30AM*}", {570}},      // a stray opening hides no marker
        {L"{*09:30{*10:00AM*}", {570, 600}},  // the search goes on from the designator
    };
    for (const auto& [note, armed] : kNotes)
        EXPECT_EQ(Armed(note), armed) << std::wstring(note);
}

// Longer than the fuzzer goes: the whole note is scanned, without slowing
// down on stray openings, and only the first ten markers are armed.
TEST(ScanAlarms, LongNotesAreScannedWholeUpToTenAlarms) {
    std::wstring note(1 << 20, L'x');
    for (int i = 0; i < (1 << 19); ++i)
        note += L"{*";
    for (int minute = 10; minute < 22; ++minute)
        note += L"{*00:" + std::to_wstring(minute) + L"AM*}";
    EXPECT_EQ(Armed(note), (Minutes{10, 11, 12, 13, 14, 15, 16, 17, 18, 19}));
}

}  // namespace
}  // namespace velmi
