#pragma once

#include "com_util.h"

namespace nuv {

// The factory that makes Nuvender controls.
[[nodiscard]] HRESULT CreateClassFactory(REFIID riid, void** out) noexcept;

}  // namespace nuv
