#include "help.h"

#include "win_system.h"

#include <windows.h>
#include <shellapi.h>

namespace velmi {

std::wstring BesideProgram(const std::wstring& fileName) {
    const std::wstring path = ModulePath(nullptr);
    if (path.empty()) return fileName;
    return path.substr(0, path.find_last_of(L"\\/") + 1) + fileName;
}

void OpenWithShell(const std::wstring& path) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.lpVerb = L"open";
    info.lpFile = path.c_str();
    info.nShow = SW_SHOWNORMAL;
    // Without SEE_MASK_FLAG_NO_UI the platform itself tells the user what failed.
    using ShellExecute = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);
    if (const auto execute = SystemFunction<ShellExecute>(L"shell32.dll", "ShellExecuteExW"))
        (void)execute(&info);
}

}  // namespace velmi
