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

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace velmi::test {

using namespace std::chrono_literals;

inline constexpr DateSerial kToday = 46361;  // Saturday, 5 December 2026

class TestClock : public Clock {
public:
    LocalDateTime Now() const override { return now; }
    LocalDateTime now{{2026, 12, 5}, {9, 30, 5}};
};

// Each play lasts until the program stops the sound, as a long one would.
class BlockingSound : public SoundPlayer {
public:
    void Play(std::wstring_view) override {
        ++plays;
        WaitForSingleObject(stopped_.get(), INFINITE);
    }
    void Stop() override { SetEvent(stopped_.get()); }
    std::atomic<int> plays{0};

private:
    unique_handle stopped_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

// The real registry, with writes or removals that fail on demand.
class TestStore : public NoteStore {
public:
    explicit TestStore(HKEY root) : inner_(root) {}
    RegText ReadNote(DateSerial day) override { return inner_.ReadNote(day); }
    RegResult WriteNote(DateSerial day, std::wstring_view note) override {
        ++writes;
        if (failWrites) return {RegStatus::kFailed, ERROR_ACCESS_DENIED};
        return inner_.WriteNote(day, note);
    }
    RegResult RemoveDay(DateSerial day) override {
        ++removals;
        if (failRemovals) return {RegStatus::kFailed, ERROR_ACCESS_DENIED};
        return inner_.RemoveDay(day);
    }
    bool failWrites = false, failRemovals = false;
    int writes = 0, removals = 0;  // notes and days asked to be written or to go

private:
    RegistryNoteStore inner_;
};

// The main window in this process, on a registry key of the test's own made
// afresh under HKEY_CURRENT_USER, started and restarted as the program would
// be and driven with the messages a user's mouse and keyboard make.
class MainWindowDriver {
public:
    MainWindowDriver(std::wstring testKey, std::wstring instanceName)
        : key_(std::move(testKey)), instance_(std::move(instanceName)) {
        RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
        RegDeleteTreeW(HKEY_CURRENT_USER, MemoryPath().c_str());
        RegCreateKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &root_, nullptr);
        store_ = std::make_unique<TestStore>(root_);
    }
    ~MainWindowDriver() {
        window_.reset();
        Pump();
        RegCloseKey(root_);
        RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
        RegDeleteTreeW(HKEY_CURRENT_USER, MemoryPath().c_str());
    }
    MainWindowDriver(const MainWindowDriver&) = delete;
    MainWindowDriver& operator=(const MainWindowDriver&) = delete;

    // The program started: a new main window on the same store, shown.
    [[nodiscard]] bool Start() {
        // The copy before must be gone, or the new one finds it running; its quit
        // message goes too, or it would end the next modal box at once.
        window_.reset();
        Pump();
        window_ = std::make_unique<MainWindow>(MainWindowServices{
            [this]() -> NoteStore& { return *store_; }, clock, sound, instance_, L"VelmiReg.htm",
            [this](const std::wstring& path) {
                opened.push_back(path);
                return openError;
            },
            false, MemoryPath()});
        if (!window_->Create()) return false;
        window_->Show();
        Pump();
        return true;
    }
    // The close box: true when the window is gone afterwards.
    [[nodiscard]] bool Close() {
        SendMessageW(Main(), WM_CLOSE, 0, 0);
        Pump();
        return Main() == nullptr;
    }
    // The program's own keyboard handling, as its message loop offers it keys.
    [[nodiscard]] KeyFilter Keys() {
        return [this](MSG& msg) { return window_ && window_->PreTranslateMessage(msg); };
    }
    // Runs what is queued for this thread as the program's own loop does.
    void Pump() { test::Pump(0ms, Keys()); }

    [[nodiscard]] MainWindow& App() { return *window_; }
    [[nodiscard]] TestStore& Store() { return *store_; }
    [[nodiscard]] HKEY Root() const noexcept { return root_; }
    [[nodiscard]] std::wstring Stored(DateSerial day) const {
        return RegistryNoteStore(root_).ReadNote(day).text;
    }
    [[nodiscard]] HWND Main() const { return window_ ? window_->Window() : nullptr; }
    // The reminders' memory, beside the store's key.
    [[nodiscard]] std::wstring MemoryPath() const { return key_ + L" reminders"; }
    [[nodiscard]] HWND Reminders() const { return window_->RemindersWindow().Window(); }
    // The reminder window's rows, none while it is hidden.
    [[nodiscard]] std::vector<std::wstring> Rows() const {
        if (!Reminders() || !IsWindowVisible(Reminders())) return {};
        return ListRows(Child(Reminders(), kReminderListId));
    }
    void PressButton(int button) { SendMessageW(Child(Reminders(), button), BM_CLICK, 0, 0); }
    [[nodiscard]] HWND Note() const { return Item(kNoteBoxId); }
    [[nodiscard]] HWND Item(int id) const { return Child(Main(), id); }
    [[nodiscard]] HWND CalendarPart(int id) const {
        return Child(window_->Calendar().Window(), id);
    }
    void Menu(int id) const { SendMessageW(Main(), WM_COMMAND, id, 0); }
    // A tick of the alarm timer at that time of the clock's day.
    void Tick(TimeOfDay time) {
        clock.now.time = time;
        SendMessageW(Main(), WM_TIMER, kCheckTimerId, 0);
    }

    TestClock clock;
    BlockingSound sound;
    std::vector<std::wstring> opened;  // what the program asked the platform to open
    DWORD openError = ERROR_SUCCESS;   // what the platform answers

private:
    std::wstring key_, instance_;
    HKEY root_ = nullptr;
    std::unique_ptr<TestStore> store_;
    std::unique_ptr<MainWindow> window_;
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(app.Start()); }
    MainWindowDriver app{L"Software\\VelmiTests\\MainWindow", L"Local\\VelmiTests.MainWindow"};
};

}  // namespace velmi::test
