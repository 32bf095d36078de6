// Day notes in the running program: they follow the calendar, and the ten
// days before today are purged.
#include "message_box_answerer.h"
#include "process.h"
#include "velmi_process.h"

#include <gtest/gtest.h>

namespace velmi::test {
namespace {

void StoreNote(long serial, const std::wstring& text) {
    ASSERT_EQ(RunProcess(L"reg.exe add \"" + NoteKey(serial) + L"\" /ve /d \"" + text + L"\" /f")
                  .exitCode,
              0u);
}

bool HasDay(long serial) {
    std::string dayKey = "Ruviruve\\ ";
    dayKey += std::to_string(serial);
    dayKey += "\r\n";
    return RegQuery(L"HKLM\\Software\\Tolvane\\Ruviruve").find(dayKey) != std::string::npos;
}

class Notes : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteAll(L"HKLM\\Software\\Tolvane");
        RegDeleteAll(L"HKCU\\Software\\Tolvane");
    }
};

TEST_F(Notes, FollowTheDayThatIsPicked) {
    VelmiProcess velmi;
    ASSERT_NE(velmi.WaitForMainWindow(), nullptr);
    HWND note = velmi.Child(kNoteBoxId);
    TypeInto(note, L"Dentist at nine");

    SYSTEMTIME now{};
    GetLocalTime(&now);
    // Another day of this month outside the ten purged days: tomorrow, or at
    // the month's end twelve days back.
    const int other = now.wDay <= 27 ? now.wDay + 1 : now.wDay - 12;
    const long otherSerial = TodaySerial() - now.wDay + other;
    ClickCentre(velmi.DayCell(other));
    EXPECT_EQ(WindowText(note), L"");
    EXPECT_NE(RegQuery(NoteKey(TodaySerial())).find("REG_SZ    Dentist at nine"),
              std::string::npos);
    EXPECT_EQ(RegQuery(NoteKey(otherSerial)).find("REG_SZ"), std::string::npos);  // not left yet
    TypeInto(note, L"other day");

    ClickCentre(velmi.DayCell(now.wDay));
    EXPECT_EQ(WindowText(note), L"Dentist at nine");
    EXPECT_NE(RegQuery(NoteKey(otherSerial)).find("REG_SZ    other day"), std::string::npos);
    PostMessageW(velmi.Main(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(velmi.WaitForExit());
}

TEST_F(Notes, StartingPurgesTheTenDaysBeforeToday) {
    const long today = TodaySerial();
    StoreNote(today - 1, L"yesterday");
    StoreNote(today - 10, L"ten days back");
    StoreNote(today - 11, L"eleven days back");
    StoreNote(today + 1, L"tomorrow");
    VelmiProcess velmi;
    ASSERT_NE(velmi.WaitForMainWindow(), nullptr);
    EXPECT_FALSE(HasDay(today - 1));
    EXPECT_FALSE(HasDay(today - 10));
    EXPECT_TRUE(HasDay(today - 11));
    EXPECT_TRUE(HasDay(today + 1));
    EXPECT_TRUE(HasDay(today));
}

}  // namespace
}  // namespace velmi::test
