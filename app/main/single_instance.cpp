#include "single_instance.h"

#include "velmi_controls.h"

#include <windows.h>

namespace velmi {

bool SingleInstance::AnotherCopyRuns(const std::wstring& name) {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
    const bool exists = mutex && GetLastError() == ERROR_ALREADY_EXISTS;
    mutex_.reset(mutex);
    return exists;
}

void BringRunningCopyForward() {
    for (const wchar_t* windowClass : {kMainWindowClass, kProductsWindowClass}) {
        for (HWND window = FindWindowExW(nullptr, nullptr, windowClass, nullptr); window;
             window = FindWindowExW(nullptr, window, windowClass, nullptr)) {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process == GetCurrentProcessId() || !IsWindowVisible(window)) continue;
            if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
            // Allowed: this copy was just started by the user and holds the foreground.
            SetForegroundWindow(window);
            return;
        }
    }
}

}  // namespace velmi
