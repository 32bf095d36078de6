// Velmi.exe as a user meets it: started, typed into, closed, started again.
#include "message_box_answerer.h"
#include "process.h"
#include "velmi_process.h"

#include <gtest/gtest.h>

namespace velmi::test {
namespace {

using namespace std::chrono_literals;

constexpr wchar_t kStoreKey[] = L"HKLM\\Software\\Tolvane";
constexpr wchar_t kUserStoreKey[] = L"HKCU\\Software\\Tolvane";

std::wstring TodayNoteKey() {
    return NoteKey(TodaySerial());
}

class Startup : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteAll(kStoreKey);
        RegDeleteAll(kUserStoreKey);
    }
};

TEST_F(Startup, ShowsTodayAndKeepsWhatWasTypedForTheNextStart) {
    {
        VelmiProcess velmi;
        HWND main = velmi.WaitForMainWindow();
        ASSERT_NE(main, nullptr);
        EXPECT_EQ(WindowText(main), L"Scheduled items for " + TodayCanonical());
        HWND note = velmi.Child(kNoteBoxId);
        EXPECT_EQ(velmi.Focus(), note);
        EXPECT_EQ(WindowText(note), L"");
        TypeInto(note, L"Buy milk\r\nand bread");
        PostMessageW(main, WM_CLOSE, 0, 0);
        ASSERT_TRUE(velmi.WaitForExit());
    }
    const std::string stored = RegQuery(TodayNoteKey());
    EXPECT_NE(stored.find("REG_SZ    Buy milk"), std::string::npos) << stored;

    VelmiProcess again;
    ASSERT_NE(again.WaitForMainWindow(), nullptr);
    EXPECT_EQ(WindowText(again.Child(kNoteBoxId)), L"Buy milk\r\nand bread");
}

TEST_F(Startup, ASecondCopySaysSoAndEnds) {
    VelmiProcess first;
    HWND main = first.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    TypeInto(first.Child(kNoteBoxId), L"mine");

    VelmiProcess second;
    MessageBoxAnswerer answerer(IDOK, second.Pid());
    ASSERT_TRUE(answerer.WaitForCount(1, 30s));
    ASSERT_TRUE(second.WaitForExit());
    const SeenBox box = answerer.Seen().at(0);
    EXPECT_EQ(box.text,
              L"Only one copy of Tolvane Schedule can be executed,  already open on this machine");
    EXPECT_EQ(box.title, L"Velmi");
    EXPECT_EQ(box.buttons, std::vector<std::wstring>{L"OK"});
    EXPECT_FALSE(box.hasIcon);

    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_EQ(WindowText(first.Child(kNoteBoxId)), L"mine");
}

TEST_F(Startup, TheSessionsEndSavesTheNote) {
    VelmiProcess velmi;
    HWND main = velmi.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    TypeInto(velmi.Child(kNoteBoxId), L"before shutdown");
    EXPECT_TRUE(SendMessageW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    EXPECT_NE(RegQuery(TodayNoteKey()).find("REG_SZ    before shutdown"), std::string::npos);
    SendMessageW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_TRUE(velmi.WaitForExit());
}

TEST_F(Startup, WithoutTheCalendarItExplainsAndTouchesNothing) {
    ASSERT_EQ(RunProcess(L"regsvr32.exe /s /u \"" + BinDir() + L"Nuv.ocx\"").exitCode, 0u);
    {
        VelmiProcess velmi;
        MessageBoxAnswerer answerer(IDOK, velmi.Pid());
        ASSERT_TRUE(answerer.WaitForCount(1, 30s));
        EXPECT_TRUE(velmi.WaitForExit());
        const SeenBox box = answerer.Seen().at(0);
        EXPECT_EQ(box.title, L"Velmi");
        EXPECT_NE(box.text.find(L"regsvr32 Nuv.ocx"), std::wstring::npos) << box.text.c_str();
    }
    EXPECT_EQ(RegQuery(kStoreKey).find("Ruviruve"), std::string::npos);
    ASSERT_EQ(RunProcess(L"regsvr32.exe /s \"" + BinDir() + L"Nuv.ocx\"").exitCode, 0u);
}

}  // namespace
}  // namespace velmi::test
