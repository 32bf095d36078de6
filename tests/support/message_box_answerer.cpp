#include "message_box_answerer.h"

#include <algorithm>

namespace velmi::test {
namespace {

constexpr int kMessageTextId = 0xFFFF;  // the static that holds a message box's text
constexpr int kMessageIconId = 0x0440;  // the static that shows its icon

bool IsDialogOf(HWND window, DWORD processId) {
    wchar_t cls[16] = {};
    GetClassNameW(window, cls, 16);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid == processId && wcscmp(cls, L"#32770") == 0 && IsWindowVisible(window);
}

}  // namespace

std::wstring WindowText(HWND window) {
    const auto length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const auto copied =
        SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied));
    return text;
}

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

void MessageBoxAnswerer::Clear() {
    std::lock_guard lock(mutex_);
    seen_.clear();
}

bool MessageBoxAnswerer::WaitForCount(size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return seenChanged_.wait_for(lock, timeout, [&] { return seen_.size() >= count; });
}

void MessageBoxAnswerer::Run() {
    while (!stop_) {
        std::pair<DWORD, std::vector<HWND>> found{processId_, {}};
        EnumWindows(
            [](HWND window, LPARAM param) -> BOOL {
                auto* f = reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(param);
                if (IsDialogOf(window, f->first)) f->second.push_back(window);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        const std::vector<HWND>& boxes = found.second;
        for (HWND box : boxes)
            Visit(box);
        Sleep(20);
    }
}

void MessageBoxAnswerer::Visit(HWND box) {
    {
        std::lock_guard lock(mutex_);
        // Forget boxes that are gone, so a reused handle counts as a new box.
        std::erase_if(recorded_, [](HWND w) { return !IsWindow(w); });
        if (!recorded_.contains(box)) {
            SeenBox seen;
            seen.title = WindowText(box);
            seen.text = WindowText(GetDlgItem(box, kMessageTextId));
            // The icon static is always there; it holds an icon only when the box has one.
            HWND icon = GetDlgItem(box, kMessageIconId);
            seen.hasIcon = icon && SendMessageW(icon, STM_GETICON, 0, 0) != 0;
            seen.owner = GetWindow(box, GW_OWNER);
            for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
                wchar_t cls[16] = {};
                GetClassNameW(c, cls, 16);
                if (_wcsicmp(cls, L"Button") == 0) seen.buttons.push_back(WindowText(c));
            }
            recorded_.insert(box);
            seen_.push_back(std::move(seen));
            seenChanged_.notify_all();
        }
    }
    if (hold_) return;
    int id = answer_;
    HWND button = GetDlgItem(box, id);
    if (!button) {
        for (HWND c = GetWindow(box, GW_CHILD); c && !button; c = GetWindow(c, GW_HWNDNEXT)) {
            wchar_t cls[16] = {};
            GetClassNameW(c, cls, 16);
            if (_wcsicmp(cls, L"Button") == 0) button = c;
        }
        id = button ? GetDlgCtrlID(button) : IDOK;
    }
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

}  // namespace velmi::test
