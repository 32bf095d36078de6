// The main window in this process, with the real calendar control and the
// real registry, a clock and a sound of the test's own, and message boxes
// answered as a user would.
#include "form1.h"
#include "layout.h"
#include "message_box_answerer.h"
#include "registry_note_store.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstdio>
#include <thread>

namespace velmi {
namespace {

using namespace std::chrono_literals;
using test::MessageBoxAnswerer;

constexpr wchar_t kTestRoot[] = L"Software\\VelmiTests\\Form1";
constexpr DateSerial kToday = 46361;  // Saturday, 5 December 2026

class TestClock : public Clock {
public:
    LocalDateTime Now() const override { return now; }
    LocalDateTime now{{2026, 12, 5}, {9, 30, 5}};
};

class RecordingSound : public SoundPlayer {
public:
    void Play(std::wstring_view name) override { plays.emplace_back(name); }
    std::vector<std::wstring> plays;
};

// The real registry, with writes or reads that fail on demand.
class TestStore : public NoteStore {
public:
    explicit TestStore(HKEY root) : inner_(root) {}
    RegText ReadNote(DateSerial day) override {
        if (failReads) return {{RegStatus::kFailed, ERROR_ACCESS_DENIED}, L""};
        return inner_.ReadNote(day);
    }
    RegResult WriteNote(DateSerial day, std::wstring_view note) override {
        if (failWrites) return {RegStatus::kFailed, ERROR_ACCESS_DENIED};
        return inner_.WriteNote(day, note);
    }
    RegResult RemoveDay(DateSerial day) override { return inner_.RemoveDay(day); }
    bool failReads = false, failWrites = false;

private:
    RegistryNoteStore inner_;
};

void Pump() {
    MSG msg;
    for (int round = 0; round < 4; ++round) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    }
}

std::wstring TextOf(HWND w) {
    wchar_t text[4096] = {};
    GetWindowTextW(w, text, 4096);
    return text;
}

class Form1Test : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot);
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kTestRoot, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &root, nullptr),
                  ERROR_SUCCESS);
        store = std::make_unique<TestStore>(root);
    }
    void TearDown() override {
        form.reset();
        Pump();
        RegCloseKey(root);
        RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot);
    }
    void Start() {
        form = std::make_unique<Form1>(Form1Services{[this]() -> NoteStore& { return *store; },
                                                     clock, sound, L"Local\\VelmiTests.Form1"});
        ASSERT_TRUE(form->Create());
        form->Show();
        Pump();
    }
    HWND Note() const { return GetDlgItem(form->Window(), kText1Id); }
    HWND CalendarPart(int id) const {
        HWND frame = GetDlgItem(form->Calendar().Window(), nuv::kFrameId);
        return id == nuv::kDateBoxId ? GetDlgItem(form->Calendar().Window(), id)
                                     : GetDlgItem(frame, id);
    }
    void Click(HWND w) {
        SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    }
    void Key(UINT vk) {
        MSG msg{GetFocus(), WM_KEYDOWN, vk, 0, 0, {}};
        if (!form->PreTranslateMessage(msg)) SendMessageW(msg.hwnd, WM_KEYDOWN, vk, 0);
    }
    std::wstring Stored(DateSerial day) { return RegistryNoteStore(root).ReadNote(day).text; }

    HKEY root = nullptr;
    TestClock clock;
    RecordingSound sound;
    std::unique_ptr<TestStore> store;
    std::unique_ptr<Form1> form;
};

TEST_F(Form1Test, StartsOnTodayWithTheFocusInTheNote) {
    Start();
    EXPECT_EQ(TextOf(form->Window()), L"Scheduled items for December  5,  2026");
    EXPECT_EQ(form->Calendar().Text(), L"December  5,  2026");
    EXPECT_EQ(GetFocus(), Note());
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(form->Window(), kFrame1Id)));
    HMENU menu = GetMenu(form->Window());
    ASSERT_EQ(GetMenuItemCount(menu), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(GetSubMenu(menu, i), nullptr);  // no drop-downs
    RECT client{};
    GetClientRect(form->Window(), &client);
    EXPECT_EQ(client.right, 505);    // 7575 twips at 96 dpi
    EXPECT_EQ(client.bottom, 233);   // 3495 twips
    EXPECT_EQ(Stored(kToday), L"");  // the load step's second change stored it
}

TEST_F(Form1Test, TabGoesFromTheNoteThroughTheCalendarAndBack) {
    Start();
    Key(VK_TAB);
    // 1 December 2026 was a Tuesday: Days(0) and Days(1) are hidden.
    EXPECT_EQ(GetFocus(), CalendarPart(nuv::kDayIdBase + 32));  // the 31st, the last shown
    for (int i = 0; i < 30; ++i)
        Key(VK_TAB);
    EXPECT_EQ(GetFocus(), CalendarPart(nuv::kDayIdBase + 2));
    Key(VK_TAB);
    EXPECT_EQ(GetFocus(), CalendarPart(nuv::kDateBoxId));
    Key(VK_TAB);
    EXPECT_EQ(GetFocus(), Note());
}

