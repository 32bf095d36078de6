#include "window_input.h"

#include <algorithm>
#include <vector>

namespace velmi::test {

void Pump(std::chrono::milliseconds duration, const KeyFilter& filter) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(duration.count());
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (filter && filter(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= end) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    } while (true);
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout,
               const KeyFilter& filter) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
    while (!done()) {
        if (GetTickCount64() >= end) return false;
        Pump(std::chrono::milliseconds(10), filter);
    }
    return true;
}

HWND Child(HWND parent, int id) {
    std::pair<int, HWND> search{id, nullptr};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<std::pair<int, HWND>*>(param);
            if (GetDlgCtrlID(child) != s->first) return TRUE;
            s->second = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}

std::wstring WindowText(HWND window) {
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 60000, &length);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_NORMAL, 60000, &copied);
    text.resize(copied);
    return text;
}

std::vector<std::wstring> ListRows(HWND list) {
    std::vector<std::wstring> rows;
    const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring row(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
        row.resize(static_cast<size_t>(
            SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(row.data()))));
        rows.push_back(row);
    }
    return rows;
}

void Click(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    Click(window, {r.right / 2, r.bottom / 2});
}

void Click(HWND window, POINT at) {
    const LPARAM where = MAKELPARAM(at.x, at.y);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, where);
    SendMessageW(window, WM_LBUTTONUP, 0, where);
}

void Type(HWND window, std::wstring_view text, const KeyFilter& filter) {
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\n' && i > 0 && text[i - 1] == L'\r') continue;
        MSG enter{window, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
        if (c == L'\r' && filter && filter(enter)) continue;
        SendMessageW(window, WM_CHAR, c, 1);
    }
}

void Key(HWND window, UINT vk, const KeyFilter& filter) {
    MSG msg{window, WM_KEYDOWN, vk, 0, 0, {}};
    if (!filter || !filter(msg)) SendMessageW(window, WM_KEYDOWN, vk, 0);
}

namespace {

// Sends the input and pumps until the thread has seen as many release
// messages as the input releases keys or buttons; then what they made.
bool Deliver(std::vector<INPUT>& inputs, UINT release, const KeyFilter& filter) {
    const UINT count = static_cast<UINT>(inputs.size());
    if (SendInput(count, inputs.data(), sizeof(INPUT)) != count) return false;
    const auto ups = std::count_if(inputs.begin(), inputs.end(), [](const INPUT& i) {
        return i.type == INPUT_KEYBOARD ? (i.ki.dwFlags & KEYEVENTF_KEYUP) != 0
                                        : (i.mi.dwFlags & MOUSEEVENTF_LEFTUP) != 0;
    });
    long released = 0;
    const auto watch = [&](MSG& msg) {
        released += msg.message == release;
        return filter && filter(msg);
    };
    if (!PumpUntil([&] { return released == ups; }, std::chrono::seconds(5), watch)) return false;
    Pump(std::chrono::milliseconds(0), filter);
    return true;
}

// A virtual key, or without one the character itself.
void AddKey(std::vector<INPUT>& inputs, WORD vk, wchar_t c, bool up) {
    INPUT input{INPUT_KEYBOARD, {}};
    input.ki.wVk = vk;
    input.ki.wScan = vk ? 0 : c;
    input.ki.dwFlags = (vk ? 0 : KEYEVENTF_UNICODE) | (up ? KEYEVENTF_KEYUP : 0);
    inputs.push_back(input);
}

}  // namespace

bool Press(std::wstring_view keys, const KeyFilter& filter) {
    std::vector<INPUT> inputs;
    for (const wchar_t c : keys) {
        const WORD vk = c == L'\r' ? VK_RETURN : c == L'\t' ? VK_TAB : 0;
        AddKey(inputs, vk, c, false);
        AddKey(inputs, vk, c, true);
    }
    return Deliver(inputs, WM_KEYUP, filter);
}

bool PressKey(WORD vk, bool control, const KeyFilter& filter) {
    std::vector<INPUT> inputs;
    if (control) AddKey(inputs, VK_CONTROL, 0, false);
    AddKey(inputs, vk, 0, false);
    AddKey(inputs, vk, 0, true);
    if (control) AddKey(inputs, VK_CONTROL, 0, true);
    return Deliver(inputs, WM_KEYUP, filter);
}

bool RealClick(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    std::vector<INPUT> inputs(2, INPUT{INPUT_MOUSE, {}});
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    return Deliver(inputs, WM_LBUTTONUP, {});
}

}  // namespace velmi::test
