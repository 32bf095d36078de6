// What a registry routine did, so its caller can tell a missing note from a
// lost one.
#pragma once

#include <string>

namespace velmi {

enum class RegStatus { kDone, kMissing, kFailed };

struct RegResult {
    RegStatus status = RegStatus::kDone;
    unsigned long error = 0;  // the Win32 error code when kFailed
    [[nodiscard]] bool Failed() const noexcept { return status == RegStatus::kFailed; }
};

struct RegText {
    RegResult result;
    std::wstring text;
};

}  // namespace velmi