TEST_F(Form1Test, AFailedSaveOnClosingAsksWhetherToCloseAnyway) {
    Start();
    SendMessageW(Note(), WM_CHAR, L'x', 1);
    store->failWrites = true;
    MessageBoxAnswerer answerer(IDNO);
    SendMessageW(form->Window(), WM_CLOSE, 0, 0);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    const auto box = answerer.Seen()[0];
    EXPECT_EQ(box.title, L"Velmi");
    EXPECT_NE(box.text.find(L"December  5,  2026"), std::wstring::npos);
    EXPECT_NE(box.text.find(L"Close Velmi anyway?"), std::wstring::npos);
    EXPECT_TRUE(IsWindow(form->Window()));
    EXPECT_EQ(TextOf(Note()), L"x");

    answerer.SetAnswer(IDYES);
    SendMessageW(form->Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(form->Window(), nullptr);
    MSG quit;
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(Form1Test, AtTheSessionsEndAnUnsavedNoteGoesToAFile) {
    Start();
    SendMessageW(Note(), WM_CHAR, L'\u00e9', 1);
    store->failWrites = true;
    EXPECT_TRUE(SendMessageW(form->Window(), WM_QUERYENDSESSION, 0, 0));
    PWSTR documents = nullptr;
    ASSERT_EQ(SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &documents), S_OK);
    const std::wstring path = std::wstring(documents) + L"\\Velmi note 2026-12-05.txt";
    CoTaskMemFree(documents);
    FILE* file = _wfopen(path.c_str(), L"rb");
    ASSERT_NE(file, nullptr);
    char bytes[16] = {};
    const size_t n = fread(bytes, 1, sizeof(bytes), file);
    fclose(file);
    DeleteFileW(path.c_str());
    EXPECT_EQ(std::string(bytes, n), "\xEF\xBB\xBF\xC3\xA9");
}

TEST_F(Form1Test, ADateChangeThatCannotSaveIsReportedOncePerAction) {
    store->failWrites = false;
    Start();
    SendMessageW(Note(), WM_CHAR, L'k', 1);
    store->failWrites = true;
    MessageBoxAnswerer answerer;
    Click(CalendarPart(nuv::kArrowIdBase + 3));  // next month: two Change events
    Pump();
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_NE(answerer.Seen()[0].text.find(L"December  5,  2026"), std::wstring::npos);
    EXPECT_EQ(TextOf(Note()), L"k");
    EXPECT_EQ(TextOf(form->Window()), L"Scheduled items for December  5,  2026");

    store->failWrites = false;
    Click(CalendarPart(nuv::kDayIdBase + 10));  // the next change saves the day it kept
    Pump();
    EXPECT_EQ(Stored(kToday), L"k");
}

TEST_F(Form1Test, TheProblemBoxStaysSafeWhileTicksAndTheSessionsEndArrive) {
    store->failWrites = false;
    Start();
    SendMessageW(Note(), WM_CHAR, L'n', 1);
    form->Alarms().alarms = {{0, 570}, 1};  // due now, at 09:30
    store->failWrites = true;
    MessageBoxAnswerer answerer;
    answerer.Hold(true);
    HWND window = form->Window();
    std::thread meanwhile([&] {
        if (!answerer.WaitForCount(1, 10s)) return;
        SendMessageW(window, WM_QUERYENDSESSION, 0, 0);  // saves, or writes the file
        PostMessageW(window, WM_TIMER, kTimer3Id, 0);
        answerer.Hold(false);
    });
    Click(CalendarPart(nuv::kArrowIdBase + 3));
    for (int i = 0; i < 20 && answerer.Seen().size() < 2; ++i)
        Pump();
    meanwhile.join();
    Pump();
    ASSERT_GE(answerer.Seen().size(), 2u);
    EXPECT_EQ(answerer.Seen()[1].text, L"Alarm went off at 09:30:05");
    EXPECT_EQ(sound.plays.size(), 5u);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(TextOf(Note()), L"n");
}

TEST_F(Form1Test, AlarmsGoOffWithFivePlaysAndAReport) {
    Start();
    SetWindowTextW(Note(), L"{*09:30AM*}Dentist {*09:30AM*}again");
    Click(CalendarPart(nuv::kDayIdBase + 10));  // the note is kept for the 9th ...
    Click(CalendarPart(nuv::kDayIdBase + 6));   // ... and the 5th shows it again, armed
    ASSERT_EQ(form->Alarms().alarms.count, 2);
    MessageBoxAnswerer answerer;
    SendMessageW(form->Window(), WM_TIMER, kTimer3Id, 0);
    ASSERT_EQ(answerer.Seen().size(), 1u);  // two markers of one minute: one report
    const auto box = answerer.Seen()[0];
    EXPECT_EQ(box.text, L"Alarm went off at 09:30:05");
    EXPECT_EQ(box.title, L"Velmi");
    EXPECT_EQ(box.buttons, std::vector<std::wstring>{L"OK"});
    EXPECT_FALSE(box.hasIcon);
    EXPECT_EQ(sound.plays, std::vector<std::wstring>(5, L"laser.wav"));

    clock.now.time = {9, 31, 0};
    SendMessageW(form->Window(), WM_TIMER, kTimer3Id, 0);
    EXPECT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(form->Alarms().alarms.count, 2);  // nothing is disarmed
}

}  // namespace
}  // namespace velmi
