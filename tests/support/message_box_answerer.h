// Answers the message boxes that a process shows, the way a user would:
// a background thread finds each new "#32770" window of the process, records
// its title and text, and presses a button.
#pragma once

#include "window_input.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace velmi::test {

struct SeenBox {
    std::wstring title;
    std::wstring text;                  // the message, or an input box's prompt
    std::vector<std::wstring> buttons;  // captions, in child order
    HWND owner = nullptr;
    HWND window = nullptr;  // the box itself, gone once it was answered
};

class MessageBoxAnswerer {
public:
    // Watches the process with the given id (this process by default) and
    // answers every box with the button of the given command id, or with its
    // first button when it has no such button.
    explicit MessageBoxAnswerer(int answer = IDOK, DWORD processId = GetCurrentProcessId());
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    void SetAnswer(int commandId) { answer_ = commandId; }
    // The next boxes are answered in turn by typing the text into their entry
    // field (input boxes have one) and pressing the button; then the usual answer.
    void QueueReply(std::wstring text, int commandId = IDOK);
    // Leaves boxes open (they are still recorded) until answering is resumed.
    void Hold(bool hold) { hold_ = hold; }
    [[nodiscard]] std::vector<SeenBox> Seen() const;
    // Waits until at least count boxes were seen; false on timeout.
    [[nodiscard]] bool WaitForCount(size_t count, std::chrono::milliseconds timeout) const;

private:
    void Run();
    void Visit(HWND box);
    static SeenBox Read(HWND box);
    static void Press(HWND box, int commandId);

    DWORD processId_;
    std::atomic<int> answer_;
    std::atomic<bool> hold_{false};
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    mutable std::condition_variable seenChanged_;
    std::vector<SeenBox> seen_;
    std::set<HWND> recorded_;
    std::set<HWND> answered_;
    std::vector<std::pair<std::wstring, int>> replies_;
    std::thread thread_;
};

}  // namespace velmi::test
