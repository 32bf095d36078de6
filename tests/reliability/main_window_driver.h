// Velmi's main window in this process, on a registry key of the test's own,
// with the test's clock, sound and file opener, driven with the messages a
// user's mouse and keyboard make.
#pragma once

#include "main_window_fixture.h"
#include "window_input.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velmi::reliability {

class MainWindowDriver {
public:
    // testKey is made afresh under HKEY_CURRENT_USER and removed at the end.
    MainWindowDriver(std::wstring testKey, std::wstring instanceName);
    ~MainWindowDriver();
    MainWindowDriver(const MainWindowDriver&) = delete;
    MainWindowDriver& operator=(const MainWindowDriver&) = delete;

    // The program started: a new main window on the same store, shown.
    [[nodiscard]] bool Start();
    // The close box: true when the window is gone afterwards.
    [[nodiscard]] bool Close();
    // The program's own keyboard handling, as its message loop offers it keys.
    [[nodiscard]] test::KeyFilter Keys() {
        return [this](MSG& msg) { return window_ && window_->PreTranslateMessage(msg); };
    }
    // Runs what is queued for this thread as the program's own loop does.
    void Pump() { test::Pump(std::chrono::milliseconds(0), Keys()); }

    [[nodiscard]] MainWindow& App() { return *window_; }
    [[nodiscard]] test::TestStore& Store() { return *store_; }
    [[nodiscard]] HKEY Root() const noexcept { return root_; }
    [[nodiscard]] HWND Main() const { return window_ ? window_->Window() : nullptr; }
    [[nodiscard]] HWND Note() const { return Item(kNoteBoxId); }
    [[nodiscard]] HWND Item(int id) const { return test::Child(Main(), id); }
    [[nodiscard]] HWND CalendarPart(int id) const {
        return test::Child(window_->Calendar().Window(), id);
    }
    void Menu(int id) const { SendMessageW(Main(), WM_COMMAND, id, 0); }

    test::TestClock clock;
    test::RecordingSound sound;
    std::vector<std::wstring> opened;  // what the program asked the platform to open

private:
    std::wstring key_, instance_;
    HKEY root_ = nullptr;
    std::unique_ptr<test::TestStore> store_;
    std::unique_ptr<MainWindow> window_;
};

}  // namespace velmi::reliability
