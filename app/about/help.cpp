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

DWORD OpenWithShell(const std::wstring& path) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    // The caller tells the user once, with the path; the platform's own
    // boxes would come in addition, and more than once.
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = path.c_str();
    info.nShow = SW_SHOWNORMAL;
    using ShellExecute = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);
    const auto execute = SystemFunction<ShellExecute>(L"shell32.dll", "ShellExecuteExW");
    if (!execute) return ERROR_PROC_NOT_FOUND;
    if (execute(&info)) return ERROR_SUCCESS;
    const DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : ERROR_FILE_NOT_FOUND;
}

}  // namespace velmi
