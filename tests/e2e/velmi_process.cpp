#include "velmi_process.h"

#include "message_box_answerer.h"
#include "nuv_ids.h"
#include "process.h"

#include <oleauto.h>

#include <thread>

namespace velmi::test {

using namespace std::chrono_literals;

std::wstring BinDir() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path);
    return dir.substr(0, dir.find_last_of(L"\\/") + 1);
}

VelmiProcess::VelmiProcess() {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    std::wstring command = L"\"" + BinDir() + L"Velmi.exe\"";
    // Started in its own folder, where the bare names of its files resolve.
    CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, BinDir().c_str(),
                   &startup, &info_);
}

VelmiProcess::~VelmiProcess() {
    if (!info_.hProcess) return;
    if (Running()) {
        TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 10000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

HWND VelmiProcess::WaitForMainWindow(std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end && Running()) {
        for (HWND w : velmi::test::TopLevelWindows(L"VelmiMainWindow", Pid()))
            if (IsWindowVisible(w)) return main_ = w;
        std::this_thread::sleep_for(50ms);
    }
    return nullptr;
}

bool VelmiProcess::WaitForExit(std::chrono::milliseconds timeout) {
    return info_.hProcess &&
           WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) ==
               WAIT_OBJECT_0;
}

bool VelmiProcess::Running() const {
    return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

HWND VelmiProcess::Child(int id) const {
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        main_,
        [](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            if (GetDlgCtrlID(w) != s->id) return TRUE;
            s->found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND VelmiProcess::Focus() const {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof(gui);
    GetGUIThreadInfo(GetWindowThreadProcessId(main_, nullptr), &gui);
    return gui.hwndFocus;
}

HWND VelmiProcess::DayCell(int day) const {
    constexpr int kDays = 37;
    HWND surface = FindWindowExW(main_, nullptr, L"NuvenderSurface", nullptr);
    HWND frame = GetDlgItem(surface, NUV_ID_FRAME);
    for (int i = 0; i < kDays; ++i) {
        HWND cell = GetDlgItem(frame, NUV_ID_DAY_FIRST + i);
        if (IsWindowVisible(cell) && WindowText(cell) == std::to_wstring(day)) return cell;
    }
    return nullptr;
}

void ClickCentre(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    const LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(window, WM_LBUTTONUP, 0, at);
}

long TodaySerial() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    now.wHour = now.wMinute = now.wSecond = now.wMilliseconds = 0;
    DATE today = 0;
    SystemTimeToVariantTime(&now, &today);
    return static_cast<long>(today);
}

std::wstring NoteKey(long serial) {
    return L"HKLM\\Software\\Tolvane\\Ruviruve\\ " + std::to_wstring(serial) + L"\\task";
}

void TypeInto(HWND window, const std::wstring& text) {
    for (wchar_t c : text) {
        if (c == L'\n') continue;  // Enter gives the line break
        SendMessageW(window, WM_CHAR, c, 1);
    }
}

std::wstring TodayCanonical() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    wchar_t month[64] = {};
    GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &now, L"MMMM", month, 64, nullptr);
    return std::wstring(month) + L"  " + std::to_wstring(now.wDay) + L",  " +
           std::to_wstring(now.wYear);
}

std::string RegQuery(const std::wstring& key) {
    return RunProcess(L"reg.exe query \"" + key + L"\" /s").output;
}

void RegDeleteAll(const std::wstring& key) {
    (void)RunProcess(L"reg.exe delete \"" + key + L"\" /f");
}

}  // namespace velmi::test
