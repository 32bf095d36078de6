// A program of the prefix started and watched from outside, as a user and
// the system see it: when its window appears, what memory and processor
// time it has used.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace velmi::bench {

// Seconds on the performance counter.
[[nodiscard]] double Seconds();

// The folder this executable was started from, where the programs are built.
[[nodiscard]] std::wstring ProgramDir();

// The top-level window a program shows once it has started.
struct WindowSign {
    const wchar_t* windowClass;
    std::wstring_view captionPrefix;  // the caption must start with it
};

class Program {
public:
    Program() = default;
    ~Program();  // one still running is closed, or ended
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Starts the program (a file in ProgramDir()) in that folder; false when
    // it could not be started. StartedAt() is taken right before CreateProcess.
    [[nodiscard]] bool Start(std::wstring_view fileName, std::wstring_view arguments = {});
    [[nodiscard]] double StartedAt() const noexcept { return startedAt_; }

    // Waits until the program's window is visible with its caption, and gives
    // the time it was seen; a negative time when it did not come.
    [[nodiscard]] double WaitForWindow(const WindowSign& sign, double timeoutSeconds = 30);
    [[nodiscard]] HWND Window() const noexcept { return window_; }

    // Asks the window to close and waits for the end; ends it the hard way
    // when it does not. False when it had to be ended.
    bool Close(double timeoutSeconds = 20);

    [[nodiscard]] std::size_t PeakWorkingSet() const;  // bytes
    // User and kernel time of all its threads, to the nanosecond; negative
    // when it cannot be read.
    [[nodiscard]] double CpuSeconds();

private:
    [[nodiscard]] HWND FindShownWindow(const WindowSign& sign) const;

    std::wstring fileName_;
    PROCESS_INFORMATION info_{};
    unsigned long unixPid_ = 0;  // 0 until found
    HWND window_ = nullptr;
    double startedAt_ = 0;
};

// The text of a window, of this process or another.
[[nodiscard]] std::wstring WindowText(HWND window);

}  // namespace velmi::bench
