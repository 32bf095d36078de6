// Velmi started when the user signs in: the value "Velmi" under the user's
// Run key, and the choice setup made for all users, applied once per user.
#pragma once

#include "reg_result.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace velmi {

// The switch the Run value starts Velmi with: minimized, and silent when a
// copy already runs.
inline constexpr wchar_t kMinimizedSwitch[] = L"/minimized";

// The quoted program path followed by the switch.
[[nodiscard]] std::wstring SignInCommand(std::wstring_view programPath);

// Sets or removes the Run value under user (HKEY_CURRENT_USER); removing a
// value that is not there is no failure.
[[nodiscard]] RegResult SetStartAtSignIn(HKEY user, bool start, std::wstring_view programPath);

// Whether the user's Run key holds the value.
[[nodiscard]] bool StartsAtSignIn(HKEY user);

// Setup runs elevated, maybe as another user, so it leaves its choice under
// machine (HKEY_LOCAL_MACHINE). The user's first start with such a choice sets
// the Run value from it; later starts leave the value to the user.
void ApplySetupChoice(HKEY machine, HKEY user, std::wstring_view programPath);

// Whether the command line holds the minimized switch after the program name.
[[nodiscard]] bool HasMinimizedSwitch(const wchar_t* commandLine);

}  // namespace velmi
