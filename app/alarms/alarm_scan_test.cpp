#include "alarm_scan.h"

#include <gtest/gtest.h>

#include <chrono>
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

std::wstring Padded(int value) {
    return (value < 10 ? L"0" : L"") + std::to_wstring(value);
}

TEST(ScanAlarms, DesignatorReadsTheTwelveHourClock) {
    EXPECT_EQ(Armed(L"{*09:30AM*}Dentist"), Minutes{570});
    EXPECT_EQ(Armed(L"{*03:00PM*}{*12:15PM*}{*12:15AM*}{*00:15AM*}"), (Minutes{900, 735, 15, 15}));
    EXPECT_EQ(Armed(L"{*00:15PM*}"), Minutes{735});  // read as noon
    // Hours past 12 and other designators stand as written; the compare is exact.
    EXPECT_EQ(Armed(L"{*15:00PM*}{*15:00AM*}{*03:00pm*}{*12:00xx*}"),
              (Minutes{900, 900, 180, 720}));
    // Every panel marker against the standard library's 12-hour conversion.
    for (int hour = 1; hour <= 12; ++hour) {
        for (const bool pm : {false, true}) {
            const std::wstring marker = L"{*" + Padded(hour) + L":07" + (pm ? L"PM*}" : L"AM*}");
            const auto h24 = std::chrono::make24(std::chrono::hours{hour}, pm).count();
            EXPECT_EQ(Armed(marker), Minutes{static_cast<int>(h24) * 60 + 7}) << marker;
        }
    }
}

TEST(ScanAlarms, MarkersArmInNoteOrderUpToTen) {
    EXPECT_EQ(Armed(L"Gym {*07:00PM*}\r\nCall {*08:15AM*} mum\r\n{*12:00PM*}"),
              (Minutes{1140, 495, 720}));
    EXPECT_EQ(Armed(L""), Minutes{});
    EXPECT_EQ(Armed(L"Buy milk"), Minutes{});
    std::wstring twelve;
    for (int hour = 1; hour <= 12; ++hour)
        twelve += L"{*" + Padded(hour) + L":05AM*} ";
    EXPECT_EQ(Armed(twelve), (Minutes{65, 125, 185, 245, 305, 365, 425, 485, 545, 605}));
}

TEST(ScanAlarms, MarkerCutOffByTheEndStopsTheScan) {
    EXPECT_EQ(Armed(L"{*10:00AM*} then {*11:00"), Minutes{600});  // seven characters left
    // Eight characters are enough: the lone "P" is no designator.
    EXPECT_EQ(Armed(L"{*10:00AM*} then {*11:00P"), (Minutes{600, 660}));
}

TEST(ScanAlarms, MalformedMarkersAreSkippedWithoutHidingRealOnes) {
    EXPECT_EQ(Armed(L"{*09:AM*}{*:30AM*}{*24:00AM*}{*11:60AM*}{*1a:00AM*}"), Minutes{});
    EXPECT_EQ(Armed(L"smile {*{*09:30AM*}"), Minutes{570});
    // The search goes on from the designator, so a marker right there is found.
    EXPECT_EQ(Armed(L"{*09:30{*10:00AM*}"), (Minutes{570, 600}));
}

TEST(ScanAlarms, LongNotesAreScannedWhole) {
    std::wstring note(1 << 20, L'x');
    EXPECT_EQ(Armed(note + L"{*11:00PM*} late {*11:59PM*}"), (Minutes{1380, 1439}));
    std::wstring strays;
    for (int i = 0; i < (1 << 19); ++i)
        strays += L"{*";
    EXPECT_EQ(Armed(strays + L"{*01:00AM*}"), Minutes{60});
}

}  // namespace
}  // namespace velmi
