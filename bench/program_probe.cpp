#include "program_probe.h"

#include <psapi.h>

#include <cstdlib>
#include <vector>

namespace velmi::bench {
namespace {

// A file of the Linux /proc file system, read through Wine's drive Z:.
std::string ReadProcFile(const std::wstring& path) {
    HANDLE file =
        CreateFileW((L"Z:\\proc\\" + path).c_str(), GENERIC_READ,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(file);
    return text;
}

// Numeric entries of a /proc folder: processes, or the threads of one.
std::vector<unsigned long> ProcEntries(const std::wstring& folder) {
    std::vector<unsigned long> ids;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((L"Z:\\proc\\" + folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return ids;
    do {
        wchar_t* end = nullptr;
        const unsigned long id = std::wcstoul(found.cFileName, &end, 10);
        if (id != 0 && *end == L'\0') ids.push_back(id);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return ids;
}

std::string Narrow(std::wstring_view text) {
    std::string narrow;
    for (wchar_t c : text)
        narrow += static_cast<char>(c);
    return narrow;
}

// The Linux process of the program of this Wine prefix named `fileName`:
// Wine names each process after its file (cut to 15 characters, the
// kernel's limit), and the prefix tells ours from other users' of the
// machine. One copy of each runs at a time while the benchmark looks.
unsigned long FindUnixProcess(std::wstring_view fileName) {
    wchar_t prefix[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH)) return 0;
    const std::string name = Narrow(fileName.substr(0, 15)) + "\n";
    const std::string inPrefix = "WINEPREFIX=" + Narrow(prefix) + std::string(1, '\0');
    for (unsigned long pid : ProcEntries(L"")) {
        const std::wstring dir = std::to_wstring(pid) + L"\\";
        if (ReadProcFile(dir + L"comm") != name) continue;
        if (ReadProcFile(dir + L"environ").find(inPrefix) != std::string::npos) return pid;
    }
    return 0;
}

}  // namespace

double Seconds() {
    static const double frequency = [] {
        LARGE_INTEGER f{};
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / frequency;
}

std::wstring ProgramDir() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path);
    return dir.substr(0, dir.find_last_of(L"\\/") + 1);
}

std::wstring WindowText(HWND window) {
    // GetWindowText reads another process's caption without waiting on it.
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

Program::~Program() {
    if (!info_.hProcess) return;
    Close();
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

bool Program::Start(std::wstring_view fileName, std::wstring_view arguments) {
    fileName_ = fileName;
    const std::wstring dir = ProgramDir();
    std::wstring command = L"\"" + dir + std::wstring(fileName) + L"\"";
    if (!arguments.empty()) command += L" " + std::wstring(arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startedAt_ = Seconds();
    return CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(),
                          &startup, &info_) != 0;
}

HWND Program::FindShownWindow(const WindowSign& sign) const {
    for (HWND w = FindWindowExW(nullptr, nullptr, sign.windowClass, nullptr); w;
         w = FindWindowExW(nullptr, w, sign.windowClass, nullptr)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == info_.dwProcessId && IsWindowVisible(w) &&
            WindowText(w).starts_with(sign.captionPrefix)) {
            return w;
        }
    }
    return nullptr;
}

double Program::WaitForWindow(const WindowSign& sign, double timeoutSeconds) {
    const double end = Seconds() + timeoutSeconds;
    for (;;) {
        window_ = FindShownWindow(sign);
        const double now = Seconds();
        if (window_) return now;
        if (now > end || WaitForSingleObject(info_.hProcess, 0) != WAIT_TIMEOUT) return -1;
        // A millisecond's nap keeps the watch fine without taking a core from the program.
        Sleep(1);
    }
}

bool Program::Close(double timeoutSeconds) {
    if (!info_.hProcess || WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0) return true;
    if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
    const auto wait = static_cast<DWORD>(timeoutSeconds * 1000);
    if (window_ && WaitForSingleObject(info_.hProcess, wait) == WAIT_OBJECT_0) return true;
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, wait);
    return false;
}

std::size_t Program::PeakWorkingSet() const {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(info_.hProcess, &counters, sizeof(counters))) return 0;
    return counters.PeakWorkingSetSize;
}

double Program::CpuSeconds() {
    // Wine answers GetProcessTimes for another process with the caller's
    // own times, and GetThreadTimes in clock ticks of 10 ms: too coarse for
    // idling. The kernel counts each thread's time on the processor in ns.
    if (!unixPid_) unixPid_ = FindUnixProcess(fileName_);
    if (!unixPid_) return -1;
    const std::wstring tasks = std::to_wstring(unixPid_) + L"\\task\\";
    double total = 0;
    for (unsigned long tid : ProcEntries(tasks)) {
        const std::string stat = ReadProcFile(tasks + std::to_wstring(tid) + L"\\schedstat");
        if (stat.empty()) return -1;
        total += std::strtod(stat.c_str(), nullptr) / 1e9;
    }
    return total;
}

}  // namespace velmi::bench
