#include "message_box_answerer.h"

#include "window_input.h"

#include <algorithm>

namespace velmi::test {
namespace {

constexpr int kMessageTextId = 0xFFFF;  // the static that holds a message box's text

bool HasClass(HWND window, const wchar_t* name) {
    wchar_t cls[16] = {};
    GetClassNameW(window, cls, 16);
    return _wcsicmp(cls, name) == 0;
}

}  // namespace

MessageBoxAnswerer::MessageBoxAnswerer(int answer, DWORD processId)
    : processId_(processId), answer_(answer), thread_([this] { Run(); }) {}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    stop_ = true;
    thread_.join();
}

std::vector<SeenBox> MessageBoxAnswerer::Seen() const {
    std::lock_guard lock(mutex_);
    return seen_;
}

void MessageBoxAnswerer::QueueReply(std::wstring text, int commandId) {
    std::lock_guard lock(mutex_);
    replies_.emplace_back(std::move(text), commandId);
}

bool MessageBoxAnswerer::WaitForCount(size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return seenChanged_.wait_for(lock, timeout, [&] { return seen_.size() >= count; });
}

void MessageBoxAnswerer::Run() {
    for (; !stop_; Sleep(20)) {
        for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); w;
             w = FindWindowExW(nullptr, w, L"#32770", nullptr)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == processId_ && IsWindowVisible(w)) Visit(w);
        }
    }
}

void MessageBoxAnswerer::Visit(HWND box) {
    std::pair<std::wstring, int> reply{L"", answer_};
    {
        std::lock_guard lock(mutex_);
        // Forget boxes that are gone, so a reused handle counts as a new box.
        std::erase_if(recorded_, [](HWND w) { return !IsWindow(w); });
        std::erase_if(answered_, [](HWND w) { return !IsWindow(w); });
        if (!recorded_.contains(box)) {
            SeenBox seen = Read(box);
            // Every box has a title; without one it was read while being
            // made or torn down, so it is looked at again on the next round.
            if (seen.title.empty()) return;
            recorded_.insert(box);
            seen_.push_back(std::move(seen));
            seenChanged_.notify_all();
        }
        if (hold_ || !answered_.insert(box).second) return;
        if (!replies_.empty()) {
            reply = replies_.front();
            replies_.erase(replies_.begin());
        }
    }
    if (HWND field = FindWindowExW(box, nullptr, L"Edit", nullptr))
        SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(reply.first.c_str()));
    Press(box, reply.second);
}

SeenBox MessageBoxAnswerer::Read(HWND box) {
    SeenBox seen{WindowText(box),
                 WindowText(GetDlgItem(box, kMessageTextId)),
                 {},
                 GetWindow(box, GW_OWNER),
                 box};
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (HasClass(c, L"Button")) seen.buttons.push_back(WindowText(c));
    return seen;
}

void MessageBoxAnswerer::Press(HWND box, int id) {
    HWND button = GetDlgItem(box, id);
    for (HWND c = GetWindow(box, GW_CHILD); c && !button; c = GetWindow(c, GW_HWNDNEXT))
        if (HasClass(c, L"Button")) button = c;
    if (button) id = GetDlgCtrlID(button);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

}  // namespace velmi::test
