#include "sign_in.h"

#include "win_handle.h"

#include <shellapi.h>

#include <memory>

namespace velmi {
namespace {

constexpr wchar_t kRunKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunValueName[] = L"Velmi";
constexpr wchar_t kVelmiKeyPath[] = L"Software\\Tolvane\\Velmi";
constexpr wchar_t kMachineChoiceName[] = L"StartAtSignIn";
constexpr wchar_t kUserAppliedName[] = L"StartAtSignInApplied";

RegResult FromError(LSTATUS error) {
    if (error == ERROR_SUCCESS) return {};
    if (error == ERROR_FILE_NOT_FOUND) return {RegStatus::kMissing, 0};
    return {RegStatus::kFailed, static_cast<unsigned long>(error)};
}

bool ReadDword(HKEY root, const wchar_t* name, DWORD& value) {
    DWORD size = sizeof value;
    return RegGetValueW(root, kVelmiKeyPath, name, RRF_RT_REG_DWORD, nullptr, &value, &size) ==
           ERROR_SUCCESS;
}

}  // namespace

std::wstring SignInCommand(std::wstring_view programPath) {
    return L"\"" + std::wstring(programPath) + L"\" " + kMinimizedSwitch;
}

RegResult SetStartAtSignIn(HKEY user, bool start, std::wstring_view programPath) {
    if (!start) {
        const RegResult removed = FromError(RegDeleteKeyValueW(user, kRunKeyPath, kRunValueName));
        return removed.status == RegStatus::kMissing ? RegResult{} : removed;
    }
    const std::wstring command = SignInCommand(programPath);
    const auto bytes = static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t));
    return FromError(
        RegSetKeyValueW(user, kRunKeyPath, kRunValueName, REG_SZ, command.c_str(), bytes));
}

bool StartsAtSignIn(HKEY user) {
    return RegGetValueW(user, kRunKeyPath, kRunValueName, RRF_RT_REG_SZ, nullptr, nullptr,
                        nullptr) == ERROR_SUCCESS;
}

void ApplySetupChoice(HKEY machine, HKEY user, std::wstring_view programPath) {
    DWORD choice = 0;
    DWORD applied = 0;
    if (ReadDword(user, kUserAppliedName, applied) ||
        !ReadDword(machine, kMachineChoiceName, choice))
        return;
    // Marked only once the Run value is right, so a failure is tried again next time.
    if (SetStartAtSignIn(user, choice != 0, programPath).Failed()) return;
    applied = 1;
    (void)RegSetKeyValueW(user, kVelmiKeyPath, kUserAppliedName, REG_DWORD, &applied,
                          sizeof applied);
}

bool HasMinimizedSwitch(const wchar_t* commandLine) {
    int count = 0;
    const std::unique_ptr<LPWSTR, decltype(&LocalFree)> args(
        CommandLineToArgvW(commandLine, &count), &LocalFree);
    if (!args) return false;
    for (int i = 1; i < count; ++i) {
        if (CompareStringOrdinal(args.get()[i], -1, kMinimizedSwitch, -1, TRUE) == CSTR_EQUAL)
            return true;
    }
    return false;
}

}  // namespace velmi
