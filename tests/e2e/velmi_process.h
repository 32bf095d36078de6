// Velmi.exe started as a process of its own, found and driven from outside
// the way a user's input reaches it.
#pragma once

#include "velmi_controls.h"
#include "window_input.h"

#include <windows.h>

#include <chrono>
#include <string>

namespace velmi::test {

class VelmiProcess {
public:
    explicit VelmiProcess(const std::wstring& arguments = {});
    ~VelmiProcess();  // a copy still running is ended
    VelmiProcess(const VelmiProcess&) = delete;
    VelmiProcess& operator=(const VelmiProcess&) = delete;

    [[nodiscard]] DWORD Pid() const noexcept { return info_.dwProcessId; }
    // The main window once it is shown with its caption set, or null.
    [[nodiscard]] HWND WaitForMainWindow(
        std::chrono::milliseconds timeout = std::chrono::seconds(30));
    [[nodiscard]] bool WaitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(30));
    [[nodiscard]] bool Running() const;
    [[nodiscard]] DWORD ExitCode() const;
    [[nodiscard]] HWND Main() const noexcept { return main_; }
    [[nodiscard]] HWND Child(int id) const { return test::Child(main_, id); }
    // The calendar's visible day cell showing the day number, or null.
    [[nodiscard]] HWND DayCell(int day) const;

private:
    PROCESS_INFORMATION info_{};
    HWND main_ = nullptr;
};

// The registry key of a day's note.
[[nodiscard]] std::wstring NoteKey(long serial);

// The directory of the test executables, where Velmi.exe and Nuv.ocx are built.
[[nodiscard]] std::wstring BinDir();

// What reg.exe prints for a key and everything below it.
[[nodiscard]] std::string RegQuery(const std::wstring& key);
// Removes a key with everything below it.
void RegDeleteAll(const std::wstring& key);

}  // namespace velmi::test
