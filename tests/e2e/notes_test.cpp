// A note in the running program, end to end: typed, stored under its day
// when another day is picked, shown again on its day and after a new start.
#include "message_box_answerer.h"
#include "process.h"
#include "velmi_process.h"

#include <gtest/gtest.h>

namespace velmi::test {
namespace {

TEST(Notes, FollowTheDayThroughTheRegistryAndANewStart) {
    RegDeleteAll(L"HKLM\\Software\\Tolvane");
    RegDeleteAll(L"HKCU\\Software\\Tolvane");
    SYSTEMTIME now{};
    GetLocalTime(&now);
    // Another day of this month outside the ten purged days: tomorrow, or at
    // the month's end twelve days back.
    const int other = now.wDay <= 27 ? now.wDay + 1 : now.wDay - 12;
    const long otherSerial = TodaySerial() - now.wDay + other;
    {
        VelmiProcess velmi;
        ASSERT_NE(velmi.WaitForMainWindow(), nullptr);
        HWND note = velmi.Child(kNoteBoxId);
        Type(note, L"Dentist at nine\r\nthen lunch");
        Click(velmi.DayCell(other));
        EXPECT_EQ(WindowText(note), L"");
        EXPECT_NE(RegQuery(NoteKey(TodaySerial())).find("REG_SZ    Dentist at nine"),
                  std::string::npos);
        Type(note, L"other day");
        Click(velmi.DayCell(now.wDay));
        EXPECT_EQ(WindowText(note), L"Dentist at nine\r\nthen lunch");
        EXPECT_NE(RegQuery(NoteKey(otherSerial)).find("REG_SZ    other day"), std::string::npos);
        PostMessageW(velmi.Main(), WM_CLOSE, 0, 0);
        ASSERT_TRUE(velmi.WaitForExit());
    }
    VelmiProcess again;
    ASSERT_NE(again.WaitForMainWindow(), nullptr);
    EXPECT_EQ(WindowText(again.Child(kNoteBoxId)), L"Dentist at nine\r\nthen lunch");
}

}  // namespace
}  // namespace velmi::test
