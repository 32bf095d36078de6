// Velmi's main window in this process, on a registry key of the test's own,
// with the test's clock and sound, driven with the messages a user's mouse
// and keyboard make.
#pragma once

#include "main_window_fixture.h"

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

    [[nodiscard]] MainWindow& App() { return *window_; }
    [[nodiscard]] HKEY Root() const noexcept { return root_; }
    [[nodiscard]] HWND Main() const { return window_ ? window_->Window() : nullptr; }
    [[nodiscard]] HWND Note() const { return Item(kNoteBoxId); }
    [[nodiscard]] HWND Item(int id) const;  // a control of the main window, at any depth
    [[nodiscard]] HWND CalendarPart(int id) const;
    [[nodiscard]] std::vector<HWND> AboutWindows() const;

    // Pressed and released at the centre, or at the given point of the client area.
    void Click(HWND window) const;
    void ClickAt(HWND window, POINT at) const;
    void Menu(int id) const;
    // WM_CHAR for each character; Enter goes through the program's own
    // keyboard handling first, as its message loop does.
    void Type(HWND window, std::wstring_view text) const;
    void Key(HWND window, UINT vk) const;

    test::TestClock clock;
    test::RecordingSound sound;

private:
    std::wstring key_, instance_;
    HKEY root_ = nullptr;
    std::unique_ptr<test::TestStore> store_;
    std::unique_ptr<MainWindow> window_;
};

// Runs what is queued for this thread, without waiting for more.
void DrainMessages();

}  // namespace velmi::reliability
