// A typed GetProcAddress: the cast through void* keeps the compiler from
// warning about unrelated function types.
#pragma once

#include <windows.h>

namespace velmi::test {

template <typename Function>
[[nodiscard]] Function ProcAddress(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace velmi::test
