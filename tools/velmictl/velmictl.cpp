// A small helper for the run script and the benchmark: waits for Velmi's
// main window, or closes it through its close step, from outside.
//   velmictl wait [seconds]   prints the caption once the window is shown
//   velmictl close [seconds]  asks the window to close and waits for the program to end
//   velmictl type TEXT        types the text into the note box, as keys would
#include "velmi_ids.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

HWND FindMain() {
    for (HWND w = FindWindowExW(nullptr, nullptr, VELMI_CLASS_MAIN_WINDOW, nullptr); w;
         w = FindWindowExW(nullptr, w, VELMI_CLASS_MAIN_WINDOW, nullptr)) {
        wchar_t caption[256] = {};
        GetWindowTextW(w, caption, 256);
        if (IsWindowVisible(w) && wcsncmp(caption, L"Scheduled items for ", 20) == 0) return w;
    }
    return nullptr;
}

HWND WaitForMain(DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (;;) {
        if (HWND w = FindMain()) return w;
        if (GetTickCount64() > end) return nullptr;
        Sleep(50);
    }
}

int Close(DWORD milliseconds) {
    HWND main = WaitForMain(milliseconds);
    if (!main) return 1;
    DWORD pid = 0;
    GetWindowThreadProcessId(main, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    PostMessageW(main, WM_CLOSE, 0, 0);
    const bool ended = process && WaitForSingleObject(process, milliseconds) == WAIT_OBJECT_0;
    if (process) CloseHandle(process);
    return ended ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const DWORD milliseconds = argc > 2 ? static_cast<DWORD>(_wtoi(argv[2])) * 1000 : 60000;
    if (argc > 1 && wcscmp(argv[1], L"wait") == 0) {
        HWND main = WaitForMain(milliseconds);
        if (!main) return 1;
        wchar_t caption[256] = {};
        GetWindowTextW(main, caption, 256);
        wprintf(L"%ls\n", caption);
        return 0;
    }
    if (argc > 1 && wcscmp(argv[1], L"close") == 0) return Close(milliseconds);
    if (argc > 2 && wcscmp(argv[1], L"type") == 0) {
        HWND note = GetDlgItem(WaitForMain(60000), VELMI_ID_NOTE_BOX);
        if (!note) return 1;
        for (const wchar_t* c = argv[2]; *c; ++c)
            SendMessageW(note, WM_CHAR, *c, 1);
        return 0;
    }
    fwprintf(stderr, L"usage: velmictl wait|close [seconds] | type TEXT\n");
    return 2;
}
