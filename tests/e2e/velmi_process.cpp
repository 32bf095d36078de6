#include "velmi_process.h"

#include "message_box_answerer.h"
#include "nuv_ids.h"
#include "process.h"

#include <thread>

namespace velmi::test {

using namespace std::chrono_literals;

std::wstring BinDir() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path);
    return dir.substr(0, dir.find_last_of(L"\\/") + 1);
}

VelmiProcess::VelmiProcess(const std::wstring& arguments) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    std::wstring command = L"\"" + BinDir() + L"Velmi.exe\" " + arguments;
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

DWORD VelmiProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

bool VelmiProcess::Running() const {
    return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

HWND VelmiProcess::DayCell(int day) const {
    for (int id = NUV_ID_DAY_FIRST; id <= NUV_ID_DAY_FIRST + 36; ++id) {
        HWND cell = Child(id);
        if (IsWindowVisible(cell) && WindowText(cell) == std::to_wstring(day)) return cell;
    }
    return nullptr;
}

std::wstring NoteKey(long serial) {
    return L"HKLM\\Software\\Tolvane\\Ruviruve\\ " + std::to_wstring(serial) + L"\\task";
}

std::string RegQuery(const std::wstring& key) {
    return RunProcess(L"reg.exe query \"" + key + L"\" /s").output;
}

void RegDeleteAll(const std::wstring& key) {
    (void)RunProcess(L"reg.exe delete \"" + key + L"\" /f");
}

}  // namespace velmi::test
