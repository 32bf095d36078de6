// The main window in this process, with the real calendar control and the
// real registry, a clock and a sound of the test's own, and message boxes
// answered as a user would.
#pragma once

#include "nuv_contract.h"
#include "main_window.h"
#include "message_box_answerer.h"
#include "registry_note_store.h"
#include "window_input.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace velmi::test {

using namespace std::chrono_literals;

inline constexpr wchar_t kTestRoot[] = L"Software\\VelmiTests\\MainWindow";
inline constexpr DateSerial kToday = 46361;  // Saturday, 5 December 2026

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

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot);
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kTestRoot, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &root, nullptr),
                  ERROR_SUCCESS);
        store = std::make_unique<TestStore>(root);
        mainWindow = std::make_unique<MainWindow>(MainWindowServices{
            [this]() -> NoteStore& { return *store; }, clock, sound,
            L"Local\\VelmiTests.MainWindow", L"VelmiReg.htm", [](const std::wstring&) {}});
        ASSERT_TRUE(mainWindow->Create());
        mainWindow->Show();
        Pump();
    }
    void TearDown() override {
        mainWindow.reset();
        Pump();
        RegCloseKey(root);
        RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot);
    }
    HWND Main() const { return mainWindow->Window(); }
    HWND Note() const { return Child(Main(), kNoteBoxId); }
    HWND CalendarPart(int id) const { return Child(mainWindow->Calendar().Window(), id); }
    void Menu(int id) const { SendMessageW(Main(), WM_COMMAND, id, 0); }
    std::wstring Stored(DateSerial day) { return RegistryNoteStore(root).ReadNote(day).text; }

    HKEY root = nullptr;
    TestClock clock;
    RecordingSound sound;
    std::unique_ptr<TestStore> store;
    std::unique_ptr<MainWindow> mainWindow;
};

}  // namespace velmi::test
